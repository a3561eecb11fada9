#include "Application.h"

#include "Form1.h"
#include "alarms/AlarmScan.h"
#include "data/AgendaBackups.h"
#include "data/Clock.h"
#include "data/Messenger.h"
#include "data/Module1.h"
#include "data/SingleInstance.h"
#include "data/store/Database.h"
#include "data/store/SearchIndex.h"
#include "sync/SyncSchedule.h"
#include "widgets/ActivityWatch.h"
#include "widgets/Picture.h"
#include "widgets/Twips.h"

#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// Gives the pages that start-up work freed back to the system. The allocator keeps them for reuse
// otherwise, in each thread's own heap as well: the safety copy's and the search index's passes
// read the whole agenda once, and what they held stays resident, unused, for the whole session.
void releaseFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace

Application::Application(AppContext &context)
    : m_context(context)
    , m_activity(std::make_unique<ActivityWatch>(context))
    , m_form1(std::make_unique<Form1>(m_diary, context))
{}

Application::~Application() = default;

QString Application::databaseFile() const
{
    return m_context.paths.databaseFile(m_context.settings.DataFolder);
}

bool Application::Form_Load()
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
    m_form1->PlaceFromSettings();
    OpenCursors();
    m_startedAt = m_context.clock->now();
    m_agendaOpened = m_diary.Data1.isOpen();
    m_diary.setSelectedDate(m_context.clock->today());
    m_alarmScan = std::make_unique<AlarmScan>(m_diary, m_context, Timer1);
    // The week comes first; the rest follows as soon as it is on the screen: the window system and
    // the compositor, which share the processors, draw it after the program has painted it.
    QObject::connect(m_form1.get(), &Form1::weekPainted, m_form1.get(),
                     [this] { QTimer::singleShot(IdleDelayMs, m_form1.get(), [this] { startServices(); }); });
    QTimer::singleShot(RestDelayMs, m_form1.get(), [this] { startServices(); });
    return true;
}

void Application::startServices()
{
    if (m_servicesStarted)
        return;
    m_servicesStarted = true;
    // The windows' icon, drawn from its SVG at the sizes window managers take (read back as the
    // last start drew them): the window manager takes it once the week is on the screen.
    QGuiApplication::setWindowIcon(Picture::icon(QStringLiteral(":/icons/" QUILLOMAR_APP_ID ".svg")));
    // Alarms are looked for from the minute the program started on, whether the diary is shown
    // or hidden; those that fell due while the program was closed are listed first.
    if (m_agendaOpened)
        m_alarmScan->showMissed(m_startedAt);
    m_alarmScan->start();
    m_backups = std::make_unique<AgendaBackups>(m_context, databaseFile());
    QObject::connect(m_backups.get(), &AgendaBackups::copyFinished, m_form1.get(), [] { releaseFreedMemory(); });
    m_backups->start();
    // The diary's search index is brought up to date on a thread of its own, in the user's cache.
    if (m_agendaOpened && !m_context.paths.cacheFolder.isEmpty())
        if (const std::shared_ptr<Database> agenda = Database::open(databaseFile(), nullptr)) {
            agenda->startSearchIndex(m_context.paths.cacheFolder, IndexLookOverDelayMs);
            if (SearchIndex *index = agenda->searchIndex())
                QObject::connect(index, &SearchIndex::becameReady, m_form1.get(), [] { releaseFreedMemory(); });
        }
    // A user with a sync account gets the server's news now, and every while after.
    if (m_agendaOpened && m_context.sync) {
        m_syncSchedule = std::make_unique<SyncSchedule>(m_diary, m_context);
        m_syncSchedule->start();
    }
    // What the services' first steps (the missed alarms, the window icon, the bus) freed.
    QTimer::singleShot(SettleDelayMs, m_form1.get(), [] { releaseFreedMemory(); });
}

void Application::OpenCursors()
{
    const QString file = databaseFile();
    const QString failure = m_diary.open(file);
    // The window still opens, so the user can choose another data folder from the widget.
    if (!failure.isEmpty())
        m_context.messenger->ask(QStringLiteral("No se puede abrir la agenda %1:\n%2.\n\nLo que escriba no se guardará "
                                                "hasta que restaure una copia de seguridad o elija una carpeta de "
                                                "datos válida.")
                                     .arg(file, failure),
                                 QStringLiteral("Quillomar"), Messenger::Icon::Critical, Messenger::Ok);
    // Said now rather than at the first save, which would fail all the same.
    else if (const QString why = m_diary.readOnly(); !why.isEmpty())
        m_context.messenger->ask(QStringLiteral("La agenda %1 no se puede modificar: %2.\n\nPuede consultarla, pero lo "
                                                "que escriba no se guardará. Para guardar, dé permiso de escritura al "
                                                "archivo y a su carpeta y vuelva a abrir Quillomar, o elija otra "
                                                "carpeta de datos.")
                                     .arg(file, why),
                                 QStringLiteral("Quillomar"), Messenger::Icon::Warning, Messenger::Ok);
}
