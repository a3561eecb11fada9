#pragma once

#include <QString>

// What a write to the agenda came to: done (with the key of the row written), refused by a rule
// of the diary (why, in the user's words, ready for a message), or failed on the way to the file
// (why, as the store tells it: a full disk, a damaged or read-only file).
class StoreResult final
{
public:
    enum class Status { Ok, Refused, Failed };

    static StoreResult ok(qint64 key = -1) { return StoreResult(Status::Ok, {}, key); }
    static StoreResult refused(const QString &why) { return StoreResult(Status::Refused, why, -1); }
    static StoreResult failed(const QString &why) { return StoreResult(Status::Failed, why, -1); }

    Status status() const { return m_status; }
    bool isOk() const { return m_status == Status::Ok; }
    explicit operator bool() const { return isOk(); }
    QString why() const { return m_why; }
    // The key of the row written (numero for an entry, the row id elsewhere); -1 when none.
    qint64 key() const { return m_key; }

private:
    StoreResult(Status status, QString why, qint64 key)
        : m_status(status)
        , m_why(std::move(why))
        , m_key(key)
    {}

    Status m_status;
    QString m_why;
    qint64 m_key;
};
