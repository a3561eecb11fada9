#include "TabStrip.h"

#include "data/Diary.h"
#include "widgets/ImageButton.h"
#include "widgets/TabShape.h"
#include "widgets/Twips.h"

#include <QRegion>

namespace {

struct Tab
{
    const char *toolTip;
    const char *icon;
    QColor colour;
};

const Tab Tabs[5] = {
    {"Buscar Texto", "tab-search", QColor(0xcf, 0xdd, 0xe9)},
    {"Calendario", "tab-calendar", QColor(0xf2, 0xd2, 0xbd)},
    {"Teléfonos y Direcciones", "tab-phones", QColor(0xd3, 0xe0, 0xc4)},
    {"Tareas", "tab-tasks", QColor(0xf1, 0xe0, 0xb4)},
    {"Agenda Semana Vista", "tab-week", QColor(0xf2, 0xdc, 0xd6)},
};

// Design positions of the tabs on the left edge, in twips.
constexpr double TabTop = 700;
constexpr double TabPitch = 560;
constexpr double TabHeight = 520;
constexpr double TabWidth = 900;
constexpr double TabIconSize = 420;
constexpr double TabIconInset = 480;

} // namespace

TabStrip::TabStrip(const Diary &diary, QWidget *parent)
    : QWidget(parent)
    , m_diary(diary)
{
    setObjectName(QStringLiteral("TabStrip"));
    for (int k = 0; k < 5; ++k) {
        SolapaI[k] = new TabShape(TabShape::Side::Left, Tabs[k].colour, this);
        SolapaI[k]->setObjectName(QStringLiteral("SolapaI(%1)").arg(k));
        connect(SolapaI[k], &TabShape::clicked, this, [this, k] { emit tabClicked(k); });
        Image7[k] = new ImageButton(QString::fromLatin1(Tabs[k].icon), toolTip(k), this);
        Image7[k]->setObjectName(QStringLiteral("Image7(%1)").arg(k));
        connect(Image7[k], &ImageButton::clicked, this, [this, k] { emit tabClicked(k); });
        setGeometryTwips(SolapaI[k], 0, TabTop + k * TabPitch, TabWidth, TabHeight);
        setGeometryTwips(Image7[k], TabIconInset, TabTop + k * TabPitch + (TabHeight - TabIconSize) / 2, TabIconSize,
                         TabIconSize);
    }
    // ImagenI(k) and SolapaD(k) stand for section k + 1 on the right edge.
    for (int k = 0; k < 4; ++k) {
        SolapaD[k] = new TabShape(TabShape::Side::Right, Tabs[k + 1].colour, this);
        SolapaD[k]->setObjectName(QStringLiteral("SolapaD(%1)").arg(k));
        connect(SolapaD[k], &TabShape::clicked, this, [this, k] { emit tabClicked(k + 1); });
        ImagenI[k] = new ImageButton(QString::fromLatin1(Tabs[k + 1].icon), toolTip(k + 1), this);
        ImagenI[k]->setObjectName(QStringLiteral("ImagenI(%1)").arg(k));
        connect(ImagenI[k], &ImageButton::clicked, this, [this, k] { emit tabClicked(k + 1); });
        setGeometryTwips(SolapaD[k], 0, 0, TabWidth, TabHeight);
        setGeometryTwips(ImagenI[k], 0, 0, TabIconSize, TabIconSize);
    }
    Image2 = new QWidget(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setAutoFillBackground(true);
    QPalette gold = Image2->palette();
    gold.setColor(QPalette::Window, QColor(0xc8, 0xa0, 0x48));
    Image2->setPalette(gold);
    setGeometryTwips(Image2, 0, TabTop, 60, TabHeight);

    Timer3.setInterval(200);
    connect(&Timer3, &QTimer::timeout, this, &TabStrip::Timer3_Timer);
    Timer3.start();
    SelectTab(4);
}

QString TabStrip::toolTip(int index)
{
    return QString::fromUtf8(Tabs[index].toolTip);
}

int TabStrip::px(double twips) const
{
    return Twips::toPixels(twips, screen());
}

void TabStrip::setGeometryTwips(QWidget *widget, double left, double top, double width, double height)
{
    widget->setGeometry(px(left), px(top), std::max(0, px(width)), std::max(0, px(height)));
}

void TabStrip::SelectTab(int n)
{
    for (int j = 0; j <= n; ++j) {
        SolapaI[j]->show();
        Image7[j]->show();
        if (j >= 1) {
            SolapaD[j - 1]->hide();
            ImagenI[j - 1]->hide();
        }
    }
    Image2->move(Image2->x(), SolapaI[n]->y());
    for (int j = n + 1; j <= 4; ++j) {
        SolapaI[j]->hide();
        Image7[j]->hide();
        ImagenI[j - 1]->show();
        SolapaD[j - 1]->show();
    }
    updateMask();
}

// The right-hand tabs stay against the right edge, each at the height of its tab on the left.
void TabStrip::placeRightTabs()
{
    for (int k = 0; k < 4; ++k) {
        SolapaD[k]->move(width() - SolapaD[k]->width(), SolapaI[k + 1]->y());
        ImagenI[k]->move(width() - ImagenI[k]->width() - px(480), Image7[k + 1]->y());
    }
}

void TabStrip::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeRightTabs();
    updateMask();
}

// Between the tabs the strip lets the pointer through to the pages and the cover beneath.
void TabStrip::updateMask()
{
    QRegion tabs;
    for (QWidget *tab : SolapaI)
        if (!tab->isHidden())
            tabs += tab->geometry();
    for (QWidget *tab : SolapaD)
        if (!tab->isHidden())
            tabs += tab->geometry();
    tabs += Image2->geometry();
    setMask(tabs);
}

void TabStrip::Timer3_Timer()
{
    if (!m_diary.PendingTasks)
        return;
    ++TabBlinkCount;
    QWidget *icon = SolapaI[3]->isHidden() ? static_cast<QWidget *>(ImagenI[2]) : static_cast<QWidget *>(Image7[3]);
    if (TabBlinkCount > 30) {
        TabBlinkCount = 0;
        icon->hide();
    } else {
        ++TabBlinkCount;
        icon->show();
    }
}
