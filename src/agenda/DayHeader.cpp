#include "DayHeader.h"

#include "widgets/PixelCopy.h"

#include <QImage>
#include <QPainter>
#include <QTextOption>
#include <algorithm>

QRect DayHeader::textArea() const
{
    return contentsRect().adjusted(margin(), margin(), -margin(), -margin());
}

bool DayHeader::fits(const Laid &laid, const QString &caption) const
{
    return laid.layout && laid.text == caption && laid.font == font() && laid.width == textArea().width();
}

DayHeader::Laid DayHeader::layOut(const QString &caption) const
{
    Laid laid{caption, font(), textArea().width(), std::make_unique<QTextLayout>(caption, font()), {}, {}, {}};
    QTextOption option(alignment());
    option.setWrapMode(QTextOption::ManualWrap);
    laid.layout->setTextOption(option);
    laid.layout->beginLayout();
    QTextLine line = laid.layout->createLine();
    if (line.isValid())
        line.setLineWidth(laid.width);
    laid.layout->endLayout();
    return laid;
}

void DayHeader::setText(const QString &caption)
{
    // The label makes its document when its text changes while the keyboard can reach it.
    const Qt::FocusPolicy policy = focusPolicy();
    setFocusPolicy(Qt::NoFocus);
    ClickLabel::setText(caption);
    setFocusPolicy(policy);
}

void DayHeader::prepare(const QString &caption, const QColor &background)
{
    if (fits(m_shown, caption) || fits(m_prepared, caption))
        return;
    m_prepared = layOut(caption);
    // Drawn in the window's pixels on the panel's colour, or else only for its letters to be drawn.
    const std::optional<QImage::Format> format = PixelCopy::windowFormat(*this);
    const bool copyable = format && background.isValid() && background.alpha() == 255;
    QImage drawn(size().expandedTo(QSize(1, 1)), copyable ? *format : QImage::Format_ARGB32_Premultiplied);
    drawn.fill(copyable ? background : QColor(Qt::transparent));
    QPainter painter(&drawn);
    drawCaption(painter, m_prepared);
    painter.end();
    if (copyable) {
        m_prepared.drawn = drawn;
        m_prepared.background = background;
        m_prepared.pen = pen();
    }
}

QColor DayHeader::pen() const
{
    return palette().color(isEnabled() ? foregroundRole() : QPalette::Text);
}

QColor DayHeader::panelColour() const
{
    const QWidget *panel = parentWidget();
    if (autoFillBackground() || !panel || !panel->autoFillBackground())
        return {};
    const QBrush &brush = panel->palette().brush(panel->backgroundRole());
    return brush.style() == Qt::SolidPattern && brush.isOpaque() ? brush.color() : QColor();
}

void DayHeader::drawCaption(QPainter &painter, const Laid &laid) const
{
    if (laid.layout->lineCount() == 0)
        return;
    // As the label places its document: the line's height centred in the header, from the whole
    // pixel above.
    const QRect area = textArea();
    const qreal height = laid.layout->lineAt(0).height();
    qreal top = 0;
    if (alignment() & Qt::AlignVCenter)
        top = std::max((area.height() - height) / 2, qreal(0));
    else if (alignment() & Qt::AlignBottom)
        top = std::max(area.height() - height, qreal(0));
    const QRect placed = QRectF(area.x(), area.y() + top, area.width(), area.height()).toAlignedRect();
    painter.save();
    painter.translate(placed.topLeft());
    painter.setClipRect(QRect(QPoint(0, 0), placed.size()));
    painter.setPen(pen());
    laid.layout->draw(&painter, QPointF(0, 0));
    painter.restore();
}

void DayHeader::paintEvent(QPaintEvent *)
{
    const QString caption = text();
    if (!fits(m_shown, caption))
        m_shown = fits(m_prepared, caption) ? std::exchange(m_prepared, {}) : layOut(caption);
    QPainter painter(this);
    // Drawn ahead on the colour the panel has now, in the pixels' format, at the header's size: the
    // very pixels painting gives.
    const QImage &drawn = m_shown.drawn;
    if (!drawn.isNull() && drawn.size() == size() && m_shown.background == panelColour() && m_shown.pen == pen() &&
        PixelCopy::targetFormat(painter) == drawn.format())
        painter.drawImage(0, 0, drawn);
    else
        drawCaption(painter, m_shown);
}
