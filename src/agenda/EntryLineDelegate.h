#pragma once

#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

// Draws an Entry line as the user should see it: time, mark and short text, on a faint ruled
// line; the filler and the entry's number stay out of sight at any width.
//
// The text of a line is laid out once, for its width and type, and kept: a repaint (the list's
// focus, a refresh of the same week) draws the glyphs already shaped, where the style would lay
// the text out twice at every paint. It is drawn where and as the style draws it.
class EntryLineDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    // The line's text as the style would show it in width: elided, laid out once.
    const QStaticText &shapedText(const QString &text, const QFont &font, int width) const;

    mutable QHash<QString, QStaticText> m_shaped;
};
