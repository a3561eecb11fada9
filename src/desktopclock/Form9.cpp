#include "Form9.h"

#include "Autostart.h"
#include "BackupWindow.h"
#include "DataFolderChoice.h"
#include "data/AppContext.h"
#include "data/Clock.h"
#include "data/DateText.h"
#include "data/Diary.h"
#include "data/Messenger.h"
#include "data/Module1.h"
#include "widgets/FileChooser.h"
#include "widgets/ImageButton.h"
#include "widgets/Picture.h"
#include "widgets/PictureBox.h"
#include "widgets/Twips.h"
#include "widgets/WindowDrag.h"
#include "widgets/WindowPlacement.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The card's size when its drawing cannot be read, in logical pixels.
constexpr QSize FallbackCardSize(200, 120);
constexpr int PanelWidth = 224;

constexpr int AlphaMin = 10, AlphaMax = 100;
constexpr int DelayMin = 5, DelayMax = 999;
constexpr int FallbackOpacityPercent = 70;

// A shake is ten trips 400 twips out and back, a frame out and a frame back each, over half a
// second: read as a tremble, and the fewest frames that show every trip.
constexpr int ShakeTrips = 10;
constexpr int ShakeReachTwips = 400;
constexpr int ShakeFrameMs = 25;

const QColor Ink(59, 36, 21);

// The settings panel: a slip of the diary's paper beside the card.
class PanelPaper final : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(107, 66, 38), 1.5));
        painter.setBrush(QColor(251, 246, 232));
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
    }
};

QFont faceFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("Liberation Serif"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QString capitalised(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

} // namespace

// While the card shakes inside its window, one picture of it is drawn at each frame's place, over
// the controls, which stay where they are: a frame is then one copy of a picture, not a layout
// and a repaint of every label. Painting every pixel it covers, it keeps the controls beneath
// from being painted at all.
class Form9::ShakeCover final : public QWidget
{
public:
    explicit ShakeCover(QWidget *parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

    QImage face;
    int shift = 0;

protected:
    void paintEvent(QPaintEvent *) override
    {
        // Copied, not blended: the picture already holds the card over nothing.
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        const QRect card(QPoint(shift, 0), face.deviceIndependentSize().toSize());
        painter.drawImage(card.topLeft(), face);
        for (const QRect &bare : QRegion(rect()).subtracted(card))
            painter.fillRect(bare, Qt::transparent);
    }
};

Form9::Form9(Diary &diary, AppContext &context)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool)
    , m_diary(diary)
    , m_context(context)
    , m_ownChooser(std::make_unique<QtFileChooser>())
    , m_chooser(m_ownChooser.get())
    , m_drag(new WindowDrag(*this))
{
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("Quillomar"));
    setAccessibleName(QStringLiteral("Quillomar"));
    // The card's drawing may have a shaped edge: what it leaves unpainted shows the desktop.
    setAttribute(Qt::WA_TranslucentBackground);

    quitProgram = [] { QCoreApplication::exit(0); };
    desktopComposites = &WindowPlacement::desktopComposites;
    // Where the user leaves the card is kept, even past the screen's edge; only then is it
    // pulled back onto the screen.
    m_drag->setKeepsOnScreen(false);
    connect(m_drag, &WindowDrag::finished, this, [this] {
        storeWidgetPosition();
        KeepWidgetOnScreen();
    });

    buildFace();
    buildPanel();
    m_shakeCover = new ShakeCover(this);

    Timer1.setInterval(500);
    Timer2.setInterval(10000);
    Timer3.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &Form9::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &Form9::Timer2_Timer);
    connect(&Timer3, &QTimer::timeout, this, &Form9::Timer3_Timer);
    m_shakeTimer.setInterval(ShakeFrameMs);
    m_shakeTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_shakeTimer, &QTimer::timeout, this, [this] {
        // The last trip back is the card settling in its place.
        if (++m_shakeStep < 2 * ShakeTrips - 1)
            showShakeStep();
        else
            stopShaking();
    });

    // Every press, key or pointer move anywhere on the widget counts as the user being there.
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);

    Form_Load();

    // The clock, the shaking and the idle count run whether the widget is shown or hidden.
    Timer1.start();
    Timer2.start();
    Timer3.start();
}

Form9::~Form9() = default;

void Form9::setFileChooser(FileChooser *chooser)
{
    m_chooser = chooser ? chooser : m_ownChooser.get();
}

void Form9::buildFace()
{
    Image1 = new PictureBox(QStringLiteral("widget-card"), this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setMouseTracking(true);
    QSize card = Picture::naturalSize(QStringLiteral("widget-card"));
    if (!card.isValid() || card.isEmpty())
        card = FallbackCardSize;
    Image1->resize(card);
    connect(Image1, &PictureBox::mousePressed, this, &Form9::pointerPressed);
    connect(Image1, &PictureBox::mouseMoved, this, &Form9::pointerMoved);
    connect(Image1, &PictureBox::mouseReleased, this, &Form9::pointerReleased);
    connect(Image1, &PictureBox::doubleClicked, this, &Form9::ShowMainWindow);

    const auto makeLabel = [this](const QString &name, const QFont &font) {
        auto *label = new QLabel(this);
        label->setObjectName(name);
        label->setFont(font);
        label->setAlignment(Qt::AlignCenter);
        label->setMouseTracking(true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Ink);
        label->setPalette(palette);
        return label;
    };
    // The time stands on the card's lowest ruled band, which is barely taller than its figures.
    Label1[0] = makeLabel(QStringLiteral("Label1(0)"), faceFont(23, true));
    Label1[0]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label2[0] = makeLabel(QStringLiteral("Label2(0)"), faceFont(14, true));
    Label3[0] = makeLabel(QStringLiteral("Label3(0)"), faceFont(13, false));
}

void Form9::buildPanel()
{
    Picture1 = new PanelPaper(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setMouseTracking(true);

    auto *grid = new QGridLayout(Picture1);
    grid->setContentsMargins(8, 5, 6, 5);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);

    Label5 = new QLabel(QStringLiteral("Configuración"), Picture1);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setFont(faceFont(14, true));

    Image5[0] = new ImageButton(QStringLiteral("widget-close"), QStringLiteral("Cerrar"), Picture1);
    Image5[0]->setObjectName(QStringLiteral("Image5(0)"));
    connect(Image5[0], &QAbstractButton::clicked, this, &Form9::CloseSettingsPanel);

    const auto makeSpinner = [this](int index, const QString &caption, const QString &textName, const QString &barName,
                                    int minimum, int maximum) {
        Label4[index] = new QLabel(caption, Picture1);
        Label4[index]->setObjectName(QStringLiteral("Label4(%1)").arg(index));
        auto *text = new QLineEdit(Picture1);
        text->setObjectName(textName);
        // The value is set with the spinner beside it; a typed number would change nothing.
        text->setReadOnly(true);
        text->setAlignment(Qt::AlignRight);
        text->setFixedWidth(38);
        text->setAccessibleName(caption);
        auto *bar = new QScrollBar(Qt::Vertical, Picture1);
        bar->setObjectName(barName);
        bar->setRange(minimum, maximum);
        bar->setFixedSize(16, 22);
        bar->setFocusPolicy(Qt::StrongFocus);
        bar->setAccessibleName(caption);
        Label4[index]->setBuddy(bar);
        return std::pair(text, bar);
    };
    std::tie(txtalpha, VScroll1) = makeSpinner(0, QStringLiteral("Transparencia (%):"), QStringLiteral("txtalpha"),
                                               QStringLiteral("VScroll1"), AlphaMin, AlphaMax);
    std::tie(Text2, VScroll2) = makeSpinner(1, QStringLiteral("Demora Cierre (seg.):"), QStringLiteral("Text2"),
                                            QStringLiteral("VScroll2"), DelayMin, DelayMax);
    connect(VScroll1, &QScrollBar::valueChanged, this, &Form9::VScroll1_Change);
    connect(VScroll2, &QScrollBar::valueChanged, this, &Form9::VScroll2_Change);

    Check1 = new QCheckBox(QStringLiteral("Vibra si hay algo hoy"), Picture1);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setChecked(true);

    // Kept by the desktop session, in its autostart folder, rather than in the settings file.
    auto *autostartCheck = new QCheckBox(QStringLiteral("Iniciar Quillomar al entrar en el escritorio"), Picture1);
    autostartCheck->setObjectName(QStringLiteral("autostartCheck"));
    autostartCheck->setChecked(Autostart(QCoreApplication::applicationFilePath()).isEnabled());
    connect(autostartCheck, &QCheckBox::toggled, this, [this, autostartCheck](bool on) {
        Autostart autostart(QCoreApplication::applicationFilePath());
        if (autostart.setEnabled(on))
            return;
        m_context.messenger->tell(autostart.error(), QStringLiteral("Quillomar"), Messenger::Icon::Critical);
        const QSignalBlocker block(autostartCheck);
        autostartCheck->setChecked(autostart.isEnabled());
    });

    Image2 = new ImageButton(QStringLiteral("widget-folder"), QStringLiteral("Cambiar Ruta Datos"), Picture1);
    Image2->setObjectName(QStringLiteral("Image2"));
    connect(Image2, &QAbstractButton::clicked, this, &Form9::Image2_Click);
    Image3 = new ImageButton(QStringLiteral("widget-exit"), QStringLiteral("Salida del Programa"), Picture1);
    Image3->setObjectName(QStringLiteral("Image3"));
    connect(Image3, &QAbstractButton::clicked, this, &Form9::Image3_Click);
    auto *backupButton =
        new ImageButton(QStringLiteral("widget-backup"), QStringLiteral("Copias de seguridad…"), Picture1);
    backupButton->setObjectName(QStringLiteral("backupButton"));
    connect(backupButton, &QAbstractButton::clicked, this, [this] {
        BackupWindow window(m_diary, m_context, this);
        if (window.exec() == QDialog::Accepted)
            ShowMainWindow();
    });
    for (ImageButton *button : {Image2, Image3, Image5[0], backupButton})
        button->setFixedSize(22, 22);

    grid->addWidget(Label5, 0, 0, 1, 2);
    grid->addWidget(Image5[0], 0, 2, Qt::AlignRight);
    grid->addWidget(Label4[0], 1, 0);
    grid->addWidget(txtalpha, 1, 1);
    grid->addWidget(VScroll1, 1, 2);
    grid->addWidget(Label4[1], 2, 0);
    grid->addWidget(Text2, 2, 1);
    grid->addWidget(VScroll2, 2, 2);
    grid->addWidget(Check1, 3, 0, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(Image2);
    buttons->addWidget(backupButton);
    buttons->addWidget(Image3);
    buttons->addWidget(autostartCheck);
    buttons->addStretch();
    grid->addLayout(buttons, 4, 0, 1, 3);
    grid->setColumnStretch(0, 1);
}

void Form9::Form_Load()
{
    setDelayControls();
    // A setting the spinner cannot show is brought to its nearest end, which is then kept.
    const int alpha = std::clamp<int>(m_context.settings.Alpha, AlphaMin, AlphaMax);
    {
        const QSignalBlocker block(VScroll1);
        VScroll1->setValue(alpha);
    }
    VScroll1_Change();

    ApplyOpacity(false);
    move(twipsToScreen(m_context.settings.WidgetLeft, m_context.settings.WidgetTop));

    Image1->move(0, 0);
    resize(Image1->size());

    const QScreen *screen = this->screen();
    const int line = Twips::toPixels(240, screen);
    // The time's box is only as wide as its widest figures: the colon's blink then repaints that
    // box, not a band across the whole translucent card.
    const QFontMetrics figures(Label1[0]->font());
    const int timeWidth = std::max(figures.horizontalAdvance(QStringLiteral("00:00")),
                                   figures.horizontalAdvance(QStringLiteral("00 00"))) +
        2;
    Label1[0]->setGeometry(0, height() - 2 * line, std::min(timeWidth, width()), std::min(2 * line, figures.height()));
    Label2[0]->setGeometry(0, line, width(), line);
    Label3[0]->setGeometry(0, 2 * line, width(), line);
    for (QLabel *label : {Label1[0], Label2[0], Label3[0]}) {
        CenterLabel(label);
        label->raise();
    }

    showTime();
    showToday();

    Picture1->setGeometry(Image1->width(), 0, std::max(PanelWidth, Picture1->sizeHint().width()), height());
}

void Form9::CenterLabel(QLabel *label)
{
    label->move((width() - label->width()) / 2, label->y());
}

void Form9::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void Form9::Form_Activate()
{
    m_context.IdleCount = 0;
    if (isShaking())
        return; // the shake ends where it began; the clock pulls the card up after it
    const QRect screen = Twips::screenPixels(this->screen());
    QPoint place = pos();
    if (place.y() + height() > screen.bottom() + 1)
        place.setY(screen.bottom() + 1 - height());
    if (place.x() + width() > screen.right() + 1)
        place.setX(screen.right() + 1 - width());
    if (place != pos())
        moveTo(place);
}

void Form9::ShowMainWindow()
{
    endDrag();
    stopShaking();
    hide();
    emit mainWindowWanted();
}

void Form9::closeEvent(QCloseEvent *event)
{
    // Closed by the window system (Alt+F4, a panel's close): the diary comes back, as on a
    // double click, so the program is never left running with no window to return to. It ends
    // only by "Salida del Programa".
    event->accept();
    ShowMainWindow();
}

void Form9::ApplyOpacity(bool off)
{
    if (off) {
        m_appliedOpacity = 255;
        setOpacity(255);
        return;
    }
    const QString text = txtalpha->text().trimmed();
    bool ok = false;
    double value = text.toDouble(&ok);
    if (!ok)
        value = DateText::spanishLocale().toDouble(text, &ok);
    double percent = ok && std::isfinite(value) ? Module1::RoundHalfEven(value) : 0;
    if (percent < 1 || percent > 100)
        percent = FallbackOpacityPercent;
    m_appliedOpacity = int(Module1::RoundHalfEven(percent * 255 / 100));
    setOpacity(m_appliedOpacity);
}

void Form9::setOpacity(int opacity)
{
    // The idle timer asks for the same opacity again and again while the user is away; the
    // window system hears only of a change.
    if (int(std::lround(windowOpacity() * 255)) != opacity)
        setWindowOpacity(opacity / 255.0);
}

void Form9::showTime()
{
    const QTime time = m_context.clock->now().time();
    Label1[0]->setText(time.toString(ColonShown ? QStringLiteral("HH:mm") : QStringLiteral("HH mm")));
}

void Form9::showToday()
{
    const QDate today = m_context.clock->today();
    if (today == m_shownDay)
        return;
    m_shownDay = today;
    const QLocale locale = DateText::spanishLocale();
    Label2[0]->setText(capitalised(locale.dayName(today.dayOfWeek(), QLocale::LongFormat)));
    Label3[0]->setText(locale.toString(today, QLocale::ShortFormat));
}

void Form9::Timer1_Timer()
{
    ColonShown = !ColonShown;
    showTime();
    showToday();
    if (m_shakeInside) {
        takeFaceSnapshot();
        m_shakeCover->update();
    }

    // Pulled back onto the screen only when no drag is running, so the pull does not fight the
    // user's hand.
    if (!m_drag->active())
        KeepWidgetOnScreen();
}

void Form9::KeepWidgetOnScreen()
{
    if (isShaking())
        return; // the shake ends where it began
    const QRect screen = Twips::screenPixels(this->screen());
    QPoint place = pos();
    if (place.y() + height() > screen.bottom() + 1)
        place.setY(screen.bottom() + 1 - height());
    if (place.x() + width() > screen.right() + 1)
        place.setX(screen.right() + 1 - width());
    if (place.x() < screen.left())
        place.setX(screen.left());
    if (place.y() < screen.top())
        place.setY(screen.top());
    if (place != pos())
        moveTo(place);
}

void Form9::OpenSettingsPanel()
{
    stopShaking();
    resize(Image1->width() + Picture1->width(), height());
    KeepWidgetOnScreen();
    setDelayControls();
}

void Form9::CloseSettingsPanel()
{
    const bool wasOpen = restWidth() != Image1->width();
    // The idle timer closes the closed panel again every Delay + 1 seconds while the user is
    // away: clearing the opacity then would flash the card solid each time.
    if (wasOpen) {
        stopShaking();
        resize(Image1->width(), height());
        ApplyOpacity(true);
    }
    ApplyOpacity(false);
}

void Form9::Timer3_Timer()
{
    if (m_context.IdleCount < std::numeric_limits<qint16>::max())
        ++m_context.IdleCount;
    if (m_context.IdleCount > m_context.settings.Delay)
        CloseSettingsPanel();
}

void Form9::setDelayControls()
{
    const int delay = std::clamp<int>(m_context.settings.Delay, DelayMin, DelayMax);
    {
        const QSignalBlocker block(VScroll2);
        VScroll2->setValue(delay);
    }
    VScroll2_Change();
}

void Form9::VScroll1_Change()
{
    txtalpha->setText(QString::number(VScroll1->value()));
    m_context.settings.Alpha = qint16(VScroll1->value());
    ApplyOpacity(false);
}

void Form9::VScroll2_Change()
{
    Text2->setText(QString::number(VScroll2->value()));
    m_context.settings.Delay = qint16(Text2->text().toInt());
}

void Form9::Timer2_Timer()
{
    if (Check1->isChecked() && m_diary.TodayHasEntries)
        ShakeWidget();
}

void Form9::ShakeWidget()
{
    // Nobody sees a hidden card tremble.
    if (isShaking() || !isVisible())
        return;
    endDrag();
    // Where the card stands now, which the shake comes back to.
    m_shakeBase = pos();
    m_shakeInside = desktopComposites && desktopComposites();
    if (m_shakeInside) {
        m_shakeRestWidth = width();
        takeFaceSnapshot();
        // Place and size together: a size alone lets some window managers place the window anew.
        setGeometry(QRect(m_shakeBase, QSize(m_shakeRestWidth + shakeReach(), height())));
        m_shakeCover->setGeometry(rect());
        m_shakeCover->raise();
        m_shakeCover->show();
    }
    m_shakeStep = 0;
    showShakeStep();
    m_shakeTimer.start();
}

void Form9::showShakeStep()
{
    // Out on the even frames, back on the odd ones; each place is measured from where the shake
    // began, so rounding twips to pixels never leaves the card a pixel off when it is over.
    const int shift = m_shakeStep % 2 == 0 ? shakeReach() : 0;
    if (m_shakeInside) {
        m_shakeCover->shift = shift;
        // The first frame is painted with the widened window; the others are copies made by the
        // display server where it keeps the picture. Whatever the window paints meanwhile (a
        // colon blink, an uncovered part) is painted at the same place.
        const qreal ratio = devicePixelRatioF();
        const QRect part(QPoint(qRound((shakeReach() - shift) * ratio), 0), size() * ratio);
        if (m_shakeStep == 0 || !m_shakeFrames.show(part))
            m_shakeCover->update();
    } else {
        move(m_shakeBase + QPoint(shift, 0));
    }
}

QImage Form9::faceSnapshot() const
{
    const QRect face(0, 0, restWidth(), height());
    QImage picture(face.size() * devicePixelRatioF(), QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(devicePixelRatioF());
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    for (QObject *object : children()) { // lowest first
        auto *child = qobject_cast<QWidget *>(object);
        if (child && child != m_shakeCover && child->isVisible() && child->geometry().intersects(face))
            child->render(&painter, child->pos(), QRegion(), QWidget::DrawChildren);
    }
    return picture;
}

// The card's picture for the frames of a shake: drawn over the controls by the cover, and, with
// the reach left bare on both of its sides, kept by the display server for the frames it copies.
void Form9::takeFaceSnapshot()
{
    m_shakeCover->face = faceSnapshot();
    const int reach = qRound(shakeReach() * devicePixelRatioF());
    m_shakeFrames.prepare(*this, m_shakeCover->face, QMargins(reach, 0, reach, 0));
}

int Form9::shakeReach() const
{
    return Twips::toPixels(ShakeReachTwips, screen());
}

void Form9::stopShaking()
{
    if (!isShaking())
        return;
    m_shakeTimer.stop();
    if (m_shakeInside) {
        m_shakeInside = false;
        m_shakeFrames.release();
        m_shakeCover->hide();
        m_shakeCover->face = QImage();
        setGeometry(QRect(m_shakeBase, QSize(m_shakeRestWidth, height())));
    } else {
        move(m_shakeBase);
    }
}

int Form9::cardShift() const
{
    return m_shakeInside ? m_shakeCover->shift : 0;
}

int Form9::restWidth() const
{
    return m_shakeInside ? m_shakeRestWidth : width();
}

void Form9::Image2_Click()
{
    DataFolderChoice choice(m_context, *m_chooser);
    if (choice.ChooseDataFolder(this) == DataFolderChoice::Outcome::Leave)
        saveAndQuit();
}

void Form9::Image3_Click()
{
    saveAndQuit();
}

void Form9::saveAndQuit()
{
    const QString &file = m_context.paths.settingsFile;
    QString error;
    if (!Module1::SaveSettings(m_context.settings, file, &error))
        m_context.messenger->ask(QStringLiteral("No se ha podido guardar la configuración en %1:\n%2")
                                     .arg(QDir::toNativeSeparators(file), error),
                                 QStringLiteral("Quillomar"), Messenger::Icon::Critical, Messenger::Ok);
    quitProgram();
}

// Dragging. The drag starts on the first move with the left button held, not on the press, so
// that a double click still reaches the widget.

void Form9::pointerPressed(QMouseEvent *event)
{
    m_context.IdleCount = 0;
    stopShaking();
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        m_pressGlobal = event->globalPosition().toPoint();
        return;
    }
    KeepWidgetOnScreen();
    if (event->button() == Qt::RightButton)
        OpenSettingsPanel();
}

void Form9::pointerMoved(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton)) {
        m_pressed = false;
        return;
    }
    if (m_pressed && !m_drag->active()) {
        if ((event->globalPosition().toPoint() - m_pressGlobal).manhattanLength() < QApplication::startDragDistance())
            return;
        m_pressed = false;
        m_drag->begin(event, m_pressGlobal);
        return;
    }
    m_drag->pointerMoved(event);
}

void Form9::pointerReleased(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = false;
    if (m_drag->active())
        m_drag->pointerReleased(event);
    else
        KeepWidgetOnScreen();
}

void Form9::endDrag()
{
    m_drag->cancel();
    m_pressed = false;
}

void Form9::storeWidgetPosition()
{
    const QScreen *primary = QGuiApplication::primaryScreen();
    const QPoint origin = Twips::screenPixels(primary).topLeft();
    m_context.settings.WidgetLeft = Module1::ToSetting(Twips::fromPixels(x() - origin.x(), primary));
    m_context.settings.WidgetTop = Module1::ToSetting(Twips::fromPixels(y() - origin.y(), primary));
}

QPoint Form9::twipsToScreen(int left, int top) const
{
    const QScreen *primary = QGuiApplication::primaryScreen();
    return Twips::screenPixels(primary).topLeft() +
        QPoint(Twips::toPixels(left, primary), Twips::toPixels(top, primary));
}

void Form9::moveTo(const QPoint &position)
{
    // A move of the program's own is never the user's: it ends any drag being followed.
    endDrag();
    move(position);
}

bool Form9::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::Wheel:
        m_context.IdleCount = 0;
        break;
    default:
        break;
    }

    const bool isLabel = watched == Label1[0] || watched == Label2[0] || watched == Label3[0];
    if (!isLabel)
        return QWidget::eventFilter(watched, event);

    if ((event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) &&
        (watched == Label2[0] || watched == Label3[0])) {
        const QDate today = m_context.clock->today();
        static_cast<QLabel *>(watched)->setToolTip(
            DateText::spanishLocale().toString(today, QLocale::LongFormat).toUpper());
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        pointerPressed(static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::MouseMove:
        pointerMoved(static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::MouseButtonRelease:
        pointerReleased(static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::MouseButtonDblClick:
        ShowMainWindow();
        return true;
    default:
        return false;
    }
}
