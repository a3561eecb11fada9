#include "EntryStore.h"

#include "WriteRules.h"

#include "DateText.h"
#include "Diary.h"
#include "Schema.h"

namespace {

QString gone()
{
    return QStringLiteral("la entrada ya no está en la agenda");
}

} // namespace

EntryStore::EntryStore(Diary &diary)
    : m_diary(diary)
{}

void EntryStore::open(const QString &databaseFile)
{
    WriteRules::openOn(m_notas, databaseFile, Schema::Notas::Table);
}

WriteRules::Lookup EntryStore::findRow(qint64 numero, QString *unreadable)
{
    if (numero <= 0)
        return WriteRules::Lookup::Absent;
    return WriteRules::findRow(m_notas, Schema::Notas::Numero, numero, unreadable);
}

std::optional<Entry> EntryStore::find(qint64 numero, QString *unreadable)
{
    using namespace Schema::Notas;
    QString why;
    if (findRow(numero, &why) != WriteRules::Lookup::Found) {
        if (unreadable)
            *unreadable = why;
        return std::nullopt;
    }
    return Entry{numero,
                 DateText::toDate(m_notas.Text(Fecha)),
                 m_notas.Text(Hora),
                 m_notas.Text(Texto),
                 m_notas.Text(Nota),
                 m_notas.Text(HoraAlarma)};
}

StoreResult EntryStore::refusal(const Entry &entry)
{
    using namespace Schema::Notas;
    if (const QString why = WriteRules::whyNotWritable(m_notas); !why.isEmpty())
        return StoreResult::refused(why);
    if (!entry.date.isValid())
        return StoreResult::refused(QStringLiteral("la entrada no tiene una fecha válida"));
    const std::pair<const QString &, std::pair<QString, const char *>> widths[] = {
        {Hora, {entry.time, "la hora"}},
        {Texto, {entry.text, "el asunto"}},
        {HoraAlarma, {entry.alarmTime, "la hora de la alarma"}},
    };
    for (const auto &[column, value] : widths)
        if (const QString why = WriteRules::whyTooLong(Table, column, value.first, QString::fromUtf8(value.second));
            !why.isEmpty())
            return StoreResult::refused(why);
    return StoreResult::ok();
}

StoreResult EntryStore::written(qint64 numero)
{
    m_diary.notifyChanged({DiaryChange::Kind::Entries, numero});
    return StoreResult::ok(numero);
}

StoreResult EntryStore::add(const Entry &entry)
{
    using namespace Schema::Notas;
    if (StoreResult refused = refusal(entry); !refused)
        return refused;
    bool done = m_notas.AddNew() && m_notas.SetField(Fecha, DateText::fromDate(entry.date)) &&
        m_notas.SetField(Hora, entry.time) && m_notas.SetField(Texto, entry.text);
    if (!entry.note.isEmpty())
        done = done && m_notas.SetField(Nota, entry.note);
    if (!entry.alarmTime.isEmpty())
        done = done && m_notas.SetField(HoraAlarma, entry.alarmTime);
    if (!(done && m_notas.Update()))
        return WriteRules::failure(m_notas);
    return written(m_notas.lastAddedKey());
}

StoreResult EntryStore::update(const Entry &entry)
{
    using namespace Schema::Notas;
    QString unreadable;
    const std::optional<Entry> stored = find(entry.numero, &unreadable);
    if (!stored)
        return unreadable.isEmpty() ? StoreResult::refused(gone()) : StoreResult::failed(unreadable);
    if (*stored == entry)
        return StoreResult::ok(entry.numero);
    if (StoreResult refused = refusal(entry); !refused)
        return refused;
    // find left the cursor on the entry.
    bool done = m_notas.Edit();
    if (entry.date != stored->date)
        done = done && m_notas.SetField(Fecha, DateText::fromDate(entry.date));
    const std::pair<const QString &, std::pair<QString, QString>> texts[] = {
        {Hora, {entry.time, stored->time}},
        {Texto, {entry.text, stored->text}},
        {Nota, {entry.note, stored->note}},
        {HoraAlarma, {entry.alarmTime, stored->alarmTime}},
    };
    for (const auto &[column, values] : texts)
        if (values.first != values.second)
            done = done && m_notas.SetField(column, values.first);
    if (!(done && m_notas.Update()))
        return WriteRules::failure(m_notas);
    return written(entry.numero);
}

StoreResult EntryStore::change(qint64 numero, const std::function<void(Entry &)> &edit)
{
    QString unreadable;
    std::optional<Entry> entry = find(numero, &unreadable);
    if (!entry)
        return unreadable.isEmpty() ? StoreResult::refused(gone()) : StoreResult::failed(unreadable);
    edit(*entry);
    return update(*entry);
}

StoreResult EntryStore::setText(qint64 numero, const QString &text)
{
    return change(numero, [&](Entry &entry) { entry.text = text; });
}

StoreResult EntryStore::setNote(qint64 numero, const QString &note)
{
    return change(numero, [&](Entry &entry) { entry.note = note; });
}

StoreResult EntryStore::setAlarmTime(qint64 numero, const QString &time)
{
    return change(numero, [&](Entry &entry) { entry.alarmTime = time; });
}

StoreResult EntryStore::remove(qint64 numero)
{
    QString unreadable;
    if (const WriteRules::Lookup found = findRow(numero, &unreadable); found != WriteRules::Lookup::Found)
        return found == WriteRules::Lookup::Absent ? StoreResult::ok(numero) : StoreResult::failed(unreadable);
    if (const QString why = WriteRules::whyNotWritable(m_notas); !why.isEmpty())
        return StoreResult::refused(why);
    if (!m_notas.Delete())
        return WriteRules::failure(m_notas);
    return written(numero);
}
