#pragma once

#include <QRectF>
#include <QString>

class Diary;
class PageFlow;
class QPainter;

// One of the diary's views as it is printed: it reads what it shows from the agenda, lays it out
// on pages and paints each page's body. The frame of every page (title, page number) is not its
// business.
class PrintedView
{
public:
    virtual ~PrintedView() = default;

    // The title at the head of every page.
    virtual QString title() const = 0;
    // Reads what it prints; an empty text, or why the agenda could not be read.
    virtual QString read(Diary &diary) = 0;
    // Lays the view out in a page body of size body (device units): what stands on a page of its
    // own kept here, what runs on from page to page added to flow, which it lays out. Returns
    // the number of pages.
    virtual int layout(PageFlow &flow, const QSizeF &body) = 0;
    // Paints the body of page (from 0), its top-left at topLeft.
    virtual void paintPage(QPainter &painter, const PageFlow &flow, int page, QPointF topLeft) const;
};
