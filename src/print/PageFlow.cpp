#include "PageFlow.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

PageFlow::PageFlow(QPaintDevice &device)
    : m_device(device)
{}

qreal PageFlow::points(qreal pt) const
{
    return pt * m_device.logicalDpiY() / 72.0;
}

qreal PageFlow::millimetres(qreal mm) const
{
    return mm * m_device.logicalDpiY() / 25.4;
}

qreal PageFlow::advance(const QFont &font, const QString &text) const
{
    return QFontMetricsF(font, &m_device).horizontalAdvance(text);
}

QList<PrintedLine> PageFlow::wrap(const QString &text, const QFont &font, const QColor &colour, qreal width,
                                  qreal indent, const QString &prefix) const
{
    const QFontMetricsF metrics(font, &m_device);
    QList<PrintedLine> lines;
    const auto add = [&](const QString &part) {
        PrintedLine line;
        line.prefix = lines.isEmpty() ? prefix : QString();
        line.text = part;
        line.font = font;
        line.colour = colour;
        line.indent = indent;
        line.height = metrics.lineSpacing();
        line.ascent = metrics.ascent();
        lines << line;
    };
    const QStringList paragraphs = QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(u'\n');
    for (const QString &paragraph : paragraphs) {
        if (paragraph.isEmpty()) {
            add({});
            continue;
        }
        QTextLayout layout(paragraph, font, &m_device);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(std::max<qreal>(width - indent, metrics.maxWidth()));
            add(paragraph.mid(line.textStart(), line.textLength()).trimmed());
        }
        layout.endLayout();
    }
    return lines;
}

qreal PageFlow::height(const QList<PrintedLine> &lines)
{
    qreal total = 0;
    for (const PrintedLine &line : lines)
        total += line.height;
    return total;
}

void PageFlow::paintLines(QPainter &painter, const QList<PrintedLine> &lines, QPointF topLeft)
{
    qreal y = topLeft.y();
    for (const PrintedLine &line : lines) {
        painter.setFont(line.font);
        painter.setPen(line.colour);
        if (!line.prefix.isEmpty())
            painter.drawText(QPointF(topLeft.x(), y + line.ascent), line.prefix);
        if (!line.text.isEmpty())
            painter.drawText(QPointF(topLeft.x() + line.indent, y + line.ascent), line.text);
        y += line.height;
    }
}

int PageFlow::addBlock(const QList<PrintedLine> &lines, bool keepTogether, qreal spaceBefore)
{
    m_blocks.append({lines, keepTogether, spaceBefore});
    return int(m_blocks.size()) - 1;
}

int PageFlow::layout(qreal pageHeight, qreal firstTop)
{
    m_placed.clear();
    m_blockPage.clear();
    int page = 0;
    qreal y = firstTop;
    for (int b = 0; b < m_blocks.size(); ++b) {
        const Block &block = m_blocks[b];
        const qreal whole = height(block.lines);
        // Space before a block is left out at the top of a page.
        const qreal space = y > 0 ? block.spaceBefore : 0;
        if (y > 0 &&
            ((block.keepTogether && whole <= pageHeight && y + space + whole > pageHeight) ||
             y + space + (block.lines.isEmpty() ? 0 : block.lines.first().height) > pageHeight)) {
            ++page;
            y = 0;
        } else {
            y += space;
        }
        m_blockPage << page;
        for (int l = 0; l < block.lines.size(); ++l) {
            const qreal lineHeight = block.lines[l].height;
            if (y > 0 && y + lineHeight > pageHeight) {
                ++page;
                y = 0;
            }
            m_placed.append({b, l, page, y});
            y += lineHeight;
        }
    }
    return page + 1;
}

void PageFlow::paintPage(QPainter &painter, int page, QPointF topLeft) const
{
    for (const Placed &placed : m_placed)
        if (placed.page == page)
            paintLines(painter, {m_blocks[placed.block].lines[placed.line]}, topLeft + QPointF(0, placed.y));
}
