#include "DayHeader.h"

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
    Laid laid{caption, font(), textArea().width(), std::make_unique<QTextLayout>(caption, font())};
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

void DayHeader::prepare(const QString &caption)
{
    if (fits(m_shown, caption) || fits(m_prepared, caption))
        return;
    m_prepared = layOut(caption);
    QImage scratch(std::max(1, m_prepared.width), std::max(1, height()), QImage::Format_ARGB32_Premultiplied);
    scratch.fill(Qt::transparent);
    QPainter painter(&scratch);
    painter.setPen(palette().color(foregroundRole()));
    m_prepared.layout->draw(&painter, QPointF(0, 0));
}

void DayHeader::paintEvent(QPaintEvent *)
{
    const QString caption = text();
    if (!fits(m_shown, caption))
        m_shown = fits(m_prepared, caption) ? std::exchange(m_prepared, {}) : layOut(caption);
    if (m_shown.layout->lineCount() == 0)
        return;
    // As the label places its document: the line's height centred in the header, from the whole
    // pixel above.
    const QRect area = textArea();
    const qreal height = m_shown.layout->lineAt(0).height();
    qreal top = 0;
    if (alignment() & Qt::AlignVCenter)
        top = std::max((area.height() - height) / 2, qreal(0));
    else if (alignment() & Qt::AlignBottom)
        top = std::max(area.height() - height, qreal(0));
    const QRect placed = QRectF(area.x(), area.y() + top, area.width(), area.height()).toAlignedRect();
    QPainter painter(this);
    painter.translate(placed.topLeft());
    painter.setClipRect(QRect(QPoint(0, 0), placed.size()));
    painter.setPen(palette().color(isEnabled() ? foregroundRole() : QPalette::Text));
    m_shown.layout->draw(&painter, QPointF(0, 0));
}
