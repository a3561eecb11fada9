#include "DayList.h"

#include <QEvent>

QStyleOptionViewItem DayList::plainLineOption(bool focused) const
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    // An item view shows itself active only while it has the focus, whatever its window.
    option.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver | QStyle::State_Active);
    if (focused)
        option.state |= QStyle::State_Active;
    if (option.state & QStyle::State_Enabled)
        option.palette.setCurrentColorGroup(QPalette::Normal);
    return option;
}

bool DayList::viewportEvent(QEvent *event)
{
    // An item view paints all its lines again when its window is activated or deactivated, for
    // colours that may differ between the two. Where its colours are the same, only what follows
    // the focus changes, and the focus events paint that.
    if ((event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate) &&
        palette().isEqual(QPalette::Active, QPalette::Inactive))
        return false;
    return QListWidget::viewportEvent(event);
}
