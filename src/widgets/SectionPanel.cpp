#include "widgets/SectionPanel.h"

#include "widgets/Theme.h"

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
    painter.fillRect(rect(), Theme::Paper);
    painter.setPen(Theme::PaperEdge);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
