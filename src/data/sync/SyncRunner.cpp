#include "SyncRunner.h"

#include "SyncLocal.h"
#include "SyncPass.h"
#include "data/Diary.h"

#include <QMutex>
#include <QThread>
#include <QWaitCondition>

// What the runner's thread and the diary's share: the cancel, and the wait for a call on the
// diary's thread, which gives up once cancelled so that neither thread ever waits on the other.
struct SyncRunner::Control
{
    QMutex mutex;
    QWaitCondition wake;
    bool cancelled = false;
    DavServer *server = nullptr; // while a pass or discovery talks to it
};

SyncRunner::SyncRunner(Diary &diary, Connector connector, QObject *parent)
    : QObject(parent)
    , m_diary(diary)
    , m_connector(std::move(connector))
    , m_local(std::make_unique<SyncLocal>(diary))
    , m_home(new QObject(this))
{
    qRegisterMetaType<SyncReport>();
}

SyncRunner::~SyncRunner()
{
    cancel();
    if (m_thread)
        m_thread->wait();
}

bool SyncRunner::busy() const
{
    return m_busy;
}

void SyncRunner::cancel()
{
    if (!m_control)
        return;
    QMutexLocker lock(&m_control->mutex);
    m_control->cancelled = true;
    if (m_control->server)
        m_control->server->cancel();
    m_control->wake.wakeAll();
}

bool SyncRunner::onDiary(const std::function<void()> &call)
{
    enum class Stage { Waiting, Running, Done, Abandoned };
    struct Job
    {
        Stage stage = Stage::Waiting;
    };
    const std::shared_ptr<Control> control = m_control;
    const auto job = std::make_shared<Job>();
    QMetaObject::invokeMethod(
        m_home,
        [control, job, call] {
            {
                QMutexLocker lock(&control->mutex);
                if (job->stage == Stage::Abandoned)
                    return;
                job->stage = Stage::Running;
            }
            call();
            QMutexLocker lock(&control->mutex);
            job->stage = Stage::Done;
            control->wake.wakeAll();
        },
        Qt::QueuedConnection);
    QMutexLocker lock(&control->mutex);
    while (job->stage != Stage::Done) {
        // A call under way is waited for: it runs on the diary's thread, which waits for nothing.
        if (control->cancelled && job->stage == Stage::Waiting) {
            job->stage = Stage::Abandoned;
            return false;
        }
        control->wake.wait(&control->mutex);
    }
    return true;
}

bool SyncRunner::start(const SyncTarget &target, const std::function<void(DavServer &)> &work)
{
    if (m_busy)
        return false;
    if (m_thread)
        m_thread->wait();
    m_busy = true;
    m_control = std::make_shared<Control>();
    const std::shared_ptr<Control> control = m_control;
    m_thread.reset(QThread::create([this, control, target, work] {
        std::unique_ptr<DavServer> server = m_connector(target.server, target.user, target.password);
        {
            QMutexLocker lock(&control->mutex);
            control->server = server.get();
            if (control->cancelled && server)
                server->cancel();
        }
        if (server)
            work(*server);
        QMutexLocker lock(&control->mutex);
        control->server = nullptr;
        lock.unlock();
        server.reset();
    }));
    m_thread->setObjectName(QStringLiteral("sync"));
    m_thread->start();
    return true;
}

bool SyncRunner::sync(const SyncTarget &target, bool allowDeletions)
{
    return start(target, [this, target, allowDeletions](DavServer &server) {
        SyncPass pass(
            server, *m_local, [this](const std::function<void()> &call) { return onDiary(call); },
            [this](int done, int total) { emit progress(done, total); });
        const SyncReport report = pass.run(target, allowDeletions);
        QMetaObject::invokeMethod(
            this,
            [this, report] {
                m_busy = false;
                emit finished(report);
            },
            Qt::QueuedConnection);
    });
}

bool SyncRunner::discover(const SyncTarget &target)
{
    return start(target, [this](DavServer &server) {
        QList<DavCollection> collections;
        const DavAnswer answer = server.discover(&collections);
        QMetaObject::invokeMethod(
            this,
            [this, answer, collections] {
                m_busy = false;
                emit discovered(answer, collections);
            },
            Qt::QueuedConnection);
    });
}
