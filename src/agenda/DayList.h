#pragma once

#include <QListWidget>

// A day panel's list of Entry lines, which tells how it paints a plain line of its own, and paints
// its lines again for its window's activation only where they look different in an active window.
class DayList final : public QListWidget
{
    Q_OBJECT

public:
    using QListWidget::QListWidget;

    // The options the list paints a line with, before its delegate adds the line's own: a line
    // neither chosen, nor current, nor under the pointer, while the list has the keyboard focus in
    // an active window, or has it not.
    QStyleOptionViewItem plainLineOption(bool focused = false) const;

protected:
    bool viewportEvent(QEvent *event) override;
};
