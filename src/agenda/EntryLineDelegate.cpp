#include "EntryLineDelegate.h"

#include "data/EntryLine.h"

#include <QPainter>

void EntryLineDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->text = EntryLine::Visible(option->text);
    option->textElideMode = Qt::ElideRight;
}

void EntryLineDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem line = option;
    // The line takes the list's whole width, however short its text.
    if (option.widget)
        line.rect.setRight(std::max(option.rect.right(), option.widget->width() - 1));
    QStyledItemDelegate::paint(painter, line, index);
    painter->save();
    painter->setPen(QColor(176, 196, 222, 150));
    painter->drawLine(line.rect.bottomLeft(), line.rect.bottomRight());
    painter->restore();
}

QSize EntryLineDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem visible = option;
    initStyleOption(&visible, index);
    return QStyledItemDelegate::sizeHint(visible, index);
}
