#pragma once

#include "KeptLines.h"

#include <QHash>
#include <QImage>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <optional>

// Draws an Entry line as the user should see it: time, mark and short text, on a faint ruled
// line; the filler and the entry's number stay out of sight at any width.
//
// The text of a line is laid out once, for its width and type, and kept: a repaint (the list's
// focus, a refresh of the same week) draws the glyphs already shaped, where the style would lay
// the text out twice at every paint. It is drawn where and as the style draws it. The lines of a
// week about to be shown (the next one) can be laid out ahead, while the program waits for the
// user, as the list will paint them, and the lines the list will show first are drawn ahead, each
// into a picture of its own, so that showing that week copies its lines onto the screen. So are
// the lines a start shows first, kept from the start before (KeptLines).
class EntryLineDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Lays out lines (as the list holds them) that list would paint and are not laid out yet, and
    // measures the one the list would measure. Those the list will show first, from its top, are
    // also drawn as it will paint them on background, the colour its lines will stand on then.
    void shapeAhead(const QWidget &list, const QStringList &lines, const QColor &background) const;
    // How many line texts have been laid out so far.
    int linesShaped() const { return m_linesShaped; }
    // How many lines have been painted from their drawing made ahead so far.
    int linesDrawnAhead() const { return m_linesDrawnAhead; }

    // The lines kept from the last start, which the first pictures copy where they fit.
    void setKeptLines(KeptLines *kept) { m_kept = kept; }
    // The lines (as the list holds them) the list shows from its top, of the height it gives its
    // lines, as the next start will paint them (the list with the focus or without, on
    // background), each under the key it will look for, with a probe line; drawn when asked.
    QList<KeptLines::Line> linesToKeep(const QWidget &list, const QStringList &lines, const QColor &background,
                                       int height, bool focused, bool draw) const;
    // How many lines have been painted from the lines kept so far.
    int linesFromKept() const { return m_linesFromKept; }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    // A line drawn ahead stands in for painting it where everything its pixels depend on is the
    // same: its text, font, size, state, features, alignment, style and palette, the background
    // it stands on and the format of the pixels it is painted into.
    struct DrawnKey
    {
        QString text;
        QString font;
        int width = 0;
        int height = 0;
        int state = 0;
        int features = 0;
        int alignment = 0;
        const void *style = nullptr;
        qint64 palette = 0;
        int colourGroup = 0;
        QRgb background = 0;
        int format = 0;
        friend bool operator==(const DrawnKey &, const DrawnKey &) = default;
        friend size_t qHash(const DrawnKey &key, size_t seed = 0)
        {
            return qHashMulti(seed, key.text, key.font, key.width, key.height, key.state, key.features, key.alignment,
                              key.style, key.palette, key.colourGroup, key.background, key.format);
        }
    };
    // What the list's line looks like before its own text, and how many the list shows.
    struct Plain
    {
        QStyleOptionViewItem line;
        QImage::Format format = QImage::Format_Invalid;
        qsizetype shown = 0;
    };
    std::optional<Plain> plainLine(const QWidget &list, const QColor &background, int height,
                                   bool focused = false) const;
    // A line drawn alone, its rectangle's pixels on background.
    QImage drawn(const QStyleOptionViewItem &line, const QColor &background, QImage::Format format) const;
    // Whether the lines kept for this kind of line are drawn as they are drawn now.
    bool keptTrusted(QStyleOptionViewItem probe, const QColor &background, QImage::Format format) const;
    QString keptKey(const QStyleOptionViewItem &line, const QColor &background, QImage::Format format) const;
    static QColor penColour(const QStyleOptionViewItem &line);
    // Letters of the lines' font, accents, digits and signs: drawn the same, the font and its
    // settings are the same.
    static constexpr const char *ProbeText = "09:00+Ñandú ¿Qué? Ángel, 1234567 gjpqy";

    // Draws the lines the list will show first, each into an image of its own, of the height
    // the list gives its lines.
    void drawAhead(const QWidget &list, const QStringList &lines, const QColor &background, int height) const;
    // Paints a line whose options are complete (its width the width the list shows).
    void drawLine(QPainter *painter, QStyleOptionViewItem line) const;
    // The format of the pixels painter paints into, where a line drawn ahead can be copied there
    // pixel for pixel onto its list's own plain background; nothing otherwise.
    static std::optional<QImage::Format> copyableInto(const QPainter *painter, const QStyleOptionViewItem &line,
                                                      QColor *background);
    DrawnKey drawnKey(const QStyleOptionViewItem &line, const QColor &background, QImage::Format format) const;

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
    // The lines drawn ahead, each taken away as it is painted: the drawings of one week at most.
    mutable QHash<DrawnKey, QImage> m_drawnAhead;
    mutable int m_linesDrawnAhead = 0;
    KeptLines *m_kept = nullptr;
    mutable int m_linesFromKept = 0;
};
