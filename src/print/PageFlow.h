#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QPointF>
#include <QString>

class QPaintDevice;
class QPainter;

// One printed line: a text already broken to the width it is printed in, and a short text
// before it in the margin (an entry's time and mark, a task's box), both on one baseline.
struct PrintedLine
{
    QString prefix;
    QString text;
    QFont font;
    QColor colour;
    qreal indent = 0; // where text starts; the prefix stands at 0
    qreal height = 0;
    qreal ascent = 0;
};

// Text laid out on paper. Texts are broken into lines with the measures of the device they are
// printed on; blocks of lines flow down the pages, a block kept whole on one page when asked and
// when it fits on one. No line is ever dropped: what does not fit goes on to the next page.
class PageFlow final
{
public:
    explicit PageFlow(QPaintDevice &device);

    // Device units of a length in points or millimetres.
    qreal points(qreal pt) const;
    qreal millimetres(qreal mm) const;
    // The width of text in font on the device.
    qreal advance(const QFont &font, const QString &text) const;

    // Breaks text (keeping its own line breaks) into lines at most width wide, the first one
    // with prefix before it, every one starting at indent.
    QList<PrintedLine> wrap(const QString &text, const QFont &font, const QColor &colour, qreal width, qreal indent = 0,
                            const QString &prefix = {}) const;
    static qreal height(const QList<PrintedLine> &lines);
    static void paintLines(QPainter &painter, const QList<PrintedLine> &lines, QPointF topLeft);

    // Adds a block to the flow and returns its index.
    int addBlock(const QList<PrintedLine> &lines, bool keepTogether, qreal spaceBefore = 0);
    // Lays the blocks out on pages pageHeight high, starting firstTop down the first page.
    // Returns the number of pages the flow reaches (at least one).
    int layout(qreal pageHeight, qreal firstTop = 0);
    // The page (from 0) on which a block begins, once laid out.
    int pageOf(int block) const { return m_blockPage.value(block); }
    // Paints what the flow holds on page, the page's body starting at topLeft.
    void paintPage(QPainter &painter, int page, QPointF topLeft) const;

private:
    struct Block
    {
        QList<PrintedLine> lines;
        bool keepTogether = false;
        qreal spaceBefore = 0;
    };
    struct Placed
    {
        int block;
        int line;
        int page;
        qreal y;
    };

    QPaintDevice &m_device;
    QList<Block> m_blocks;
    QList<Placed> m_placed;
    QList<int> m_blockPage;
};
