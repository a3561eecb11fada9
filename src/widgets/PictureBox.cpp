#include "widgets/PictureBox.h"

#include "widgets/Picture.h"

#include <QMouseEvent>
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
    update();
}

QSize PictureBox::sizeHint() const
{
    const QSize natural = m_picture.isEmpty() ? QSize() : Picture::naturalSize(m_picture);
    return natural.isValid() ? natural : QSize(16, 16);
}

void PictureBox::paintEvent(QPaintEvent *)
{
    if (m_picture.isEmpty())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, Picture::render(m_picture, size(), devicePixelRatioF()));
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
