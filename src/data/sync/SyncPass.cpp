#include "SyncPass.h"

#include "DavServer.h"
#include "data/Schema.h"

#include <QSet>

namespace {

using Kind = DavAnswer::Kind;

QByteArray contentType(const QString &table)
{
    return table == Schema::Telefonos::Table ? "text/vcard; charset=utf-8" : "text/calendar; charset=utf-8";
}

QString nameOf(const QUrl &url)
{
    const QStringList parts = url.path().split(u'/', Qt::SkipEmptyParts);
    return parts.isEmpty() ? url.toString() : parts.last();
}

} // namespace

SyncPass::SyncPass(DavServer &server, SyncLocal &local, OnDiary onDiary, Progress progress)
    : m_server(server)
    , m_local(local)
    , m_onDiary(std::move(onDiary))
    , m_progress(std::move(progress))
{}

bool SyncPass::stop(const DavAnswer &answer)
{
    m_stopped = true;
    if (answer.kind == Kind::Unreachable)
        m_report.error =
            QStringLiteral("No se puede conectar con el servidor %1; se reintentará")
                .arg(m_target.server.host().isEmpty() ? m_target.server.toString() : m_target.server.host());
    else if (answer.kind == Kind::Cancelled)
        m_report.error = QStringLiteral("Se ha cancelado la sincronización");
    else
        m_report.error =
            answer.message.isEmpty() ? QStringLiteral("El servidor no ha aceptado la sincronización") : answer.message;
    return false;
}

// A failed answer about one item: the pass goes on with the others unless the server is out of
// reach, refuses the account or the pass was cancelled.
bool SyncPass::carryOn(const DavAnswer &answer)
{
    if (answer.kind == Kind::Unreachable || answer.kind == Kind::Unauthorized || answer.kind == Kind::Certificate ||
        answer.kind == Kind::Cancelled)
        return stop(answer);
    ++m_failed;
    if (m_firstFailure.isEmpty())
        m_firstFailure = answer.message;
    return true;
}

bool SyncPass::local(const std::function<bool()> &call, bool fatal)
{
    bool ok = false;
    if (!m_onDiary([&] { ok = call(); }))
        return stop({Kind::Cancelled, 0, {}});
    if (ok)
        return true;
    if (fatal) {
        m_stopped = true;
        m_report.error = QStringLiteral("No se puede sincronizar la agenda: %1").arg(m_local.error());
        return false;
    }
    ++m_failed;
    if (m_firstFailure.isEmpty())
        m_firstFailure = m_local.error();
    return false;
}

void SyncPass::step()
{
    ++m_done;
    if (m_progress)
        m_progress(m_done, std::max(m_done, m_total));
}

SyncReport SyncPass::run(const SyncTarget &target, bool allowDeletions)
{
    m_target = target;
    m_allowDeletions = allowDeletions;
    m_report = {};
    QUrl calendar = target.calendar;
    QUrl tasks = target.tasks;
    QUrl book = target.addressBook;
    if (calendar.isEmpty() || tasks.isEmpty() || book.isEmpty()) {
        QList<DavCollection> found;
        const DavAnswer answer = m_server.discover(&found);
        if (!answer &&
            (answer.kind == Kind::Unreachable || answer.kind == Kind::Unauthorized ||
             answer.kind == Kind::Certificate || answer.kind == Kind::Cancelled ||
             (calendar.isEmpty() && book.isEmpty()))) {
            stop(answer);
            m_report.finished = QDateTime::currentDateTime();
            return m_report;
        }
        const auto first = [&](const char *component) {
            for (const DavCollection &collection : std::as_const(found))
                if (component ? !collection.addressBook &&
                            (collection.components.isEmpty() ||
                             collection.components.contains(QLatin1String(component)))
                              : collection.addressBook)
                    return collection.url;
            return QUrl();
        };
        if (calendar.isEmpty())
            calendar = first("VEVENT");
        if (tasks.isEmpty())
            tasks = first("VTODO");
        if (book.isEmpty())
            book = first(nullptr);
    }
    std::vector<std::pair<QUrl, QStringList>> collections;
    const auto take = [&](const QUrl &url, const QString &table) {
        if (url.isEmpty())
            return;
        for (auto &[known, tables] : collections)
            if (known == url) {
                tables << table;
                return;
            }
        collections.push_back({url, {table}});
    };
    take(calendar, Schema::Notas::Table);
    take(tasks, Schema::Tareas::Table);
    take(book, Schema::Telefonos::Table);
    for (const auto &[url, tables] : collections)
        if (!collection(url, tables) && m_stopped)
            break;
    m_report.ok = !m_stopped;
    if (m_report.ok && m_failed > 0)
        m_report.error = QStringLiteral("%1 %2 no se pudo sincronizar: %3")
                             .arg(m_failed)
                             .arg(m_failed == 1 ? QStringLiteral("elemento") : QStringLiteral("elementos"))
                             .arg(m_firstFailure);
    m_report.finished = QDateTime::currentDateTime();
    return m_report;
}

bool SyncPass::receive(const QUrl &url, const DavItem &item, int depth)
{
    const QString name = url.toString();
    const auto known = m_states.constFind(item.href);
    const SyncLocal::State *state = known == m_states.constEnd() ? nullptr : &*known;
    SyncLocal::Outcome outcome;
    if (!local([&] { return m_local.receive(name, state, item, m_tables, &outcome); }))
        return !m_stopped;
    m_states.insert(item.href, outcome.state);
    m_seen.insert(outcome.state.uid);
    if (outcome.action == SyncMerge::Action::Receive || outcome.action == SyncMerge::Action::Merge)
        ++m_report.received;
    m_report.conflicts << outcome.conflicts;
    for (const SyncLocal::Outgoing &outgoing : std::as_const(outcome.sends))
        if (!send(url, outgoing, depth + 1))
            return false;
    return true;
}

// The server's item at href changed meanwhile: it is fetched and merged again.
bool SyncPass::refetch(const QUrl &url, const QString &href, int depth)
{
    QList<DavItem> items;
    const DavAnswer answer = m_server.fetch(url, {href}, &items);
    if (!answer)
        return carryOn(answer);
    if (items.isEmpty())
        return true;
    return receive(url, items.front(), depth);
}

bool SyncPass::send(const QUrl &url, SyncLocal::Outgoing outgoing, int depth)
{
    // A server that keeps changing the item under the pass is left for the next one.
    if (depth > 3)
        return carryOn({Kind::Precondition, 412, QStringLiteral("el elemento cambia en el servidor sin parar")});
    QString etag;
    const DavAnswer answer = m_server.put(outgoing.href, outgoing.text,
                                          QString::fromLatin1(contentType(outgoing.table)), outgoing.etag, &etag);
    if (answer) {
        ++m_report.sent;
        if (local([&] { return m_local.sent(url.toString(), outgoing, etag); }))
            m_states.insert(outgoing.href,
                            {outgoing.href, outgoing.table, outgoing.uid, etag, outgoing.hash, outgoing.text});
        return !m_stopped;
    }
    if (answer.kind == Kind::Precondition)
        return refetch(url, outgoing.href, depth);
    if (answer.kind == Kind::NotFound && !outgoing.etag.isEmpty()) {
        // Deleted on the server while changed here: the change stays, as a new item.
        outgoing.etag.clear();
        return send(url, outgoing, depth + 1);
    }
    return carryOn(answer);
}

bool SyncPass::collection(const QUrl &url, const QStringList &tables)
{
    using SyncMerge::Action;
    using SyncMerge::Side;
    const QString name = url.toString();
    // The server is asked first: a server that does not answer, or refuses the account, leaves
    // the agenda as it was.
    QString since;
    if (!local([&] { return m_local.token(name, &since); }, true))
        return false;
    bool full = since.isEmpty();
    QList<DavItem> listed;
    QStringList removed;
    QString token;
    DavAnswer answer = m_server.changes(url, since, &listed, &removed, &token);
    if (!answer) {
        if (answer.kind == Kind::Cancelled || answer.kind == Kind::Unreachable)
            return stop(answer);
        listed.clear();
        removed.clear();
        token.clear();
        full = true;
        answer = m_server.list(url, &listed);
        if (!answer)
            return stop(answer);
    }
    SyncLocal::Scan scan;
    if (!local([&] { return m_local.scan(name, tables, &scan); }, true))
        return false;
    m_states = scan.states;
    m_tables = tables;
    m_seen.clear();
    const int failedBefore = m_failed;
    QSet<QString> present;
    for (const DavItem &item : std::as_const(listed))
        present.insert(item.href);
    if (full) {
        removed.clear();
        for (auto it = scan.states.cbegin(); it != scan.states.cend(); ++it)
            if (!present.contains(it.key()))
                removed << it.key();
    }
    QStringList changed;
    for (const DavItem &item : std::as_const(listed)) {
        const auto state = scan.states.constFind(item.href);
        if (state == scan.states.constEnd() || state->etag.isEmpty() || state->etag != item.etag)
            changed << item.href;
    }
    const auto hereSide = [&](const SyncLocal::State &state) {
        if (!scan.items.contains(state.uid) || scan.tables.value(state.uid) != state.table)
            return Side::Gone;
        return scan.items.value(state.uid) == state.hash ? Side::Same : Side::Changed;
    };

    // What was deleted on the server and is unchanged here is deleted here, unless the
    // collection came back empty or lost more than half its items: then the user is asked first.
    int synced = 0;
    for (const SyncLocal::State &state : std::as_const(scan.states))
        synced += state.table.isEmpty() ? 0 : 1;
    int lost = 0;
    int deletions = 0;
    for (const QString &href : std::as_const(removed)) {
        const auto state = scan.states.constFind(href);
        if (state == scan.states.constEnd() || state->table.isEmpty())
            continue;
        ++lost;
        deletions += hereSide(*state) == Side::Same ? 1 : 0;
    }
    const bool hold = !m_allowDeletions && deletions > 0 && ((full && listed.isEmpty()) || lost * 2 > synced);
    if (hold) {
        m_report.heldDeletions += deletions;
        m_report.heldQuestion =
            QStringLiteral("«%1» ha perdido en el servidor %2 de sus %3 elementos. ¿Se borran también aquí?")
                .arg(nameOf(url))
                .arg(lost)
                .arg(synced);
    }

    QStringList outgoingNew;
    QStringList unchangedThere;
    for (auto it = scan.states.cbegin(); it != scan.states.cend(); ++it)
        if (!it->table.isEmpty() && !changed.contains(it.key()) && !removed.contains(it.key()) &&
            hereSide(*it) != Side::Same)
            unchangedThere << it.key();
    QSet<QString> stated;
    for (const SyncLocal::State &state : std::as_const(scan.states))
        stated.insert(state.uid);
    for (auto it = scan.items.cbegin(); it != scan.items.cend(); ++it)
        if (!stated.contains(it.key()))
            outgoingNew << it.key();
    m_done = 0;
    m_total = int(changed.size() + removed.size() + unchangedThere.size() + outgoingNew.size());

    // The server's changes, fetched a few at a time.
    for (qsizetype from = 0; from < changed.size(); from += FetchBatch) {
        const QStringList hrefs = changed.mid(from, FetchBatch);
        QList<DavItem> items;
        answer = m_server.fetch(url, hrefs, &items);
        if (!answer)
            return stop(answer);
        QSet<QString> fetched;
        for (const DavItem &item : std::as_const(items)) {
            fetched.insert(item.href);
            if (!receive(url, item, 0))
                return false;
            step();
        }
        // Gone between the listing and the fetch.
        for (const QString &href : hrefs)
            if (!fetched.contains(href) && scan.states.contains(href))
                removed << href;
    }

    for (const QString &href : std::as_const(removed)) {
        const auto state = scan.states.constFind(href);
        step();
        if (state == scan.states.constEnd())
            continue;
        const Action action = state->table.isEmpty() ? Action::Forget : SyncMerge::decide(hereSide(*state), Side::Gone);
        if (action == Action::RemoveHere) {
            if (hold)
                continue;
            if (local([&] { return m_local.removeHere(name, *state); }))
                ++m_report.deletedHere;
        } else if (action == Action::SendNew) {
            SyncLocal::Outgoing outgoing;
            if (local([&] { return m_local.outgoing(name, state->table, state->uid, &outgoing); }) &&
                !send(url, outgoing, 0))
                return false;
            local([&] { return m_local.forget(name, href); });
        } else {
            local([&] { return m_local.forget(name, href); });
        }
        if (m_stopped)
            return false;
    }

    for (const QString &href : std::as_const(unchangedThere)) {
        step();
        const SyncLocal::State state = m_states.value(href);
        if (hereSide(state) == Side::Gone) {
            answer = m_server.remove(href, state.etag);
            if (answer || answer.kind == Kind::NotFound) {
                ++m_report.deletedThere;
                local([&] { return m_local.forget(name, href); });
            } else if (answer.kind == Kind::Precondition) {
                if (!refetch(url, href, 0))
                    return false;
            } else if (!carryOn(answer)) {
                return false;
            }
        } else {
            SyncLocal::Outgoing outgoing;
            outgoing.href = href;
            outgoing.etag = state.etag;
            if (local([&] { return m_local.outgoing(name, state.table, state.uid, &outgoing); }) &&
                !send(url, outgoing, 0))
                return false;
        }
        if (m_stopped)
            return false;
    }

    for (const QString &uid : std::as_const(outgoingNew)) {
        step();
        if (m_seen.contains(uid))
            continue;
        SyncLocal::Outgoing outgoing;
        if (local([&] { return m_local.outgoing(name, scan.tables.value(uid), uid, &outgoing); }) &&
            !send(url, outgoing, 0))
            return false;
        if (m_stopped)
            return false;
    }

    // The token is kept only when everything it covers is in step here; otherwise the next pass
    // asks again from the old one.
    if (!hold && m_failed == failedBefore && token != since)
        local([&] { return m_local.saveToken(name, token); });
    return !m_stopped;
}
