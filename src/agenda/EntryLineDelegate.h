#pragma once

#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

// Draws an Entry line as the user should see it: time, mark and short text, on a faint ruled
// line; the filler and the entry's number stay out of sight at any width.
//
// The text of a line is laid out once, for its width and type, and kept: a repaint (the list's
// focus, a refresh of the same week) draws the glyphs already shaped, where the style would lay
// the text out twice at every paint. It is drawn where and as the style draws it. The lines of a
// week about to be shown (the next one) can be laid out ahead, while the program waits for the
// user, as the list will paint them.
class EntryLineDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Lays out lines (as the list holds them) that list would paint and are not laid out yet, and
    // measures the one the list would measure.
    void shapeAhead(const QWidget &list, const QStringList &lines) const;
    // How many line texts have been laid out so far.
    int linesShaped() const { return m_linesShaped; }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    // The right edge of a line as its list shows it (short of the scroll bar), in the list's
    // viewport.
    static int shownRight(const QWidget *list, int lineRight);
    // A line's text is drawn in this width of its list's, less a margin on each side.
    static int textMargin(const QWidget *list);
    // The line's text as the style would show it in width: elided, laid out once.
    const QStaticText &shapedText(const QString &text, const QFont &font, int width) const;

    // The lines laid out lately, and those of the generation before (dropped the next time the
    // recent ones are many), so that the week on show and the one ahead both stay.
    mutable QHash<QString, QStaticText> m_shaped;
    mutable QHash<QString, QStaticText> m_older;
    mutable int m_linesShaped = 0;
    QString sizeKey(const QStyleOptionViewItem &line) const;
    const QString &fontKey(const QFont &font) const;
    mutable QFont m_keyedFont;
    mutable QString m_fontKey;
    // The sizes of the lines measured lately.
    mutable QHash<QString, QSize> m_sizes;
};
