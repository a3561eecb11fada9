// The main window's chrome: the section tabs and their switch, dragging, maximising and
// restoring, the resize grip, hiding behind the desktop widget, and the two decorative timers.
#include "Form1.h"

#include "ImageButton.h"
#include "PictureBox.h"
#include "SectionPanel.h"
#include "TabShape.h"
#include "Twips.h"
#include "agenda/WeekView.h"
#include "data/Module1.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

namespace {

struct Section
{
    const char *toolTip;
    const char *icon;
    QColor colour;
};

const Section Sections[5] = {
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

void Form1::BuildChrome()
{
    for (int k = 0; k < 29; ++k) {
        auto *piece = new PictureBox(QString(), this);
        piece->setObjectName(QStringLiteral("Image1(%1)").arg(k));
        piece->setMouseTracking(true);
        connect(piece, &PictureBox::mousePressed, this, &Form1::DragMainWindow);
        connect(piece, &PictureBox::mouseMoved, this, [this](QMouseEvent *event) {
            moveTwips(Image6, leftTw(Image6), -1000);
            if (m_manualDrag && (event->buttons() & Qt::LeftButton))
                move(event->globalPosition().toPoint() - m_manualDragOffset);
        });
        connect(piece, &PictureBox::mouseReleased, this, [this] {
            if (m_manualDrag) {
                m_manualDrag = false;
                FinishDrag();
            }
        });
        connect(piece, &PictureBox::doubleClicked, this, &Form1::ToggleMaximized);
        Image1[k] = piece;
    }

    m_dragSettle.setSingleShot(true);
    m_dragSettle.setInterval(250);
    connect(&m_dragSettle, &QTimer::timeout, this, &Form1::FinishDrag);

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
    QFont title;
    title.setFamilies(
        {QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
    title.setStyleHint(QFont::Serif);
    title.setPointSize(20);
    title.setItalic(true);
    Label2->setFont(title);
    QPalette ink = Label2->palette();
    ink.setColor(QPalette::WindowText, QColor(0x4a, 0x2e, 0x1c));
    Label2->setPalette(ink);
    const std::pair<PictureBox **, const char *> markers[] = {{&ImageBuscador, "ImageBuscador"},
                                                              {&ImageCalendario, "ImageCalendario"},
                                                              {&ImageTelefonos, "ImageTelefonos"},
                                                              {&ImageTareas, "ImageTareas"}};
    const char *markerPictures[] = {"marker-search", "marker-calendar", "marker-phones", "marker-tasks"};
    for (int k = 0; k < 4; ++k) {
        *markers[k].first = new PictureBox(QString::fromLatin1(markerPictures[k]), Picture1);
        (*markers[k].first)->setObjectName(QString::fromLatin1(markers[k].second));
        (*markers[k].first)->hide();
    }

    PictureBuscador = new SectionPanel(QStringLiteral("PictureBuscador"), this);
    PictureCalendario = new SectionPanel(QStringLiteral("PictureCalendario"), this);
    PictureTelefonos = new SectionPanel(QStringLiteral("PictureTelefonos"), this);
    PictureTareas = new SectionPanel(QStringLiteral("PictureTareas"), this);
    for (SectionPanel *panel : {PictureBuscador, PictureCalendario, PictureTelefonos, PictureTareas})
        panel->hide();
    SelectTab(4);
}

int Form1::openSection() const
{
    const PictureBox *markers[] = {ImageBuscador, ImageCalendario, ImageTelefonos, ImageTareas};
    for (int k = 0; k < 4; ++k)
        if (!markers[k]->isHidden())
            return k;
    return 4;
}

void Form1::Image7_Click(int index)
{
    const PictureBox *markers[] = {ImageBuscador, ImageCalendario, ImageTelefonos, ImageTareas};
    if (index < 4 && !markers[index]->isHidden())
        return;
    m_context.IdleCount = 0;
    m_week->Label1[0]->hide();
    m_week->Label1[1]->hide();
    m_week->Image9->hide();
    m_week->Image10->hide();
    HideSectionPanels();
    for (PictureBox *marker : {ImageBuscador, ImageCalendario, ImageTelefonos, ImageTareas})
        marker->hide();
    m_week->Image3->hide();
    m_week->Image4->hide();
    SelectTab(index);
    switch (index) {
    case 0:
        Label2->setText(QStringLiteral("Buscador"));
        Picture1->show();
        Picture1->raise();
        ImageBuscador->show();
        PictureBuscador->show();
        LayoutSearch();
        break;
    case 1:
        Picture1->show();
        Label2->setText(QStringLiteral("Calendario"));
        LayoutCalendar();
        if (onShowMonth)
            onShowMonth();
        PictureCalendario->show();
        break;
    case 2:
        Label2->setText(QStringLiteral("Teléfonos"));
        Picture1->show();
        LayoutPhones();
        if (onLoadPhoneNames)
            onLoadPhoneNames();
        break;
    case 3:
        Label2->setText(QStringLiteral("Tareas"));
        Picture1->show();
        Picture1->raise();
        ImageTareas->show();
        LayoutTasks();
        PictureTareas->show();
        break;
    default:
        m_week->Label1[0]->show();
        m_week->Label1[1]->show();
        Picture1->hide();
        m_week->Image3->show();
        m_week->Image4->show();
        ShowCurrentWeekButtons();
        break;
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
    for (SectionPanel *panel : {PictureTelefonos, PictureCalendario, PictureBuscador, PictureTareas})
        if (!panel->isHidden())
            panel->hide();
}

void Form1::ShowCurrentWeekButtons()
{
    m_week->ShowCurrentWeekButtons();
}

void Form1::CloseSearch()
{
    ImageBuscador->hide();
    HideSectionPanels();
    ShowCurrentWeekButtons();
    Picture1->hide();
    PictureBuscador->hide();
    m_week->Image3->show();
    m_week->Image4->show();
}

void Form1::DragMainWindow(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (isMaximized())
        return;
    // The window system moves the window with the pointer where it can; elsewhere the window
    // follows the pointer itself until the button is released.
    if (windowHandle() && windowHandle()->startSystemMove()) {
        m_systemDrag = true;
        m_dragSettle.start();
        return;
    }
    m_manualDrag = true;
    m_manualDragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void Form1::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (m_systemDrag)
        m_dragSettle.start(); // settles once the window has stopped following the pointer
}

void Form1::FinishDrag()
{
    m_systemDrag = false;
    KeepOnScreen();
    const QRect area = Twips::screenPixels(screen());
    m_context.settings.MainLeft = Module1::ToSetting(tw(x() - area.x()));
    m_context.settings.MainTop = Module1::ToSetting(tw(y() - area.y()));
}

void Form1::KeepOnScreen()
{
    const QRect area = Twips::screenPixels(screen());
    int left = x() - area.x();
    int top = y() - area.y();
    if (area.height() - height() < top)
        top = area.height() - height();
    if (area.width() - width() < left)
        left = area.width() - width();
    if (left < 0)
        left = 0;
    if (top < 0)
        top = 0;
    move(area.x() + left, area.y() + top);
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
        if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
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
    if (!PendingTasks)
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

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel:
    case QEvent::HoverMove:
        m_context.IdleCount = 0;
        break;
    case QEvent::Enter:
        for (int k = 0; k < 3; ++k)
            if (watched == Image5[k])
                moveTwips(Image6, leftTw(Image5[k]), topTw(Image5[k]));
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
