#include "Printout.h"

#include "MonthPages.h"
#include "PageFlow.h"
#include "PhonePages.h"
#include "PrintText.h"
#include "TaskPages.h"
#include "WeekPages.h"
#include "data/store/FailureText.h"

#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <cerrno>
#include <memory>

namespace {

std::unique_ptr<PrintedView> viewOf(const PrintRequest &request)
{
    switch (request.kind) {
    case PrintRequest::Kind::Month:
        return std::make_unique<MonthPages>(request);
    case PrintRequest::Kind::Tasks:
        return std::make_unique<TaskPages>();
    case PrintRequest::Kind::Phones:
        return std::make_unique<PhonePages>(request);
    case PrintRequest::Kind::Week:
        break;
    }
    return std::make_unique<WeekPages>(request);
}

} // namespace

namespace Printout {

QString couldNotWrite(const QString &path, QFileDevice::FileError error, int systemError)
{
    return QStringLiteral("no se puede escribir «%1»: %2.")
        .arg(QFileInfo(path).absoluteFilePath(), FailureText::ofFile(error, systemError));
}

QString title(const PrintRequest &request)
{
    return viewOf(request)->title();
}

QPageLayout::Orientation orientation(PrintRequest::Kind kind)
{
    return kind == PrintRequest::Kind::Week || kind == PrintRequest::Kind::Month ? QPageLayout::Landscape
                                                                                 : QPageLayout::Portrait;
}

QString paint(Diary &diary, const PrintRequest &request, QPagedPaintDevice &device)
{
    const std::unique_ptr<PrintedView> view = viewOf(request);
    if (const QString why = view->read(diary); !why.isEmpty())
        return why;
    QPainter painter;
    if (!painter.begin(&device))
        return QStringLiteral("no se pueden preparar las páginas.");
    PageFlow flow(device);
    const QRectF page(0, 0, device.width(), device.height());
    const QList<PrintedLine> heading = flow.wrap(view->title(), PrintText::serif(13, true), Qt::black, page.width());
    const QFont footFont = PrintText::sans(7);
    const qreal foot = flow.wrap(QStringLiteral("0"), footFont, Qt::black, page.width()).first().height;
    const QRectF body = page.adjusted(0, PageFlow::height(heading) + flow.points(8), 0, -(foot + flow.points(6)));
    const int pages = view->layout(flow, body.size());
    for (int p = 0; p < pages; ++p) {
        if (p > 0)
            device.newPage();
        PageFlow::paintLines(painter, heading, page.topLeft());
        painter.setPen(QPen(Qt::black, flow.points(0.5)));
        const qreal rule = PageFlow::height(heading) + flow.points(3);
        painter.drawLine(QPointF(0, rule), QPointF(page.width(), rule));
        view->paintPage(painter, flow, p, body.topLeft());
        const QString number = QStringLiteral("Página %1 de %2").arg(p + 1).arg(pages);
        PageFlow::paintLines(painter, flow.wrap(number, footFont, Qt::black, page.width()),
                             QPointF(page.width() - flow.advance(footFont, number), page.height() - foot));
    }
    painter.end();
    return {};
}

QString writePdf(Diary &diary, const PrintRequest &request, const QString &path, const QPageLayout &layout)
{
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return couldNotWrite(path, file.error(), errno);
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(layout);
        writer.setCreator(QStringLiteral("Quillomar"));
        writer.setTitle(title(request));
        if (const QString why = paint(diary, request, writer); !why.isEmpty()) {
            file.cancelWriting();
            return why;
        }
    }
    errno = 0;
    if (!file.commit())
        return couldNotWrite(path, file.error(), errno);
    return {};
}

} // namespace Printout
