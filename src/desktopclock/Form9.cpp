#include "Form9.h"

#include "BackupWindow.h"
#include "ClockFace.h"
#include "ClockShake.h"
#include "DataFolderChoice.h"
#include "SettingsPanel.h"
#include "data/AppContext.h"
#include "data/Clock.h"
#include "data/DateText.h"
#include "data/Diary.h"
#include "data/Messenger.h"
#include "data/Module1.h"
#include "sync/SyncWindow.h"
#include "widgets/FileChooser.h"
#include "widgets/ImageButton.h"
#include "widgets/Twips.h"
#include "widgets/WindowDrag.h"
#include "widgets/WindowPlacement.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int PanelWidth = 224;
constexpr int FallbackOpacityPercent = 70;

} // namespace

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

    m_face = new ClockFace(*m_context.clock, this);
    connect(m_face, &ClockFace::pointerPressed, this, &Form9::pointerPressed);
    connect(m_face, &ClockFace::pointerMoved, this, &Form9::pointerMoved);
    connect(m_face, &ClockFace::pointerReleased, this, &Form9::pointerReleased);
    connect(m_face, &ClockFace::doubleClicked, this, &Form9::ShowMainWindow);

    Picture1 = new SettingsPanel(m_context, this);
    connect(Picture1, &SettingsPanel::alphaChanged, this, [this] { ApplyOpacity(false); });
    connect(Picture1->Image5[0], &QAbstractButton::clicked, this, &Form9::CloseSettingsPanel);
    connect(Picture1->Image2, &QAbstractButton::clicked, this, &Form9::Image2_Click);
    connect(Picture1->Image3, &QAbstractButton::clicked, this, &Form9::Image3_Click);
    connect(Picture1->backupButton, &QAbstractButton::clicked, this, &Form9::openBackups);
    connect(Picture1->syncButton, &QAbstractButton::clicked, this, [this] {
        SyncWindow window(m_diary, m_context, this);
        window.exec();
    });

    m_shake = new ClockShake(*this);

    Timer1.setInterval(500);
    Timer2.setInterval(10000);
    Timer3.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &Form9::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &Form9::Timer2_Timer);
    connect(&Timer3, &QTimer::timeout, this, &Form9::Timer3_Timer);

    Form_Load();

    // The clock and the shaking run whether the widget is shown or hidden; the idle count only
    // matters to the settings panel, and runs while the panel is open.
    Timer1.start();
    Timer2.start();
}

Form9::~Form9() = default;

void Form9::setFileChooser(FileChooser *chooser)
{
    m_chooser = chooser ? chooser : m_ownChooser.get();
}

void Form9::Form_Load()
{
    Picture1->showSettings();

    ApplyOpacity(false);
    move(twipsToScreen(m_context.settings.WidgetLeft, m_context.settings.WidgetTop));

    m_face->move(0, 0);
    resize(m_face->size());
    m_face->layOut();
    m_face->showTime(ColonShown);
    m_face->showToday();

    Picture1->setGeometry(m_face->width(), 0, std::max(PanelWidth, Picture1->sizeHint().width()), height());
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
    pullOnScreen(false);
}

void Form9::ShowMainWindow()
{
    endDrag();
    m_shake->stop();
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
    const QString text = Picture1->txtalpha->text().trimmed();
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

void Form9::Timer1_Timer()
{
    ColonShown = !ColonShown;
    // One look at the clock for the time and the day: twice a second, all day.
    const QDateTime now = m_context.clock->now();
    m_face->showTime(ColonShown, now);
    m_face->showToday(now.date());

    // Pulled back onto the screen only when no drag is running, so the pull does not fight the
    // user's hand.
    if (!m_drag->active())
        KeepWidgetOnScreen();
}

void Form9::KeepWidgetOnScreen()
{
    if (isShaking())
        return; // the shake ends where it began
    pullOnScreen(true);
}

// Moves the widget so that its right and bottom edges are on the screen, and its left and top
// edges too when leftAndTop is set.
void Form9::pullOnScreen(bool leftAndTop)
{
    const QRect screen = Twips::screenPixels(this->screen());
    QPoint place = pos();
    if (place.y() + height() > screen.bottom() + 1)
        place.setY(screen.bottom() + 1 - height());
    if (place.x() + width() > screen.right() + 1)
        place.setX(screen.right() + 1 - width());
    if (leftAndTop) {
        place.setX(std::max(place.x(), screen.left()));
        place.setY(std::max(place.y(), screen.top()));
    }
    if (place != pos())
        moveTo(place);
}

void Form9::OpenSettingsPanel()
{
    m_shake->stop();
    resize(m_face->width() + Picture1->width(), height());
    KeepWidgetOnScreen();
    Picture1->setDelayControls();
    Timer3.start();
}

void Form9::CloseSettingsPanel()
{
    const bool wasOpen = m_shake->restWidth() != m_face->width();
    Timer3.stop();
    // The idle timer closes the closed panel again every Delay + 1 seconds while the user is
    // away: clearing the opacity then would flash the card solid each time.
    if (wasOpen) {
        m_shake->stop();
        resize(m_face->width(), height());
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

void Form9::Timer2_Timer()
{
    if (Picture1->Check1->isChecked() && m_diary.TodayHasEntries)
        ShakeWidget();
}

void Form9::ShakeWidget()
{
    // Nobody sees a hidden card tremble.
    if (isShaking() || !isVisible())
        return;
    endDrag();
    m_shake->start(desktopComposites && desktopComposites());
}

bool Form9::isShaking() const
{
    return m_shake->active();
}

int Form9::cardShift() const
{
    return m_shake->cardShift();
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

void Form9::openBackups()
{
    BackupWindow window(m_diary, m_context, this);
    if (window.exec() == QDialog::Accepted)
        ShowMainWindow();
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
    m_shake->stop();
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
