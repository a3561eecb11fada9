#include "WeekPages.h"

#include "PrintText.h"
#include "data/DateText.h"
#include "data/Diary.h"
#include "data/EntryLine.h"
#include "data/Schema.h"
#include "data/WriteRules.h"
#include "data/store/RecordCursor.h"

#include <QPainter>
#include <algorithm>

namespace Column = Schema::Notas;

WeekPages::WeekPages(const PrintRequest &request)
    : m_request(request)
    , m_monday(request.date.addDays(-(request.date.dayOfWeek() - 1)))
{}

QString WeekPages::title() const
{
    const QLocale locale = DateText::spanishLocale();
    const QDate sunday = m_monday.addDays(6);
    // What the two ends share is said once: "del 1 al 7 de abril", "del 29 de abril al 5 de mayo".
    QString first = QStringLiteral("d 'de' MMMM 'de' yyyy");
    if (sunday.year() == m_monday.year())
        first = sunday.month() == m_monday.month() ? QStringLiteral("d") : QStringLiteral("d 'de' MMMM");
    return QStringLiteral("Semana del %1 al %2")
        .arg(locale.toString(m_monday, first), locale.toString(sunday, QStringLiteral("d 'de' MMMM 'de' yyyy")));
}

QString WeekPages::read(Diary &diary)
{
    RecordCursor notas;
    RecordCursor dias;
    RecordCursor fixed;
    for (auto [cursor, table] : {std::pair{&notas, Column::Table}, std::pair{&dias, Schema::Dias::Table},
                                 std::pair{&fixed, Schema::FestivosFijos::Table}})
        if (!WriteRules::openOn(*cursor, diary.databaseFile(), table))
            return PrintText::unreadable(cursor->lastError());

    for (int i = 0; i < 7; ++i) {
        Day &day = m_days[size_t(i)];
        day.date = m_monday.addDays(i);
        day.status = DayStatus::read(dias, fixed, day.date, nullptr);
        const Criterion sameDay = Criterion::textEquals(Column::Fecha, DateText::fromDate(day.date));
        for (bool found = notas.FindFirst(sameDay); found && !notas.NoMatch(); found = notas.FindNext(sameDay)) {
            Entry entry;
            entry.numero = notas.Number(Column::Numero);
            entry.date = day.date;
            entry.time = notas.Text(Column::Hora);
            entry.text = notas.Text(Column::Texto);
            entry.note = notas.Text(Column::Nota);
            entry.alarmTime = notas.Text(Column::HoraAlarma);
            day.entries << entry;
        }
        // In the order of the day's list: by its lines' text, so by time.
        const auto line = [](const Entry &e) {
            return EntryLine::Build(e.time, !e.note.isEmpty(), !e.alarmTime.isEmpty(), e.text, e.numero);
        };
        std::stable_sort(day.entries.begin(), day.entries.end(),
                         [&line](const Entry &a, const Entry &b) { return line(a) < line(b); });
    }
    return {};
}

int WeekPages::layout(PageFlow &flow, const QSizeF &body)
{
    const QLocale locale = DateText::spanishLocale();
    const qreal gutter = flow.millimetres(10);
    const qreal pageWidth = (body.width() - gutter) / 2;
    m_rightPage = pageWidth + gutter;
    const QFont captionFont = PrintText::serif(12, true);
    m_captions[0] = flow.wrap(PrintText::capitalizeFirst(locale.toString(m_monday, QStringLiteral("MMMM yyyy"))),
                              captionFont, Qt::black, pageWidth);
    m_captions[1] =
        flow.wrap(PrintText::capitalizeFirst(locale.toString(m_monday.addDays(6), QStringLiteral("MMMM yyyy"))),
                  captionFont, Qt::black, pageWidth);
    const qreal top = PageFlow::height(m_captions[0]) + flow.points(4);
    const qreal third = (body.height() - top) / 3;
    const QRectF places[7] = {
        {0, top, pageWidth, third},
        {0, top + third, pageWidth, third},
        {0, top + 2 * third, pageWidth, third},
        {m_rightPage, top, pageWidth, third},
        {m_rightPage, top + third, pageWidth, third},
        {m_rightPage, top + 2 * third, pageWidth, third / 2},
        {m_rightPage, top + 2.5 * third, pageWidth, third / 2},
    };

    const qreal pad = flow.millimetres(1.5);
    const QFont entryFont = PrintText::sans(9);
    const QFont noteFont = PrintText::sans(8, false, true);
    const qreal indent = flow.advance(entryFont, QStringLiteral("00:00 # "));
    std::array<QList<PrintedLine>, 7> rests;
    std::array<int, 7> continuation{};
    for (int i = 0; i < 7; ++i) {
        Day &day = m_days[size_t(i)];
        day.panel = places[i].adjusted(0, 0, 0, -flow.points(2));
        const qreal width = day.panel.width() - 2 * pad;
        const QColor colour = day.status.isHoliday() ? PrintText::holiday() : QColor(Qt::black);
        const QString header = (day.date == m_request.today ? QStringLiteral("HOY ") : QString()) +
            PrintText::capitalizeFirst(locale.toString(day.date, QStringLiteral("dddd d")));
        day.head = flow.wrap(header, PrintText::serif(11, true), colour, width);
        const QString dayLine = PrintText::dayLine(day.status);
        if (!dayLine.isEmpty())
            day.head << flow.wrap(dayLine, PrintText::serif(9, false, true), colour, width);

        QList<PrintedLine> lines;
        for (const Entry &entry : day.entries) {
            const QChar mark = EntryLine::Mark(!entry.note.isEmpty(), !entry.alarmTime.isEmpty());
            const QString prefix = entry.time + (mark == u' ' ? QString() : QStringLiteral(" ") + mark);
            lines << flow.wrap(entry.text, entryFont, Qt::black, width, indent, prefix);
            if (m_request.includeNotes && !entry.note.isEmpty())
                lines << flow.wrap(entry.note, noteFont, Qt::black, width, indent);
        }
        const qreal room = day.panel.height() - 2 * pad - PageFlow::height(day.head) - flow.points(3);
        day.shown = lines;
        day.mark.clear();
        continuation[size_t(i)] = -1;
        if (PageFlow::height(lines) <= room)
            continue;
        // What does not fit goes on on a later page, under the day's date; the panel says where.
        day.mark =
            flow.wrap(QStringLiteral("sigue en la página 0 →"), PrintText::sans(8, true, true), Qt::black, width);
        qreal used = PageFlow::height(day.mark);
        qsizetype fits = 0;
        while (fits < lines.size() && used + lines[fits].height <= room)
            used += lines[fits++].height;
        day.shown = lines.mid(0, fits);
        QList<PrintedLine> rest = flow.wrap(PrintText::capitalizeFirst(locale.toString(day.date, QLocale::LongFormat)) +
                                                QStringLiteral(" (continuación)"),
                                            PrintText::serif(11, true), colour, width);
        rest << lines.mid(fits);
        continuation[size_t(i)] = flow.addBlock(rest, false, flow.points(10));
    }
    // The days' panels fill the first page; what goes on starts on the second.
    const int pages = flow.layout(body.height(), body.height());
    for (int i = 0; i < 7; ++i)
        if (continuation[size_t(i)] >= 0)
            m_days[size_t(i)].mark.first().text =
                QStringLiteral("sigue en la página %1 →").arg(flow.pageOf(continuation[size_t(i)]) + 1);
    return pages;
}

void WeekPages::paintPage(QPainter &painter, const PageFlow &flow, int page, QPointF topLeft) const
{
    if (page == 0) {
        for (int i = 0; i < 7; ++i) {
            if (i == 0 || i == 3)
                PageFlow::paintLines(painter, m_captions[i == 0 ? 0 : 1],
                                     topLeft + QPointF(i == 0 ? 0 : m_rightPage, 0));
            const Day &day = m_days[size_t(i)];
            const QRectF panel = day.panel.translated(topLeft);
            const qreal hairline = flow.points(day.date == m_request.today ? 1.5 : 0.5);
            painter.setPen(QPen(Qt::black, hairline));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(panel);
            const qreal pad = flow.millimetres(1.5);
            QPointF at = panel.topLeft() + QPointF(pad, pad);
            PageFlow::paintLines(painter, day.head, at);
            at.ry() += PageFlow::height(day.head) + flow.points(1);
            painter.setPen(QPen(Qt::black, flow.points(0.3)));
            painter.drawLine(QPointF(at.x(), at.y()), QPointF(panel.right() - pad, at.y()));
            at.ry() += flow.points(2);
            PageFlow::paintLines(painter, day.shown, at);
            if (!day.mark.isEmpty())
                PageFlow::paintLines(painter, day.mark,
                                     QPointF(at.x(), panel.bottom() - pad - PageFlow::height(day.mark)));
        }
    }
    flow.paintPage(painter, page, topLeft);
}
