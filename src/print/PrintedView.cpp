#include "PrintedView.h"

#include "PageFlow.h"

void PrintedView::paintPage(QPainter &painter, const PageFlow &flow, int page, QPointF topLeft) const
{
    flow.paintPage(painter, page, topLeft);
}
