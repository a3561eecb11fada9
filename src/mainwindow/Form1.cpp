#include "Form1.h"

#include "BookCover.h"
#include "CalendarFiles.h"
#include "TabStrip.h"
#include "agenda/WeekView.h"
#include "data/Module1.h"
#include "desktopclock/Form9.h"
#include "sync/SyncWindow.h"
#include "widgets/ImageButton.h"
#include "widgets/PictureBox.h"
#include "widgets/ResizeGrip.h"
#include "widgets/Section.h"
#include "widgets/Twips.h"
#include "widgets/WindowDrag.h"
#include "widgets/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

Form1::Form1(Diary &diary, AppContext &context, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_diary(diary)
    , m_context(context)
    , m_drag(new WindowDrag(*this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quillomar"));
    setAccessibleName(QStringLiteral("Quillomar"));

    // From the bottom up: the cover with the week laid on it, the sections' pages, the tabs and
    // the chrome.
    m_cover = new BookCover(*m_drag, this);
    connect(m_cover, &BookCover::doubleClicked, this, &Form1::ToggleMaximized);
    connect(m_cover, &BookCover::pointerMoved, this, &Form1::hideHoverMarker);
    m_week = new WeekView(m_diary, m_context, m_cover);
    m_calendarFiles = new CalendarFiles(m_diary, m_context, *this);
    // Beside the calendar files in the book's menu: the server the diary keeps in step with.
    auto *syncAction = new QAction(QStringLiteral("Sincronización…"), this);
    connect(syncAction, &QAction::triggered, this, [this] {
        SyncWindow window(m_diary, m_context, this);
        window.exec();
    });
    addAction(syncAction);
    BuildSections();
    m_tabs = new TabStrip(m_diary, this);
    connect(m_tabs, &TabStrip::tabClicked, this, &Form1::Image7_Click);
    BuildChrome();
    BuildPrinting();
    connect(m_drag, &WindowDrag::finished, this, &Form1::storeMainPlace);
    connect(&m_diary, &Diary::weekWanted, this, [this](const QDate &previous, Diary::Arrival arrival) {
        Image7_Click(4);
        m_week->arriveFrom(previous, arrival);
    });
    // An alarm's "Abrir": the task list, and the diary before the user as a double click on the
    // desktop clock brings it.
    connect(&m_diary, &Diary::taskWanted, this, [this] { Image7_Click(3); });
    connect(&m_diary, &Diary::diaryWanted, this, [this] {
        if (m_widget && m_widget->isVisible())
            m_widget->ShowMainWindow();
        else
            ShowMainWindow();
        if (isMinimized())
            setWindowState(windowState() & ~Qt::WindowMinimized);
    });

    Timer4.setInterval(1000);
    connect(&Timer4, &QTimer::timeout, this, &Form1::Timer4_Timer);

    // The end of a dialog of the program is the diary's turn again (see eventFilter).
    qApp->installEventFilter(this);
}

Form1::~Form1()
{
    qApp->removeEventFilter(this);
    // The sections keep what is being typed as they go, into the diary: they go first, while it
    // is still open, and the window is hidden before anything of it goes.
    hide();
    for (Section *&section : m_sections) {
        delete section;
        section = nullptr;
    }
    m_panels = {};
    delete m_week;
    m_week = nullptr;
}

void Form1::ShowWidget()
{
    m_drag->cancel();
    hide();
    // The tasks tab blinks and the day lines are swept where nobody can see them only at a
    // cost: the clock on the desktop is what stays up all day. Both start again with the diary.
    m_tabs->Timer3.stop();
    Timer4.stop();
    if (!m_widget) {
        m_widget = std::make_unique<Form9>(m_diary, m_context);
        connect(m_widget.get(), &Form9::mainWindowWanted, this, &Form1::ShowMainWindow);
    }
    m_widget->show();
    m_widget->activateWindow();
}

void Form1::ShowMainWindow()
{
    if (m_widget)
        m_widget->hide();
    m_activationPending = true;
    show();
    raise();
    activateWindow();
    m_tabs->Timer3.start();
    Timer4.start();
    if (isActiveWindow())
        runPendingActivation();
}

void Form1::PlaceFromSettings()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize screenTwips = Twips::screenSize(screen);
    const Settings &s = m_context.settings;

    // A stored size under an inch (a short or damaged settings file gives 0) would leave the
    // program without a window to see or grab: such a size opens at the grip's smallest.
    double width = s.MainWidth < 1440 ? MinimumWidthTwips : s.MainWidth;
    double height = s.MainHeight < 1440 ? MinimumHeightTwips : s.MainHeight;
    if (width > screenTwips.width())
        width = 0.8 * screenTwips.width();
    if (height > screenTwips.height())
        height = 0.8 * screenTwips.height();

    const QRect area = Twips::screenPixels(screen);
    setGeometry(area.x() + Twips::toPixels(s.MainLeft, screen), area.y() + Twips::toPixels(s.MainTop, screen),
                Twips::toPixels(width, screen), Twips::toPixels(height, screen));
}

void Form1::Form_Activate()
{
    Timer4.start();
    m_week->RefreshWeek();
    I2->move(width() - I2->width(), height() - I2->height());
    for (Section *section : m_sections)
        if (section)
            section->activated();
}

void Form1::runPendingActivation()
{
    if (!m_activationPending)
        return;
    m_activationPending = false;
    Form_Activate();
}

void Form1::StoreMainSize()
{
    m_context.settings.MainWidth = Module1::ToSetting(tw(width()));
    m_context.settings.MainHeight = Module1::ToSetting(tw(height()));
}

void Form1::storeMainPlace()
{
    if (!WindowPlacement::isNormal(*this))
        return;
    const QRect area = Twips::screenPixels(screen());
    m_context.settings.MainLeft = Module1::ToSetting(tw(x() - area.x()));
    m_context.settings.MainTop = Module1::ToSetting(tw(y() - area.y()));
}

void Form1::Form_QueryUnload()
{
    if (WindowPlacement::isNormal(*this))
        StoreMainSize();
}

// The diary's turn comes on its first show, when a dialog of the program closes and when the
// widget gives it back: not when the user merely comes back from another program, nor when a
// message box closes (a message shown while the week is drawn must not draw the week again).
void Form1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        runPendingActivation();
    else if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

// Shown for the first time or back from the widget: where the window system does not make the
// diary the active window (focus stealing prevention), its turn still comes.
void Form1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && !QApplication::activeModalWidget())
            runPendingActivation();
    });
}

void Form1::closeEvent(QCloseEvent *event)
{
    Form_QueryUnload();
    event->accept();
    // Closed by the window system (Alt+F4, the task bar): the diary goes behind the desktop
    // widget as with its own "Cerrar", so the program never runs on unseen.
    ShowWidget();
}

int Form1::px(double twips) const
{
    return Twips::toPixels(twips, screen());
}

double Form1::tw(int pixels) const
{
    return Twips::fromPixels(pixels, screen());
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Hide && watched->isWidgetType()) {
        auto *dialog = qobject_cast<QDialog *>(watched);
        if (dialog && dialog->isWindow() && dialog->isModal() && !qobject_cast<QMessageBox *>(dialog) &&
            !qobject_cast<QFileDialog *>(dialog) && isVisible()) {
            m_activationPending = true;
            // Where the window system gives the diary its activation back, that runs it; where it
            // does not (or not yet), it runs once no other dialog of the program is left open.
            QTimer::singleShot(0, this, [this] {
                if (isVisible() && !QApplication::activeModalWidget())
                    runPendingActivation();
            });
        }
    }
    // The first paint of the week: told once the frame it is in has gone to the screen.
    if (!m_weekPainted && event->type() == QEvent::Paint && watched->isWidgetType() &&
        m_week->isAncestorOf(static_cast<QWidget *>(watched))) {
        m_weekPainted = true;
        QTimer::singleShot(0, this, &Form1::weekPainted);
    }
    if (event->type() == QEvent::Enter)
        for (int k = 0; k < 3; ++k)
            if (watched == Image5[k])
                Image6->move(Image5[k]->pos());
    return QWidget::eventFilter(watched, event);
}
