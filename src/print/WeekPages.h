#pragma once

#include "PageFlow.h"
#include "PrintRequest.h"
#include "PrintedView.h"
#include "data/DayStatus.h"
#include "data/Entry.h"

#include <array>

// The week on paper, as the book shows it open: the month captions, Monday to Wednesday on the
// left page, Thursday to Sunday on the right (Saturday and Sunday sharing a third), each day with
// its header, holiday and day text and its entries (time, mark, text; the long notes when asked).
// A day with more than its panel holds shows what fits, says on which page it goes on, and goes
// on there under its date.
class WeekPages final : public PrintedView
{
public:
    explicit WeekPages(const PrintRequest &request);

    QString title() const override;
    QString read(Diary &diary) override;
    int layout(PageFlow &flow, const QSizeF &body) override;
    void paintPage(QPainter &painter, const PageFlow &flow, int page, QPointF topLeft) const override;

private:
    struct Day
    {
        QDate date;
        DayStatus status;
        QList<Entry> entries;
        QRectF panel;
        QList<PrintedLine> head; // the header and the holiday and day text
        QList<PrintedLine> shown; // the entry lines the panel holds
        QList<PrintedLine> mark; // where the rest goes on; empty when all is shown
    };

    PrintRequest m_request;
    QDate m_monday;
    std::array<Day, 7> m_days;
    std::array<QList<PrintedLine>, 2> m_captions;
    qreal m_rightPage = 0;
};
