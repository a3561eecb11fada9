#pragma once

#include "data/Keyring.h"

#include <QHash>
#include <QMetaObject>

// A keyring held in memory that answers a moment later, as the desktop's does; with failure set
// it answers every call with that error, as a desktop without a keyring does.
class FakeKeyring final : public Keyring
{
    Q_OBJECT

public:
    using Keyring::Keyring;

    void read(const QString &account) override
    {
        later([this, account] {
            emit readDone(account, failure.isEmpty() && kept.contains(account), kept.value(account), failure);
        });
    }
    void write(const QString &account, const QString &password) override
    {
        later([this, account, password] {
            if (failure.isEmpty())
                kept.insert(account, password);
            emit writeDone(account, failure);
        });
    }
    void remove(const QString &account) override { kept.remove(account); }

    QHash<QString, QString> kept;
    QString failure;

private:
    template <typename Work> void later(Work work) { QMetaObject::invokeMethod(this, work, Qt::QueuedConnection); }
};
