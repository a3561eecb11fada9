#include "widgets/ImageButton.h"

#include "widgets/Picture.h"

#include <QPainter>
#include <QPainterPath>

ImageButton::ImageButton(const QString &picture, const QString &toolTip, QWidget *parent)
    : QAbstractButton(parent)
    , m_picture(picture)
{
    setToolTipText(toolTip);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void ImageButton::setPicture(const QString &picture)
{
    m_picture = picture;
    update();
}

void ImageButton::setToolTipText(const QString &toolTip)
{
    setToolTip(toolTip);
    setAccessibleName(toolTip);
}

QSize ImageButton::sizeHint() const
{
    const QSize natural = Picture::naturalSize(m_picture);
    return natural.isValid() ? natural : QSize(20, 20);
}

void ImageButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (m_hover || isDown()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(120, 80, 40, isDown() ? 70 : 38));
        painter.drawRoundedRect(area, 4, 4);
    }
    painter.drawPixmap(0, 0, Picture::render(m_picture, size(), devicePixelRatioF()));
    if (hasFocus()) {
        QPen pen(QColor(120, 80, 40), 1, Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(area, 4, 4);
    }
}

void ImageButton::enterEvent(QEnterEvent *event)
{
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void ImageButton::leaveEvent(QEvent *event)
{
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}
