#pragma once

#include <QListWidget>

// A day panel's list of Entry lines, which tells how it paints a plain line of its own.
class DayList final : public QListWidget
{
    Q_OBJECT

public:
    using QListWidget::QListWidget;

    // The options the list paints a line with, before its delegate adds the line's own: a line
    // neither chosen nor under the pointer, while the list does not have the keyboard focus.
    QStyleOptionViewItem plainLineOption() const;
};
