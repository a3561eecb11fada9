#pragma once

#include "data/Notifier.h"

#include <QDBusConnection>
#include <QHash>
#include <QSet>

// The desktop's notifications through the freedesktop notification service on the session bus.
// Every call is made without waiting, so a desktop whose service is missing or slow to start
// never holds the program up: the notice is then simply not shown.
class DBusNotifier final : public Notifier
{
    Q_OBJECT

public:
    // icon is the program's icon name as installed; bus is the session bus but in tests.
    explicit DBusNotifier(QString icon, const QDBusConnection &bus = QDBusConnection::sessionBus(),
                          QObject *parent = nullptr);
    // The notices still shown go with the program: nobody is left to act on them.
    ~DBusNotifier() override;

    void post(const QString &name, const QString &summary, const QString &body) override;
    void withdraw(const QString &name) override;

private slots:
    void onActionInvoked(uint id, const QString &action);
    void onNotificationClosed(uint id, uint reason);

private:
    void close(uint id);

    QString m_icon;
    QDBusConnection m_bus;
    QHash<QString, uint> m_ids; // the notices shown, by name
    QSet<QString> m_posted; // every name ever posted, shown or not
    QSet<QString> m_withdrawn; // withdrawn before the service told their id
};
