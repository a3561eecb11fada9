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
    // neither chosen nor under the pointer, while the list does not have the keyboard focus.
    QStyleOptionViewItem plainLineOption() const;

protected:
    bool viewportEvent(QEvent *event) override;
};
