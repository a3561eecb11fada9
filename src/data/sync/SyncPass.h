#pragma once

#include "SyncLocal.h"
#include "SyncReport.h"
#include "SyncTarget.h"

#include <QSet>
#include <functional>

class DavServer;

// One sync pass, on the sync's own thread: asks the server what changed, has the diary's side
// (SyncLocal, on the diary's thread, reached through onDiary) read and write the agenda, and
// sends what changed here. docs/sync.md tells how each case is decided.
class SyncPass final
{
public:
    // Runs a call on the diary's thread and waits for it; false when the pass was cancelled
    // before the call ran.
    using OnDiary = std::function<bool(const std::function<void()> &)>;
    using Progress = std::function<void(int done, int total)>;

    SyncPass(DavServer &server, SyncLocal &local, OnDiary onDiary, Progress progress);

    SyncReport run(const SyncTarget &target, bool allowDeletions);

    // Fetched at most this many at a time.
    static constexpr int FetchBatch = 50;

private:
    bool collection(const QUrl &url, const QStringList &tables);
    bool local(const std::function<bool()> &call, bool fatal = false);
    bool stop(const DavAnswer &answer);
    bool carryOn(const DavAnswer &answer);
    bool receive(const QUrl &url, const DavItem &item, int depth);
    bool send(const QUrl &url, SyncLocal::Outgoing outgoing, int depth);
    bool refetch(const QUrl &url, const QString &href, int depth);
    void step();

    DavServer &m_server;
    SyncLocal &m_local;
    OnDiary m_onDiary;
    Progress m_progress;
    SyncTarget m_target;
    bool m_allowDeletions = false;
    SyncReport m_report;
    bool m_stopped = false;
    int m_failed = 0; // items that could not be brought in step this time
    QString m_firstFailure;
    QHash<QString, SyncLocal::State> m_states; // of the collection under way, by href
    QStringList m_tables; // what the collection under way takes
    QSet<QString> m_seen; // UIDs the server's items brought in this pass
    int m_done = 0;
    int m_total = 0;
};
