#include "SectionPanel.h"

#include <QPainter>

SectionPanel::SectionPanel(const QString &name, QWidget *parent)
    : QFrame(parent)
{
    setObjectName(name);
    setMouseTracking(true);
}

void SectionPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xfb, 0xf6, 0xe8));
    painter.setPen(QColor(0xd8, 0xcc, 0xb0));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
