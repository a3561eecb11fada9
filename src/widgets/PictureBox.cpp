#include "widgets/PictureBox.h"

#include "widgets/Picture.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

PictureBox::PictureBox(const QString &picture, QWidget *parent)
    : QWidget(parent)
    , m_picture(picture)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void PictureBox::setPicture(const QString &picture)
{
    m_picture = picture;
    m_rendered = QPixmap();
    update();
}

QSize PictureBox::sizeHint() const
{
    const QSize natural = m_picture.isEmpty() ? QSize() : Picture::naturalSize(m_picture);
    return natural.isValid() ? natural : QSize(16, 16);
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    if (m_picture.isEmpty())
        return;
    const qreal ratio = devicePixelRatioF();
    if (m_rendered.isNull() || m_rendered.deviceIndependentSize() != QSizeF(size()) ||
        m_rendered.devicePixelRatio() != ratio)
        m_rendered = Picture::render(m_picture, size(), ratio);
    QPainter painter(this);
    const QRect dirty = event->rect();
    painter.drawPixmap(QRectF(dirty), m_rendered,
                       QRectF(QPointF(dirty.topLeft()) * ratio, QSizeF(dirty.size()) * ratio));
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    emit mousePressed(event);
}

void PictureBox::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved(event);
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    emit mouseReleased(event);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent *)
{
    emit doubleClicked();
}
