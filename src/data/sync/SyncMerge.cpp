#include "SyncMerge.h"

#include <QCryptographicHash>
#include <algorithm>
#include <optional>

namespace {

// The kept text as a set of unfolded lines. A task's bare STATUS lines say no more than its done
// mark, which is compared as a field, and are written from it when the task kept none.
QByteArray canonical(const QByteArray &kept)
{
    QByteArray text = kept;
    text.replace("\r\n ", "").replace("\r\n\t", "");
    QList<QByteArray> lines = text.split('\n');
    for (QByteArray &line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    lines.removeIf([](const QByteArray &line) {
        return line.isEmpty() || line == "STATUS:NEEDS-ACTION" || line == "STATUS:COMPLETED";
    });
    std::sort(lines.begin(), lines.end());
    return lines.join('\n');
}

std::optional<SyncPart> find(const SyncParts &parts, const QString &key)
{
    const auto found = parts.find(key);
    return found == parts.end() ? std::nullopt : std::optional<SyncPart>(found->second);
}

} // namespace

bool SyncPart::operator==(const SyncPart &other) const
{
    return fields == other.fields && canonical(kept) == canonical(other.kept);
}

namespace SyncMerge {

Action decide(Side here, Side there)
{
    switch (here) {
    case Side::Same:
        return there == Side::Same ? Action::Nothing : there == Side::Changed ? Action::Receive : Action::RemoveHere;
    case Side::Changed:
        return there == Side::Same ? Action::Send : there == Side::Changed ? Action::Merge : Action::SendNew;
    case Side::Gone:
        // An edit beats a deletion.
        return there == Side::Same ? Action::RemoveThere : there == Side::Changed ? Action::Receive : Action::Forget;
    }
    return Action::Nothing;
}

Merged merge(const SyncParts &base, const SyncParts &here, const SyncParts &there)
{
    Merged merged;
    std::map<QString, bool> keys;
    for (const SyncParts *parts : {&base, &here, &there})
        for (const auto &[key, part] : *parts)
            keys.emplace(key, true);
    for (const auto &[key, unused] : keys) {
        const std::optional<SyncPart> b = find(base, key);
        const std::optional<SyncPart> h = find(here, key);
        const std::optional<SyncPart> t = find(there, key);
        std::optional<SyncPart> result;
        if (h == b)
            result = t;
        else if (t == b || h == t || !t)
            result = h;
        else if (!h)
            result = t;
        else {
            // Changed on both sides: field by field, from the server's version.
            result = t;
            bool conflict = false;
            const qsizetype count = std::max({h->fields.size(), t->fields.size()});
            for (qsizetype i = 0; i < count; ++i) {
                const QString was = b ? b->fields.value(i) : QString();
                const QString mine = h->fields.value(i);
                const QString theirs = t->fields.value(i);
                if (theirs == was && i < result->fields.size())
                    result->fields[i] = mine;
                else if (mine != was && mine != theirs)
                    conflict = true;
            }
            const SyncPart keptWas{{}, b ? b->kept : QByteArray()};
            const SyncPart keptMine{{}, h->kept};
            const SyncPart keptTheirs{{}, t->kept};
            if (keptTheirs == keptWas)
                result->kept = h->kept;
            else if (!(keptMine == keptWas) && !(keptMine == keptTheirs))
                conflict = true;
            if (conflict)
                merged.conflicts.emplace(key, *h);
        }
        if (result)
            merged.parts.emplace(key, *result);
    }
    return merged;
}

QByteArray hash(const SyncParts &parts)
{
    QCryptographicHash sha(QCryptographicHash::Sha1);
    for (const auto &[key, part] : parts) {
        sha.addData(key.toUtf8());
        sha.addData("\x1e");
        sha.addData(part.fields.join(QChar(0x1F)).toUtf8());
        sha.addData("\x1e");
        sha.addData(canonical(part.kept));
        sha.addData("\x1d");
    }
    return sha.result().toHex();
}

} // namespace SyncMerge
