#pragma once

#include <QObject>
#include <QString>

// The desktop's keyring, where the sync account's password is kept. Every call answers later,
// through its signal; a desktop without a keyring answers with an error at once.
class Keyring : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void read(const QString &account) = 0;
    virtual void write(const QString &account, const QString &password) = 0;
    virtual void remove(const QString &account) = 0;

signals:
    // found: a password was kept for the account; error: the keyring did not answer, in the
    // user's words (empty when it did).
    void readDone(const QString &account, bool found, const QString &password, const QString &error);
    void writeDone(const QString &account, const QString &error);
};
