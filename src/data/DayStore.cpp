#include "DayStore.h"

#include "DateText.h"
#include "Diary.h"
#include "Schema.h"
#include "WriteRules.h"

namespace {

// What one row of dias or festivosfijos should say, and where it goes.
struct Row
{
    const QString &table;
    const QString &keyColumn;
    const QString &flagColumn;
    const QString &textColumn;
    QString key; // "dd/mm/yyyy" or "dd/mm"
    bool flag;
    QString text;
    const char *textName; // the text as the user knows it
};

WriteRules::Lookup findRow(RecordCursor &cursor, const Row &row, QString *unreadable)
{
    return WriteRules::findRow(cursor, row.keyColumn, row.key, unreadable);
}

// Writes row: added, changed, or deleted when it says nothing. *changed tells whether the agenda
// was written.
StoreResult saveRow(RecordCursor &cursor, const Row &row, bool *changed)
{
    *changed = false;
    if (const QString why =
            WriteRules::whyTooLong(row.table, row.textColumn, row.text, QString::fromUtf8(row.textName));
        !why.isEmpty())
        return StoreResult::refused(why);
    const bool keep = !row.text.isEmpty() || row.flag;
    // A date that could not be looked up gets no row: it might have one already.
    QString unreadable;
    const WriteRules::Lookup lookup = findRow(cursor, row, &unreadable);
    if (lookup == WriteRules::Lookup::Unreadable)
        return StoreResult::failed(unreadable);
    const bool found = lookup == WriteRules::Lookup::Found;
    // Nothing to write: no row to add, or the row says it already.
    if ((!found && !keep) ||
        (found && keep && cursor.Text(row.textColumn) == row.text && cursor.Bool(row.flagColumn) == row.flag))
        return StoreResult::ok();
    if (const QString why = WriteRules::whyNotWritable(cursor); !why.isEmpty())
        return StoreResult::refused(why);
    bool done = false;
    if (found && !keep) {
        done = cursor.Delete();
    } else {
        done = found ? cursor.Edit() : cursor.AddNew() && cursor.SetField(row.keyColumn, row.key);
        done = done && cursor.SetField(row.flagColumn, row.flag);
        // A new row without a text leaves it unwritten; a changed one is emptied.
        if (found || !row.text.isEmpty())
            done = done && cursor.SetField(row.textColumn, row.text);
        done = done && cursor.Update();
    }
    if (!done)
        return WriteRules::failure(cursor);
    *changed = true;
    return StoreResult::ok();
}

Row dayRow(const Day &day)
{
    using namespace Schema::Dias;
    return {Table, Fecha, EsFestivo, Texto, DateText::fromDate(day.date), day.holiday, day.text, "el texto del día"};
}

Row yearlyRow(const YearlyDay &day)
{
    using namespace Schema::FestivosFijos;
    const QString key =
        QStringLiteral("%1/%2").arg(day.day, 2, 10, QLatin1Char('0')).arg(day.month, 2, 10, QLatin1Char('0'));
    return {Table, Fecha, EsFestivoSiempre, Texto, key, day.alwaysHoliday, day.text, "el texto de la fecha"};
}

QString notADate()
{
    return QStringLiteral("la fecha no es válida");
}

} // namespace

DayStore::DayStore(Diary &diary)
    : m_diary(diary)
{}

void DayStore::open(const QString &databaseFile)
{
    WriteRules::openOn(m_dias, databaseFile, Schema::Dias::Table);
    WriteRules::openOn(m_yearly, databaseFile, Schema::FestivosFijos::Table);
}

std::optional<Day> DayStore::find(const QDate &date)
{
    QString unreadable;
    if (!date.isValid() || findRow(m_dias, dayRow({date, {}, false}), &unreadable) != WriteRules::Lookup::Found)
        return std::nullopt;
    return Day{date, m_dias.Text(Schema::Dias::Texto), m_dias.Bool(Schema::Dias::EsFestivo)};
}

std::optional<YearlyDay> DayStore::findYearly(const QDate &date)
{
    QString unreadable;
    if (!date.isValid() || findRow(m_yearly, yearlyRow(YearlyDay::of(date)), &unreadable) != WriteRules::Lookup::Found)
        return std::nullopt;
    return YearlyDay{date.day(), date.month(), m_yearly.Text(Schema::FestivosFijos::Texto),
                     m_yearly.Bool(Schema::FestivosFijos::EsFestivoSiempre)};
}

StoreResult DayStore::save(const Day &day)
{
    if (!day.date.isValid())
        return StoreResult::refused(notADate());
    bool changed = false;
    const StoreResult result = saveRow(m_dias, dayRow(day), &changed);
    const qint64 key = day.date.toJulianDay();
    if (changed)
        m_diary.notifyChanged({DiaryChange::Kind::Days, key});
    return result ? StoreResult::ok(key) : result;
}

StoreResult DayStore::saveYearly(const YearlyDay &day)
{
    // Any year that has the day: 29 February is a day of the leap years.
    if (!QDate(2000, day.month, day.day).isValid())
        return StoreResult::refused(notADate());
    bool changed = false;
    const StoreResult result = saveRow(m_yearly, yearlyRow(day), &changed);
    if (changed)
        m_diary.notifyChanged({DiaryChange::Kind::Days, -1});
    return result;
}

StoreResult DayStore::markHoliday(const QDate &date)
{
    if (!date.isValid())
        return StoreResult::refused(notADate());
    if (find(date))
        return StoreResult::ok(date.toJulianDay());
    return save({date, {}, true});
}
