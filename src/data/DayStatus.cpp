#include "DayStatus.h"

#include "DateText.h"
#include "Module1.h"
#include "store/Criterion.h"
#include "store/RecordCursor.h"

DayStatus DayStatus::read(RecordCursor &dias, RecordCursor &fixed, const QDate &date, Messenger *messenger)
{
    DayStatus status;
    const QString tag = DateText::fromDate(date);
    if (fixed.FindFirst(Criterion::textEquals(QStringLiteral("fecha"), tag.left(5)))) {
        status.fixedText = fixed.Text(QStringLiteral("texto"));
        status.fixedHoliday = fixed.Bool(QStringLiteral("esfestivosiempre"));
    }
    if (date.dayOfWeek() == Qt::Friday) {
        const QDate sunday = date.addDays(2);
        if (sunday == Module1::EasterSunday(sunday.year(), messenger)) {
            status.fixedText = QStringLiteral("VIERNES SANTO");
            status.fixedHoliday = true;
        }
    }
    status.sunday = date.dayOfWeek() == Qt::Sunday;
    if (status.sunday && date == Module1::EasterSunday(date.year(), messenger))
        status.fixedText = QStringLiteral("PASCUA");

    if (dias.FindFirst(Criterion::textEquals(QStringLiteral("fecha"), tag))) {
        status.hasDayRow = true;
        status.dayText = dias.Text(QStringLiteral("texto"));
        status.dayHoliday = dias.Bool(QStringLiteral("esfestivo"));
    }
    return status;
}
