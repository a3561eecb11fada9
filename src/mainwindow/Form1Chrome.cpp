// The main window's chrome: the section tabs and their switch, dragging, maximising and
// restoring, the resize grip, hiding behind the desktop widget, and the two decorative timers.
#include "Form1.h"

#include "agenda/WeekView.h"
#include "calendar/MonthCalendar.h"
#include "data/Module1.h"
#include "phonebook/PhoneBook.h"
#include "search/TextSearch.h"
#include "tasks/TaskList.h"
#include "widgets/ImageButton.h"
#include "widgets/PictureBox.h"
#include "widgets/Section.h"
#include "widgets/SectionPanel.h"
#include "widgets/TabShape.h"
#include "widgets/Theme.h"
#include "widgets/Twips.h"
#include "widgets/WindowDrag.h"
#include "widgets/WindowPlacement.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

namespace {

struct Tab
{
    const char *toolTip;
    const char *icon;
    QColor colour;
    // The section behind the tab: its title page's caption and picture, and its panel's name.
    const char *title;
    const char *marker;
    const char *markerName;
    const char *panelName;
};

const Tab Sections[5] = {
    {"Buscar Texto", "tab-search", QColor(0xcf, 0xdd, 0xe9), "Buscador", "marker-search", "ImageBuscador",
     "PictureBuscador"},
    {"Calendario", "tab-calendar", QColor(0xf2, 0xd2, 0xbd), "Calendario", "marker-calendar", "ImageCalendario",
     "PictureCalendario"},
    {"Teléfonos y Direcciones", "tab-phones", QColor(0xd3, 0xe0, 0xc4), "Teléfonos", "marker-phones", "ImageTelefonos",
     "PictureTelefonos"},
    {"Tareas", "tab-tasks", QColor(0xf1, 0xe0, 0xb4), "Tareas", "marker-tasks", "ImageTareas", "PictureTareas"},
    {"Agenda Semana Vista", "tab-week", QColor(0xf2, 0xdc, 0xd6), "", "", "", ""},
};

// Design positions of the tabs on the left edge, in twips.
constexpr double TabTop = 700;
constexpr double TabPitch = 560;
constexpr double TabHeight = 520;
constexpr double TabWidth = 900;
constexpr double TabIconSize = 420;
constexpr double TabIconInset = 480;

} // namespace

void Form1::BuildChrome()
{
    for (int k = 0; k < 29; ++k) {
        auto *piece = new PictureBox(QString(), this);
        piece->setObjectName(QStringLiteral("Image1(%1)").arg(k));
        piece->setMouseTracking(true);
        connect(piece, &PictureBox::mousePressed, m_drag, [this](QMouseEvent *event) { m_drag->begin(event); });
        connect(piece, &PictureBox::mouseMoved, this, [this](QMouseEvent *event) {
            moveTwips(Image6, leftTw(Image6), -1000);
            m_drag->pointerMoved(event);
        });
        connect(piece, &PictureBox::mouseReleased, m_drag, &WindowDrag::pointerReleased);
        connect(piece, &PictureBox::doubleClicked, this, &Form1::ToggleMaximized);
        Image1[k] = piece;
    }

    for (int k = 0; k < 5; ++k) {
        SolapaI[k] = new TabShape(TabShape::Side::Left, Sections[k].colour, this);
        SolapaI[k]->setObjectName(QStringLiteral("SolapaI(%1)").arg(k));
        connect(SolapaI[k], &TabShape::clicked, this, [this, k] { Image7_Click(k); });
        Image7[k] =
            new ImageButton(QString::fromLatin1(Sections[k].icon), QString::fromUtf8(Sections[k].toolTip), this);
        Image7[k]->setObjectName(QStringLiteral("Image7(%1)").arg(k));
        connect(Image7[k], &ImageButton::clicked, this, [this, k] { Image7_Click(k); });
    }
    for (int k = 0; k < 4; ++k) {
        SolapaD[k] = new TabShape(TabShape::Side::Right, Sections[k + 1].colour, this);
        SolapaD[k]->setObjectName(QStringLiteral("SolapaD(%1)").arg(k));
        connect(SolapaD[k], &TabShape::clicked, this, [this, k] { ImagenI_Click(k); });
        ImagenI[k] = new ImageButton(QString::fromLatin1(Sections[k + 1].icon),
                                     QString::fromUtf8(Sections[k + 1].toolTip), this);
        ImagenI[k]->setObjectName(QStringLiteral("ImagenI(%1)").arg(k));
        connect(ImagenI[k], &ImageButton::clicked, this, [this, k] { ImagenI_Click(k); });
    }
    Image2 = new QWidget(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setAutoFillBackground(true);
    QPalette gold = Image2->palette();
    gold.setColor(QPalette::Window, QColor(0xc8, 0xa0, 0x48));
    Image2->setPalette(gold);

    const char *chromePictures[3] = {"chrome-close", "chrome-maximize", "chrome-restore"};
    const char *chromeTips[3] = {"Cerrar", "Maximizar", "Restaurar"};
    for (int k = 0; k < 3; ++k) {
        Image5[k] = new ImageButton(QString::fromLatin1(chromePictures[k]), QString::fromLatin1(chromeTips[k]), this);
        Image5[k]->setObjectName(QStringLiteral("Image5(%1)").arg(k));
        Image5[k]->installEventFilter(this);
        connect(Image5[k], &ImageButton::clicked, this, [this, k] { Image5_Click(k); });
    }
    Image6 = new PictureBox(QStringLiteral("chrome-hover"), this);
    Image6->setObjectName(QStringLiteral("Image6"));
    Image6->setAttribute(Qt::WA_TransparentForMouseEvents);

    Image11 = new PictureBox(QStringLiteral("corner-ornament"), this);
    Image11->setObjectName(QStringLiteral("Image11"));
    Image11->setAttribute(Qt::WA_TransparentForMouseEvents);

    I2 = new PictureBox(QStringLiteral("resize-grip"), this);
    I2->setObjectName(QStringLiteral("I2"));
    I2->setCursor(Qt::SizeFDiagCursor);
    I2->setAccessibleName(QStringLiteral("Cambiar tamaño"));
    connect(I2, &PictureBox::mousePressed, this, &Form1::I2_MouseDown);
    connect(I2, &PictureBox::mouseMoved, this, &Form1::I2_MouseMove);

    // Sizes of the pieces, in twips; their places follow the window (Form_Resize).
    constexpr double Side = 900, Edge = 600, Piece = 600, Spine = 480;
    for (int k : {1, 2, 16, 17})
        setGeometryTwips(Image1[k], 0, 0, Side, Edge);
    for (int k : {6, 7, 8, 9, 10, 11})
        setGeometryTwips(Image1[k], 0, 0, Side, Piece);
    for (int k : {0, 3, 4, 5, 12, 13, 14, 15, 22, 23, 27, 28})
        setGeometryTwips(Image1[k], 0, 0, Piece, Edge);
    for (int k : {18, 19, 20, 21, 24, 25, 26})
        setGeometryTwips(Image1[k], 0, 0, Spine, Piece);
    for (ImageButton *button : Image5)
        setGeometryTwips(button, 0, 0, 270, 270);
    setGeometryTwips(Image6, 0, -1000, 270, 270);
    setGeometryTwips(Image11, 0, 0, 660, 660);
    setGeometryTwips(I2, 0, 0, 240, 240);
    for (int k = 0; k < 5; ++k) {
        setGeometryTwips(SolapaI[k], 0, TabTop + k * TabPitch, TabWidth, TabHeight);
        setGeometryTwips(Image7[k], TabIconInset, TabTop + k * TabPitch + (TabHeight - TabIconSize) / 2, TabIconSize,
                         TabIconSize);
    }
    for (int k = 0; k < 4; ++k) {
        setGeometryTwips(SolapaD[k], 0, 0, TabWidth, TabHeight);
        setGeometryTwips(ImagenI[k], 0, 0, TabIconSize, TabIconSize);
    }
    setGeometryTwips(Image2, 0, TabTop, 60, TabHeight);
}

void Form1::BuildSections()
{
    // The section's title page covers the left page of the week.
    Picture1 = new SectionPanel(QStringLiteral("Picture1"), this);
    Picture1->setMouseTracking(true);
    Picture1->hide();
    Label2 = new QLabel(QStringLiteral("Buscador"), Picture1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setProperty("role", QStringLiteral("sectionTitle"));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setFont(Theme::serif(20, false, true));
    QPalette ink = Label2->palette();
    ink.setColor(QPalette::WindowText, Theme::Ink);
    Label2->setPalette(ink);
    for (int k = 0; k < 4; ++k) {
        Markers[k] = new PictureBox(QString::fromLatin1(Sections[k].marker), Picture1);
        Markers[k]->setObjectName(QString::fromLatin1(Sections[k].markerName));
        Markers[k]->hide();
    }

    // Each section behind a tab: one line here registers it.
    registerSection(0, new TextSearch(m_diary, m_context, this));
    registerSection(1, new MonthCalendar(m_diary, m_context, this));
    registerSection(2, new PhoneBook(m_diary, m_context, this));
    registerSection(3, new TaskList(m_diary, m_context, this));

    for (int k = 0; k < 4; ++k) {
        if (!m_panels[k])
            m_panels[k] = new SectionPanel(QString::fromLatin1(Sections[k].panelName), this);
        m_panels[k]->hide();
    }
    SelectTab(4);
}

void Form1::registerSection(int index, Section *section)
{
    section->setObjectName(QString::fromLatin1(Sections[index].panelName));
    m_sections[index] = section;
    m_panels[index] = section;
}

int Form1::openSection() const
{
    for (int k = 0; k < 4; ++k)
        if (!Markers[k]->isHidden())
            return k;
    return 4;
}

void Form1::Image7_Click(int index)
{
    if (index < 4 && !Markers[index]->isHidden())
        return;
    m_context.IdleCount = 0;
    m_week->setWeekControlsShown(false);
    HideSectionPanels();
    for (PictureBox *marker : Markers)
        marker->hide();
    SelectTab(index);
    if (index < 4) {
        Label2->setText(m_sections[index] ? m_sections[index]->title() : QString::fromUtf8(Sections[index].title));
        Picture1->show();
        Picture1->raise();
        LayoutSection(index);
        m_panels[index]->show();
        m_panels[index]->raise();
        if (m_sections[index])
            m_sections[index]->enter();
    } else {
        Picture1->hide();
        m_week->setWeekControlsShown(true);
    }
    // The tabs stand out over the open page.
    for (QWidget *tab : SolapaI)
        tab->raise();
    for (QWidget *tab : SolapaD)
        tab->raise();
    for (QWidget *icon : Image7)
        icon->raise();
    for (QWidget *icon : ImagenI)
        icon->raise();
    Image2->raise();
}

void Form1::SelectTab(int n)
{
    for (int j = 0; j <= n; ++j) {
        SolapaI[j]->show();
        Image7[j]->show();
        if (j >= 1) {
            SolapaD[j - 1]->hide();
            ImagenI[j - 1]->hide();
        }
    }
    moveTwips(Image2, leftTw(Image2), topTw(SolapaI[n]));
    for (int j = n + 1; j <= 4; ++j) {
        SolapaI[j]->hide();
        Image7[j]->hide();
        ImagenI[j - 1]->show();
        SolapaD[j - 1]->show();
    }
}

void Form1::HideSectionPanels()
{
    for (SectionPanel *panel : m_panels)
        if (!panel->isHidden())
            panel->hide();
}

void Form1::CloseSearch()
{
    Markers[0]->hide();
    HideSectionPanels();
    Picture1->hide();
    m_week->setWeekControlsShown(true);
}

void Form1::KeepOnScreen()
{
    WindowPlacement::keepOnScreen(*this);
}

void Form1::ToggleMaximized()
{
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void Form1::mouseDoubleClickEvent(QMouseEvent *)
{
    ToggleMaximized();
}

void Form1::Image5_Click(int index)
{
    moveTwips(Image6, leftTw(Image6), -1000);
    switch (index) {
    case 0:
        if (WindowPlacement::isNormal(*this))
            StoreMainSize();
        ShowWidget();
        break;
    case 1:
        showMaximized();
        break;
    default:
        showNormal();
        break;
    }
}

void Form1::I2_MouseDown(QMouseEvent *event)
{
    m_gripGrab = event->position().toPoint();
}

void Form1::I2_MouseMove(QMouseEvent *event)
{
    if (event->buttons() != Qt::LeftButton)
        return;
    const QPoint offset = event->position().toPoint() - m_gripGrab;
    double top = topTw(I2) + tw(offset.y());
    double left = leftTw(I2) + tw(offset.x());
    if (top < MinimumHeightTwips)
        top = MinimumHeightTwips;
    if (left < MinimumWidthTwips)
        left = MinimumWidthTwips;
    moveTwips(I2, left, top);
    resize(px(left + widthTw(I2)), px(top + heightTw(I2)));
}

void Form1::Timer3_Timer()
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

void Form1::Timer4_Timer()
{
    if (m_context.IdleCount > m_context.settings.Delay)
        m_context.IdleCount = 0;
    if (SweepCount > 30)
        SweepCount = 0;
    for (int i = 0; i < 7; ++i)
        m_week->Label4[i]->setVisible(SweepCount != 3 * i);
    ++SweepCount;
}
