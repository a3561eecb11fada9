#include "widgets/WindowDrag.h"

#include "widgets/WindowPlacement.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

WindowDrag::WindowDrag(QWidget &window)
    : QObject(&window)
    , m_window(window)
{}

void WindowDrag::begin(QMouseEvent *event)
{
    begin(event, event->globalPosition().toPoint());
}

void WindowDrag::begin(QMouseEvent *event, const QPoint &pressedAt)
{
    if (!(event->buttons() & Qt::LeftButton) || !WindowPlacement::isNormal(m_window))
        return;
    cancel();
    QWindow *handle = m_window.windowHandle();
    if (handle && handle->startSystemMove()) {
        m_mode = Mode::System;
        // The window system holds the pointer until the button is let go; what the program sees
        // next of the pointer (a release, the pointer entering again, a move with no button held)
        // says the drag is over. A move of the window alone says nothing: some window systems
        // report every step, others only the last.
        qApp->installEventFilter(this);
        return;
    }
    m_mode = Mode::Manual;
    m_grabOffset = pressedAt - m_window.frameGeometry().topLeft();
    pointerMoved(event);
}

void WindowDrag::pointerMoved(QMouseEvent *event)
{
    if (m_mode != Mode::Manual)
        return;
    if (!(event->buttons() & Qt::LeftButton)) {
        finish();
        return;
    }
    m_window.move(event->globalPosition().toPoint() - m_grabOffset);
}

void WindowDrag::pointerReleased(QMouseEvent *event)
{
    if (m_mode != Mode::None && event->button() == Qt::LeftButton)
        finish();
}

void WindowDrag::cancel()
{
    if (m_mode == Mode::System)
        qApp->removeEventFilter(this);
    m_mode = Mode::None;
}

void WindowDrag::finish()
{
    if (m_mode == Mode::None)
        return;
    cancel();
    if (!WindowPlacement::isNormal(m_window) || !m_window.isVisible())
        return;
    if (m_keepsOnScreen)
        WindowPlacement::keepOnScreen(m_window);
    emit finished();
}

bool WindowDrag::eventFilter(QObject *watched, QEvent *event)
{
    if (m_mode == Mode::System) {
        switch (event->type()) {
        case QEvent::MouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonRelease:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
                finish();
            break;
        case QEvent::MouseMove:
            if (!(static_cast<QMouseEvent *>(event)->buttons() & Qt::LeftButton))
                finish();
            break;
        case QEvent::Enter:
            if (watched == &m_window && !(QGuiApplication::mouseButtons() & Qt::LeftButton))
                finish();
            break;
        case QEvent::WindowStateChange:
            if (watched == &m_window)
                cancel();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
