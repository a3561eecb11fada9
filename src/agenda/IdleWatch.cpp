#include "IdleWatch.h"

#include "data/AppContext.h"

#include <QEvent>
#include <QWidget>

IdleWatch::IdleWatch(QWidget &window, AppContext &context)
    : QObject(&window)
    , m_window(window)
    , m_context(context)
{
    watchChildren();
}

void IdleWatch::watchChildren()
{
    m_window.setMouseTracking(true);
    m_window.installEventFilter(this);
    const QList<QWidget *> children = m_window.findChildren<QWidget *>();
    for (QWidget *child : children) {
        child->setMouseTracking(true);
        child->installEventFilter(this); // installing twice keeps one filter
    }
}

bool IdleWatch::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
        m_context.IdleCount = 0;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
