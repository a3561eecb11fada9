#pragma once

#include "PageFlow.h"
#include "PrintRequest.h"
#include "PrintedView.h"
#include "data/DayStatus.h"

#include <QList>

// The month on paper, as the calendar shows it: the month's name, a grid of its days from Monday
// to Sunday with Sundays and holidays in red and today framed, and under it every day that has a
// holiday or day text, with its whole text, running on to further pages when there are many.
class MonthPages final : public PrintedView
{
public:
    explicit MonthPages(const PrintRequest &request);

    QString title() const override;
    QString read(Diary &diary) override;
    int layout(PageFlow &flow, const QSizeF &body) override;
    void paintPage(QPainter &painter, const PageFlow &flow, int page, QPointF topLeft) const override;

private:
    PrintRequest m_request;
    QDate m_first;
    QList<DayStatus> m_days; // day 1 first
    QList<PrintedLine> m_caption;
    QList<PrintedLine> m_weekdays; // one line per column
    qreal m_gridTop = 0;
    QSizeF m_cell;
    int m_rows = 0;
};
