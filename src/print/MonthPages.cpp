#include "MonthPages.h"

#include "PrintText.h"
#include "data/DateText.h"
#include "data/Diary.h"
#include "data/Schema.h"
#include "data/WriteRules.h"
#include "data/store/RecordCursor.h"

#include <QPainter>
#include <algorithm>

MonthPages::MonthPages(const PrintRequest &request)
    : m_request(request)
    , m_first(request.date.year(), request.date.month(), 1)
{}

QString MonthPages::title() const
{
    return QStringLiteral("Calendario de %1")
        .arg(DateText::spanishLocale().toString(m_first, QStringLiteral("MMMM 'de' yyyy")));
}

QString MonthPages::read(Diary &diary)
{
    RecordCursor dias;
    RecordCursor fixed;
    if (!WriteRules::openOn(dias, diary.databaseFile(), Schema::Dias::Table))
        return PrintText::unreadable(dias.lastError());
    if (!WriteRules::openOn(fixed, diary.databaseFile(), Schema::FestivosFijos::Table))
        return PrintText::unreadable(fixed.lastError());
    for (int day = 1; day <= m_first.daysInMonth(); ++day)
        m_days << DayStatus::read(dias, fixed, m_first.addDays(day - 1), nullptr);
    return {};
}

int MonthPages::layout(PageFlow &flow, const QSizeF &body)
{
    const QLocale locale = DateText::spanishLocale();
    m_caption = flow.wrap(locale.toString(m_first, QStringLiteral("MMMM")).toUpper() + QLatin1Char(' ') +
                              locale.toString(m_first, QStringLiteral("yyyy")),
                          PrintText::serif(20, true), Qt::black, body.width());
    m_cell.setWidth(body.width() / 7);
    m_weekdays.clear();
    for (int column = 0; column < 7; ++column)
        m_weekdays << flow.wrap(PrintText::capitalizeFirst(locale.dayName(column + 1, QLocale::LongFormat)),
                                PrintText::serif(10, true), column == 6 ? PrintText::holiday() : QColor(Qt::black),
                                m_cell.width())
                          .first();
    m_gridTop = PageFlow::height(m_caption) + flow.points(6) + m_weekdays.first().height + flow.points(2);
    m_rows = (m_first.dayOfWeek() - 1 + m_first.daysInMonth() + 6) / 7;

    // Every day with a text of its own, whole, as the calendar's tips tell it.
    QList<PrintedLine> texts;
    for (int day = 1; day <= m_days.size(); ++day) {
        const DayStatus &status = m_days[day - 1];
        QString text;
        if (!status.fixedText.trimmed().isEmpty())
            text += QStringLiteral(" (") + status.fixedText + QLatin1Char(')');
        if (!status.dayText.trimmed().isEmpty())
            text += QStringLiteral(" - ") + status.dayText;
        if (text.isEmpty())
            continue;
        const QDate date = m_first.addDays(day - 1);
        texts << flow.wrap(PrintText::capitalizeFirst(locale.toString(date, QLocale::LongFormat)) + text,
                           PrintText::sans(9), status.isHoliday() ? PrintText::holiday() : QColor(Qt::black),
                           body.width(), flow.millimetres(5));
    }
    const qreal gap = flow.points(10);
    QList<PrintedLine> heading;
    if (!texts.isEmpty())
        heading = flow.wrap(QStringLiteral("Días señalados"), PrintText::serif(11, true), Qt::black, body.width());
    // The grid takes what the texts leave, but never less than half the page.
    const qreal room = body.height() - m_gridTop - (texts.isEmpty() ? 0 : gap + PageFlow::height(heading + texts));
    const qreal gridHeight = std::max(room, (body.height() - m_gridTop) / 2);
    m_cell.setHeight(std::min(gridHeight / m_rows, m_cell.width()));
    if (!texts.isEmpty()) {
        flow.addBlock(heading, true);
        flow.addBlock(texts, false);
    }
    return flow.layout(body.height(), m_gridTop + m_rows * m_cell.height() + gap);
}

void MonthPages::paintPage(QPainter &painter, const PageFlow &flow, int page, QPointF topLeft) const
{
    if (page == 0) {
        const qreal captionWidth = flow.advance(m_caption.first().font, m_caption.first().text);
        PageFlow::paintLines(painter, m_caption,
                             topLeft + QPointF((7 * m_cell.width() - captionWidth) / 2 - m_caption.first().indent, 0));
        const qreal weekdaysTop = m_gridTop - m_weekdays.first().height - flow.points(2);
        for (int column = 0; column < 7; ++column)
            PageFlow::paintLines(painter, {m_weekdays[column]},
                                 topLeft + QPointF(column * m_cell.width() + flow.millimetres(1), weekdaysTop));
        const QFont number = PrintText::serif(14);
        const QFont todayMark = PrintText::sans(7, true);
        const int first = m_first.dayOfWeek() - 1;
        for (int k = 0; k < m_rows * 7; ++k) {
            const QRectF cell(topLeft + QPointF((k % 7) * m_cell.width(), m_gridTop + (k / 7) * m_cell.height()),
                              m_cell);
            painter.setPen(QPen(Qt::black, flow.points(0.5)));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(cell);
            const int day = k - first + 1;
            if (day < 1 || day > m_days.size())
                continue;
            const QColor colour = m_days[day - 1].isHoliday() ? PrintText::holiday() : QColor(Qt::black);
            const QList<PrintedLine> lines = flow.wrap(QString::number(day), number, colour, m_cell.width());
            const QPointF at = cell.topLeft() + QPointF(flow.millimetres(1.5), flow.millimetres(1));
            PageFlow::paintLines(painter, lines, at);
            if (m_first.addDays(day - 1) == m_request.today) {
                painter.setPen(QPen(Qt::black, flow.points(2)));
                painter.drawRect(cell.adjusted(flow.points(1), flow.points(1), -flow.points(1), -flow.points(1)));
                PageFlow::paintLines(
                    painter, flow.wrap(QStringLiteral("HOY"), todayMark, Qt::black, m_cell.width()),
                    at + QPointF(flow.advance(number, QString::number(day)) + flow.millimetres(1.5), flow.points(4)));
            }
        }
    }
    flow.paintPage(painter, page, topLeft);
}
