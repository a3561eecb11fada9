#include "widgets/ActivityWatch.h"

#include "data/AppContext.h"

#include <QCoreApplication>
#include <QEvent>

ActivityWatch::ActivityWatch(AppContext &context, QObject *parent)
    : QObject(parent)
    , m_context(context)
{
    QCoreApplication::instance()->installEventFilter(this);
}

ActivityWatch::~ActivityWatch()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool ActivityWatch::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel:
    case QEvent::HoverMove:
        m_context.IdleCount = 0;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
