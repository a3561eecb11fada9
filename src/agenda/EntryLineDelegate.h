#pragma once

#include <QStyledItemDelegate>

// Draws an Entry line as the user should see it: time, mark and short text, on a faint ruled
// line; the filler and the entry's number stay out of sight at any width.
class EntryLineDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
