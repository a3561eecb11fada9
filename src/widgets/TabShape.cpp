#include "widgets/TabShape.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

TabShape::TabShape(Side side, const QColor &colour, QWidget *parent)
    : QWidget(parent)
    , m_side(side)
    , m_colour(colour)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setCursor(Qt::PointingHandCursor);
}

void TabShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The card's outer end is rounded; its inner end tucks under the page.
    const qreal r = qMin(height() / 3.0, 9.0);
    QRectF card = QRectF(rect()).adjusted(1, 2, -1, -2);
    QPainterPath path;
    if (m_side == Side::Left) {
        card.setLeft(card.left() + 6);
        path.moveTo(card.right(), card.top());
        path.lineTo(card.left() + r, card.top());
        path.quadTo(card.left(), card.top(), card.left(), card.top() + r);
        path.lineTo(card.left(), card.bottom() - r);
        path.quadTo(card.left(), card.bottom(), card.left() + r, card.bottom());
        path.lineTo(card.right(), card.bottom());
    } else {
        card.setRight(card.right() - 6);
        path.moveTo(card.left(), card.top());
        path.lineTo(card.right() - r, card.top());
        path.quadTo(card.right(), card.top(), card.right(), card.top() + r);
        path.lineTo(card.right(), card.bottom() - r);
        path.quadTo(card.right(), card.bottom(), card.right() - r, card.bottom());
        path.lineTo(card.left(), card.bottom());
    }
    path.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 60));
    painter.drawPath(path.translated(0, 1.5));
    QLinearGradient fill(card.topLeft(), card.bottomLeft());
    fill.setColorAt(0, m_colour.lighter(108));
    fill.setColorAt(1, m_colour.darker(106));
    painter.setBrush(fill);
    painter.setPen(QPen(m_colour.darker(135), 1));
    painter.drawPath(path);
}

void TabShape::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
