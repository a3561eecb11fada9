#include "widgets/ResizeGrip.h"

#include "widgets/Picture.h"

#include <QPainter>

ResizeGrip::ResizeGrip(const QString &picture, QWidget *window)
    : QSizeGrip(window)
    , m_picture(picture)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void ResizeGrip::paintEvent(QPaintEvent *)
{
    const qreal ratio = devicePixelRatioF();
    if (m_rendered.isNull() || m_rendered.deviceIndependentSize() != QSizeF(size()) ||
        m_rendered.devicePixelRatio() != ratio)
        m_rendered = Picture::render(m_picture, size(), ratio);
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_rendered);
}
