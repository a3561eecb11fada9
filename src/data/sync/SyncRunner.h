#pragma once

#include "DavServer.h"
#include "SyncReport.h"
#include "SyncTarget.h"

#include <QObject>
#include <functional>
#include <memory>

class Diary;
class QThread;
class SyncLocal;

// Runs sync passes for the diary without blocking its thread: the server is talked to on a
// thread of the runner's own, and everything the pass writes to the agenda goes through the
// diary's stores on the diary's thread, each item on its own, so the views hear of it as of any
// other change and a pass cut short only repeats work that is safe to repeat.
class SyncRunner final : public QObject
{
    Q_OBJECT

public:
    // Makes the server to talk to; called on the runner's thread. The program loads it from
    // its network module (DavModule); tests give a server of their own.
    using Connector =
        std::function<std::unique_ptr<DavServer>(const QUrl &url, const QString &user, const QString &password)>;

    SyncRunner(Diary &diary, Connector connector, QObject *parent = nullptr);
    ~SyncRunner() override; // cancels a pass under way and waits for its thread

    bool busy() const;
    // Starts one pass; false (and nothing done) when one is under way. allowDeletions: the
    // user confirmed the deletions a previous pass held back.
    bool sync(const SyncTarget &target, bool allowDeletions = false);
    // Asks the server for its collections, for the account window; false when busy.
    bool discover(const SyncTarget &target);
    void cancel();

signals:
    void progress(int done, int total);
    void finished(const SyncReport &report);
    void discovered(const DavAnswer &answer, const QList<DavCollection> &collections);

private:
    struct Control;
    bool start(const SyncTarget &target, const std::function<void(DavServer &)> &work);
    bool onDiary(const std::function<void()> &call);

    Diary &m_diary;
    Connector m_connector;
    std::shared_ptr<Control> m_control;
    std::unique_ptr<QThread> m_thread;
    std::unique_ptr<SyncLocal> m_local;
    QObject *m_home; // lives on the diary's thread: what the pass asks of the diary runs there
    bool m_busy = false;
};
