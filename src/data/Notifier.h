#pragma once

#include <QObject>
#include <QString>

// Where the desktop shows its notifications. An alarm is shown there besides ringing in the alarm
// window, with two actions the user may take from it. Each notice is known by a name of the
// caller's; a desktop without a notification service shows nothing, and nothing else changes.
class Notifier : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // The actions every notice offers, as the desktop reports them back.
    static constexpr char SnoozeAction[] = "posponer";
    static constexpr char OpenAction[] = "abrir";

    // Shows a notice with the actions "Posponer" and "Abrir"; a name already shown is not shown again.
    virtual void post(const QString &name, const QString &summary, const QString &body) = 0;
    // Takes the notice away, when it is still shown.
    virtual void withdraw(const QString &name) = 0;

signals:
    void actionInvoked(const QString &name, const QString &action);
    // The user closed the notice without taking an action (not when it expired).
    void dismissed(const QString &name);
};
