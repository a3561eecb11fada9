#include "DBusNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");

// Why the service closed a notice: the user dismissed it.
constexpr uint DismissedByUser = 2;

} // namespace

DBusNotifier::DBusNotifier(QString icon, Connect bus, QObject *parent)
    : Notifier(parent)
    , m_icon(std::move(icon))
    , m_connect(std::move(bus))
{}

QDBusConnection &DBusNotifier::bus()
{
    if (!m_bus) {
        m_bus = m_connect();
        m_bus->connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), this,
                       SLOT(onActionInvoked(uint, QString)));
        m_bus->connect(Service, Path, Interface, QStringLiteral("NotificationClosed"), this,
                       SLOT(onNotificationClosed(uint, uint)));
    }
    return *m_bus;
}

DBusNotifier::~DBusNotifier()
{
    for (const uint id : std::as_const(m_ids))
        close(id);
}

void DBusNotifier::post(const QString &name, const QString &summary, const QString &body)
{
    if (m_posted.contains(name) || !bus().isConnected())
        return;
    m_posted.insert(name);
    QDBusMessage notify = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    const QStringList actions{QLatin1String(SnoozeAction), QStringLiteral("Posponer"), QLatin1String(OpenAction),
                              QStringLiteral("Abrir")};
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral(QUILLOMAR_APP_ID));
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(1)));
    // An alarm stays on the desktop until the user deals with it, as in the alarm window.
    notify << QStringLiteral("Quillomar") << uint(0) << m_icon << summary << body << actions << hints << int(0);
    auto *watcher = new QDBusPendingCallWatcher(bus().asyncCall(notify), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, name](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const QDBusPendingReply<uint> reply = *call;
        if (reply.isError())
            return;
        if (m_withdrawn.remove(name))
            close(reply.value());
        else
            m_ids.insert(name, reply.value());
    });
}

void DBusNotifier::withdraw(const QString &name)
{
    if (const auto shown = m_ids.constFind(name); shown != m_ids.cend()) {
        close(*shown);
        m_ids.erase(shown);
    } else if (m_posted.contains(name)) {
        m_withdrawn.insert(name);
    }
}

void DBusNotifier::close(uint id)
{
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("CloseNotification"));
    call << id;
    bus().asyncCall(call);
}

void DBusNotifier::onActionInvoked(uint id, const QString &action)
{
    // The signal goes to every program on the bus: only this one's notices count.
    if (const QString name = m_ids.key(id); !name.isEmpty())
        emit actionInvoked(name, action);
}

void DBusNotifier::onNotificationClosed(uint id, uint reason)
{
    const QString name = m_ids.key(id);
    if (name.isEmpty())
        return;
    m_ids.remove(name);
    if (reason == DismissedByUser)
        emit dismissed(name);
}
