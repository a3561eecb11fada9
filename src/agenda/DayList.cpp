#include "DayList.h"

QStyleOptionViewItem DayList::plainLineOption() const
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    // An item view shows itself active only while it has the focus, whatever its window.
    option.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver | QStyle::State_Active);
    if (option.state & QStyle::State_Enabled)
        option.palette.setCurrentColorGroup(QPalette::Normal);
    return option;
}
