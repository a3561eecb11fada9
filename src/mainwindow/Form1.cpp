#include "Form1.h"

#include "PictureBox.h"
#include "SingleInstance.h"
#include "Twips.h"
#include "agenda/WeekView.h"
#include "alarms/AlarmScan.h"
#include "data/Clock.h"
#include "data/Messenger.h"
#include "data/Module1.h"
#include "widget/Form9.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

Form1::Form1(AppContext &context, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_context(context)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quillomar"));
    setAccessibleName(QStringLiteral("Quillomar"));
    setMinimumSize(120, 90);

    BuildChrome();
    m_week = new WeekView(*this);
    m_week->lower();
    BuildSections();

    Timer3.setInterval(200);
    connect(&Timer3, &QTimer::timeout, this, &Form1::Timer3_Timer);
    Timer3.start();
    Timer4.setInterval(1000);
    connect(&Timer4, &QTimer::timeout, this, &Form1::Timer4_Timer);

    // Every user event anywhere in the program counts as activity.
    qApp->installEventFilter(this);
}

Form1::~Form1()
{
    qApp->removeEventFilter(this);
}

void Form1::ShowWidget()
{
    hide();
    if (!m_widget)
        m_widget = std::make_unique<Form9>(*this);
    m_widget->show();
    m_widget->activateWindow();
}

QString Form1::databaseFile() const
{
    return m_context.paths.databaseFile(m_context.settings.DataFolder);
}

bool Form1::Form_Load()
{
    m_instance = std::make_unique<SingleInstance>(m_context.paths.lockFile);
    if (!m_instance->tryAcquire()) {
        m_context.messenger->ask(
            QStringLiteral("Hay una instancia del programa funcionando todavía. Búsquela en el escritorio."),
            QStringLiteral("Quillomar"), Messenger::Icon::Critical, Messenger::Ok);
        return false;
    }

    Module1::LoadSettings(m_context.settings, m_context.paths.settingsFile,
                          Twips::screenSize(QGuiApplication::primaryScreen()), m_context.paths.defaultDataFolder);
    PlaceFromSettings();
    OpenCursors();
    SelectedDate = m_context.clock->today();
    // Alarms are looked for from now on, whether the diary is shown or hidden.
    m_alarmScan = std::make_unique<AlarmScan>(Data4, Data5, m_context, Timer1);
    m_alarmScan->start();
    return true;
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

void Form1::OpenCursors()
{
    const QString file = databaseFile();
    struct Opening
    {
        RecordCursor *cursor;
        const char *table;
    };
    const Opening openings[] = {{&Data1, "NOTAS"},         {&Data4, "NOTAS"},  {&Data2, "dias"},
                                {&Data3, "festivosfijos"}, {&Data5, "Tareas"}, {&DataTelefonos, "telefonos"}};
    QString failure;
    for (const Opening &opening : openings) {
        opening.cursor->DatabaseName = file;
        opening.cursor->RecordSource = QString::fromLatin1(opening.table);
        if (!opening.cursor->Refresh() && failure.isEmpty())
            failure = opening.cursor->lastError();
    }
    // The window still opens, so the user can choose another data folder from the widget.
    if (!failure.isEmpty())
        m_context.messenger->ask(QStringLiteral("No se puede abrir la agenda %1:\n%2.\n\nLo que escriba no se guardará "
                                                "hasta que elija una carpeta de datos válida.")
                                     .arg(file, failure),
                                 QStringLiteral("Quillomar"), Messenger::Icon::Critical, Messenger::Ok);
}

void Form1::Form_Activate()
{
    Timer4.start();
    m_week->RefreshWeek();
    moveTwips(I2, tw(width()) - widthTw(I2), tw(height()) - heightTw(I2));
    if (onLoadTasks)
        onLoadTasks();
}

void Form1::StoreMainSize()
{
    m_context.settings.MainWidth = Module1::ToSetting(tw(width()));
    m_context.settings.MainHeight = Module1::ToSetting(tw(height()));
}

void Form1::Form_QueryUnload()
{
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        StoreMainSize();
}

void Form1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
    else if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
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
