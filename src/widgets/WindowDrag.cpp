#include "widgets/WindowDrag.h"

#include "widgets/WindowPlacement.h"
#include "widgets/x11/X11.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

WindowDrag::WindowDrag(QWidget &window)
    : QObject(&window)
    , m_window(window)
{
    m_buttonWatch.setInterval(50);
    connect(&m_buttonWatch, &QTimer::timeout, this, [this] {
        if (X11::leftButtonHeld().value_or(true))
            return;
        // Let go: the window system reports the window's last place right after, and that is
        // the place to keep.
        m_buttonWatch.stop();
        QTimer::singleShot(SettleMs, this, [this] {
            if (m_mode == Mode::System)
                finish();
        });
    });
}

void WindowDrag::begin(QMouseEvent *event)
{
    begin(event, event->globalPosition().toPoint());
}

void WindowDrag::begin(QMouseEvent *event, const QPoint &pressedAt)
{
    if (!(event->buttons() & Qt::LeftButton) || !WindowPlacement::isNormal(m_window))
        return;
    cancel();
    m_grabOffset = pressedAt - m_window.frameGeometry().topLeft();
    QWindow *handle = m_window.windowHandle();
    if (handle && handle->startSystemMove()) {
        m_mode = Mode::System;
        // The window system holds the pointer until the button is let go, and reports the
        // window's moves as it pleases (every step, or only the last). Where the X server can be
        // asked, the button itself says when the drag is over; elsewhere what the program sees
        // next of the pointer (a release, the pointer entering again, a move with no button held).
        if (X11::leftButtonHeld().has_value())
            m_buttonWatch.start();
        else
            qApp->installEventFilter(this);
        return;
    }
    m_mode = Mode::Manual;
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
    m_buttonWatch.stop();
    m_mode = Mode::None;
}

void WindowDrag::finish()
{
    if (m_mode == Mode::None)
        return;
    const bool carried = m_mode == Mode::System;
    cancel();
    // The window followed the pointer, held where it was grabbed: that is where it stands now,
    // whether or not the window system has told the program yet.
    if (carried && WindowPlacement::isNormal(m_window)) {
        const QPoint place = QCursor::pos() - m_grabOffset;
        if (place != m_window.pos())
            m_window.move(place);
    }
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
