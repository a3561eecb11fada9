#pragma once

#include "data/Notifier.h"

#include <QDBusConnection>
#include <QHash>
#include <QSet>
#include <functional>
#include <optional>

// The desktop's notifications through the freedesktop notification service on the session bus.
// Every call is made without waiting, so a desktop whose service is missing or slow to start
// never holds the program up: the notice is then simply not shown. The bus is reached at the
// first notice, not when the program starts: most sessions never ring an alarm.
class DBusNotifier final : public Notifier
{
    Q_OBJECT

public:
    using Connect = std::function<QDBusConnection()>;

    // icon is the program's icon name as installed; bus gives the session bus but in tests.
    explicit DBusNotifier(QString icon, Connect bus = &QDBusConnection::sessionBus, QObject *parent = nullptr);
    // The notices still shown go with the program: nobody is left to act on them.
    ~DBusNotifier() override;

    void post(const QString &name, const QString &summary, const QString &body) override;
    void withdraw(const QString &name) override;

private slots:
    void onActionInvoked(uint id, const QString &action);
    void onNotificationClosed(uint id, uint reason);

private:
    void close(uint id);
    // The bus, connected and listening to the service's signals from the first call on.
    QDBusConnection &bus();

    QString m_icon;
    Connect m_connect;
    std::optional<QDBusConnection> m_bus;
    QHash<QString, uint> m_ids; // the notices shown, by name
    QSet<QString> m_posted; // every name ever posted, shown or not
    QSet<QString> m_withdrawn; // withdrawn before the service told their id
};
