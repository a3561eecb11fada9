#pragma once

#include <QObject>

struct AppContext;
class QWidget;

// Keeps the shared inactivity count at 0 while the user types or moves the pointer anywhere over
// a dialog, so the desktop widget does not act on a user who is busy in a modal dialog.
class IdleWatch final : public QObject
{
    Q_OBJECT

public:
    IdleWatch(QWidget &window, AppContext &context);

    // Watches the window and every child it has now (call again after adding children).
    void watchChildren();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &m_window;
    AppContext &m_context;
};
