#include "SyncLocal.h"

#include "data/CardStore.h"
#include "data/DateText.h"
#include "data/Diary.h"
#include "data/EntryStore.h"
#include "data/Schema.h"
#include "data/TaskStore.h"
#include "data/interchange/CalendarReader.h"
#include "data/interchange/CalendarWriter.h"
#include "data/interchange/CardCodec.h"
#include "data/interchange/DiaryTransaction.h"
#include "data/interchange/InterchangeLinks.h"
#include "data/store/Database.h"
#include "data/store/TableSchema.h"

#include <QCryptographicHash>
#include <QUrl>
#include <QUuid>
#include <sqlite3.h>

namespace {

using namespace Schema;
namespace Kept = Schema::Sincronizacion;

const QString ConflictMark = QStringLiteral(" (copia en conflicto)");

// Where the item's short text is among its fields: what a conflict copy is told apart by.
int textField(const QString &table)
{
    return table == Telefonos::Table ? int(Card::Name) : 2;
}

QString flag(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

QDate dateOf(const QString &text)
{
    return QDate::fromString(text, Qt::ISODate);
}

SyncPart partOf(const Entry &entry, const InterchangeLink &link)
{
    return {{entry.date.toString(Qt::ISODate), entry.time, entry.text, entry.note, entry.alarmTime,
             link.length < 0 ? QString() : QString::number(link.length), flag(link.allDay)},
            link.kept};
}

SyncPart partOf(const Task &task, const InterchangeLink &link)
{
    return {{task.date.toString(Qt::ISODate), task.time, task.description, flag(task.done),
             task.alarmDate.toString(Qt::ISODate), task.alarmTime},
            link.kept};
}

SyncPart partOf(const Card &card, const InterchangeLink &link)
{
    return {QStringList(card.fields.begin(), card.fields.end()), link.kept};
}

Entry entryOf(const SyncPart &part, InterchangeLink *link)
{
    Entry entry;
    entry.date = dateOf(part.fields.value(0));
    entry.time = part.fields.value(1);
    entry.text = part.fields.value(2);
    entry.note = part.fields.value(3);
    entry.alarmTime = part.fields.value(4);
    bool ok = false;
    const qint64 length = part.fields.value(5).toLongLong(&ok);
    link->length = ok ? length : -1;
    link->allDay = part.fields.value(6) == QLatin1String("1");
    link->kept = part.kept;
    return entry;
}

Task taskOf(const SyncPart &part, InterchangeLink *link)
{
    Task task;
    task.date = dateOf(part.fields.value(0));
    task.time = part.fields.value(1);
    task.description = part.fields.value(2);
    task.done = part.fields.value(3) == QLatin1String("1");
    task.alarmDate = dateOf(part.fields.value(4));
    task.alarmTime = part.fields.value(5);
    link->kept = part.kept;
    return task;
}

Card cardOf(const SyncPart &part, InterchangeLink *link)
{
    Card card;
    for (int i = 0; i < Card::FieldCount; ++i)
        card.fields[size_t(i)] = part.fields.value(i);
    link->kept = part.kept;
    return card;
}

QString columnsOf(const QString &table)
{
    if (table == Notas::Table)
        return QStringList{Notas::Fecha, Notas::Hora, Notas::Texto, Notas::Nota, Notas::HoraAlarma}.join(u", ");
    if (table == Tareas::Table)
        return QStringList{Tareas::Fecha,     Tareas::Hora,        Tareas::Tarea,
                           Tareas::Terminada, Tareas::FechaAlarma, Tareas::HoraAlarma}
            .join(u", ");
    return QStringList{Telefonos::Nombre,    Telefonos::Tel1,      Telefonos::Tel2,      Telefonos::Tel3,
                       Telefonos::Fax,       Telefonos::Email1,    Telefonos::Email2,    Telefonos::Email3,
                       Telefonos::Direccion, Telefonos::Poblacion, Telefonos::Provincia, Telefonos::Pais}
        .join(u", ");
}

QDate storedDate(sqlite3_stmt *row, int column)
{
    const QVariant value = DateText::fromStored(Database::columnValue(row, column).toString());
    return value.typeId() == QMetaType::QDateTime ? value.toDateTime().date() : value.toDate();
}

// One row of table as an item's part, or nothing for a row the calendar has no place for.
std::optional<SyncPart> rowPart(const QString &table, sqlite3_stmt *row, const InterchangeLink &link)
{
    const auto text = [&](int column) { return Database::columnValue(row, column).toString(); };
    if (table == Notas::Table) {
        Entry entry;
        entry.date = DateText::toDate(text(1));
        entry.time = text(2);
        entry.text = text(3);
        entry.note = text(4);
        entry.alarmTime = text(5);
        return entry.date.isValid() ? std::optional(partOf(entry, link)) : std::nullopt;
    }
    if (table == Tareas::Table) {
        Task task;
        task.date = storedDate(row, 1);
        task.time = text(2);
        task.description = text(3);
        task.done = sqlite3_column_int(row, 4) != 0;
        task.alarmDate = storedDate(row, 5);
        task.alarmTime = text(6);
        return task.date.isValid() && !task.description.isEmpty() ? std::optional(partOf(task, link)) : std::nullopt;
    }
    Card card;
    for (int i = 0; i < Card::FieldCount; ++i)
        card.fields[size_t(i)] = text(i + 1);
    return card.name().isEmpty() ? std::nullopt : std::optional(partOf(card, link));
}

} // namespace

SyncLocal::SyncLocal(Diary &diary)
    : m_diary(diary)
{}

QString SyncLocal::newUid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral("@quillomar");
}

QString SyncLocal::tableOf(const QByteArray &text)
{
    if (text.contains("BEGIN:VCARD"))
        return Telefonos::Table;
    if (text.contains("BEGIN:VEVENT"))
        return Notas::Table;
    if (text.contains("BEGIN:VTODO"))
        return Tareas::Table;
    return {};
}

bool SyncLocal::fail(const QString &why)
{
    m_error = why;
    return false;
}

bool SyncLocal::begin()
{
    if (const QString why = m_diary.readOnly(); !why.isEmpty())
        return fail(why);
    if (const QString why = Database::writesRefused(m_diary.databaseFile()); !why.isEmpty())
        return fail(why);
    QString error;
    m_database = Database::open(m_diary.databaseFile(), &error);
    return m_database ? true : fail(error);
}

// Every item of table (or only the item uid), as the agenda holds it now.
bool SyncLocal::readItems(const QString &table, const QString &uid, QHash<QString, Item> *items)
{
    items->clear();
    if (!begin())
        return false;
    QHash<qint64, InterchangeLink> links;
    if (!InterchangeLinks(m_database).read(table, &links, uid))
        return fail(m_database->lastError());
    if (links.isEmpty())
        return true;
    QString rows = QStringLiteral("SELECT rowid, %1 FROM %2").arg(columnsOf(table), table);
    if (!uid.isNull()) {
        QStringList keys;
        for (auto it = links.cbegin(); it != links.cend(); ++it)
            keys << QString::number(it.key());
        rows += QStringLiteral(" WHERE rowid IN (%1)").arg(keys.join(u','));
    }
    QSet<qint64> present;
    if (!m_database->exec(rows, {}, [&](sqlite3_stmt *row) {
            const qint64 key = sqlite3_column_int64(row, 0);
            const auto link = links.constFind(key);
            if (link == links.constEnd())
                return true;
            const std::optional<SyncPart> part = rowPart(table, row, *link);
            if (!part)
                return true;
            present.insert(key);
            Item &item = (*items)[link->uid];
            item.table = table;
            item.uid = link->uid;
            item.parts.emplace(link->recurrence, *part);
            item.links.insert(link->recurrence, *link);
            item.rows.insert(key, link->recurrence);
            return true;
        }))
        return fail(m_database->lastError());
    if (table != Notas::Table)
        return true;
    // A deleted repetition of a series goes out as an EXDATE while the series is kept.
    QHash<QString, QByteArray> series;
    if (!InterchangeLinks(m_database).readSeries(&series))
        return fail(m_database->lastError());
    for (auto it = items->begin(); it != items->end(); ++it)
        it->series = series.value(it.key());
    for (const InterchangeLink &link : std::as_const(links))
        if (!present.contains(link.key) && !link.recurrence.isEmpty() && items->contains(link.uid))
            (*items)[link.uid].links.insert(link.recurrence, link);
    return true;
}

bool SyncLocal::parse(const QByteArray &text, Item *item)
{
    item->table = tableOf(text);
    if (item->table == Telefonos::Table) {
        const CardCodec::Read read = CardCodec::read(text);
        if (!read.error.isEmpty() || read.cards.empty())
            return false;
        const CardInterchange &card = read.cards.front();
        item->uid = card.uid;
        InterchangeLink link;
        link.table = item->table;
        link.uid = card.uid;
        link.kept = card.kept;
        item->parts.emplace(QString(), partOf(card.card, link));
        item->links.insert(QString(), link);
        return true;
    }
    if (item->table.isEmpty())
        return false;
    const CalendarReader::Result read = CalendarReader::read(text, QDate::currentDate());
    if (!read.error.isEmpty())
        return false;
    const auto add = [&](const SyncPart &part, const InterchangeLink &link) {
        if (item->uid.isEmpty())
            item->uid = link.uid;
        if (link.uid == item->uid) {
            item->parts.emplace(link.recurrence, part);
            item->links.insert(link.recurrence, link);
        }
    };
    if (item->table == Notas::Table)
        for (const ImportPlan::EntryItem &entry : read.plan.entries)
            add(partOf(entry.entry, entry.link), entry.link);
    else
        for (const ImportPlan::TaskItem &task : read.plan.tasks)
            add(partOf(task.task, task.link), task.link);
    item->series = read.plan.series.value(item->uid);
    return !item->parts.empty();
}

// Makes the item's rows here hold its parts, each with its link; rows of parts it no longer has
// are deleted. Within the caller's transaction.
bool SyncLocal::write(const Item &item)
{
    QHash<QString, Item> found;
    if (!readItems(item.table, item.uid, &found))
        return false;
    const Item here = found.value(item.uid);
    QHash<QString, qint64> rowOf;
    for (auto it = here.rows.cbegin(); it != here.rows.cend(); ++it)
        rowOf.insert(it.value(), it.key());
    InterchangeLinks links(m_database);
    for (const auto &[key, part] : item.parts) {
        InterchangeLink link = item.links.value(key);
        link.table = item.table;
        link.uid = item.uid;
        link.recurrence = key;
        qint64 row = rowOf.value(key, -1);
        StoreResult result = StoreResult::ok();
        if (item.table == Notas::Table) {
            Entry entry = entryOf(part, &link);
            entry.numero = row;
            result = row > 0 ? m_diary.entries().update(entry) : m_diary.entries().add(entry);
        } else if (item.table == Tareas::Table) {
            Task task = taskOf(part, &link);
            // No two tasks have the same text: a task here with it is this one.
            if (row <= 0)
                row = m_diary.tasks().keyOf(task.description);
            task.key = row;
            result = row > 0 ? m_diary.tasks().update(task) : m_diary.tasks().add(task);
        } else {
            Card card = cardOf(part, &link);
            card.key = row;
            result = row > 0 ? m_diary.cards().update(card) : m_diary.cards().add(card);
        }
        if (!result)
            return fail(result.why());
        link.key = result.key();
        if (!links.put(link))
            return fail(m_database->lastError());
    }
    for (auto it = here.rows.cbegin(); it != here.rows.cend(); ++it) {
        if (item.parts.count(it.value()))
            continue;
        Item gone;
        gone.table = item.table;
        gone.rows.insert(it.key(), it.value());
        if (!removeRows(gone))
            return false;
    }
    if (!item.series.isEmpty() && !links.putSeries(item.uid, item.series))
        return fail(m_database->lastError());
    return true;
}

bool SyncLocal::removeRows(const Item &item)
{
    for (auto it = item.rows.cbegin(); it != item.rows.cend(); ++it) {
        const StoreResult result = item.table == Notas::Table ? m_diary.entries().remove(it.key())
            : item.table == Tareas::Table                     ? m_diary.tasks().remove(it.key())
                                                              : m_diary.cards().remove(it.key());
        if (!result)
            return fail(result.why());
        if (!m_database->write(QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND %3 = ?")
                                   .arg(Intercambio::Table, Intercambio::Tabla, Intercambio::Clave),
                               {item.table, it.key()}))
            return fail(m_database->lastError());
    }
    return true;
}

QByteArray SyncLocal::textOf(const Item &item)
{
    const QDateTime now = QDateTime::currentDateTime();
    if (item.table == Telefonos::Table) {
        std::vector<CardInterchange> cards;
        for (const auto &[key, part] : item.parts) {
            InterchangeLink link;
            const Card card = cardOf(part, &link);
            cards.push_back({card, item.uid, link.kept});
        }
        return CardCodec::write(cards);
    }
    std::vector<CalendarWriter::EntryItem> entries;
    std::vector<CalendarWriter::TaskItem> tasks;
    QHash<QString, QByteArray> series;
    QHash<QString, QStringList> gone;
    if (!item.series.isEmpty())
        series.insert(item.uid, item.series);
    for (auto it = item.links.cbegin(); it != item.links.cend(); ++it)
        if (!it.key().isEmpty() && !item.parts.count(it.key()))
            gone[item.uid] << it.key();
    for (const auto &[key, part] : item.parts) {
        InterchangeLink link = item.links.value(key);
        link.uid = item.uid;
        link.recurrence = key;
        if (item.table == Notas::Table) {
            const Entry entry = entryOf(part, &link);
            entries.push_back({entry, link});
        } else {
            const Task task = taskOf(part, &link);
            tasks.push_back({task, link});
        }
    }
    return CalendarWriter::write(entries, tasks, series, gone, now);
}

bool SyncLocal::putState(const QString &collection, const State &state)
{
    if (m_database->write(QStringLiteral("INSERT OR REPLACE INTO %1 (%2, %3, %4, %5, %6, %7, %8) "
                                         "VALUES (?, ?, ?, ?, ?, ?, ?)")
                              .arg(Kept::Table, Kept::Coleccion, Kept::Href, Kept::Tabla, Kept::Uid, Kept::Etag,
                                   Kept::Huella, Kept::Base),
                          {collection, state.href, state.table, state.uid, state.etag, QString::fromLatin1(state.hash),
                           QString::fromUtf8(state.base)}))
        return true;
    return fail(m_database->lastError());
}

bool SyncLocal::scan(const QString &collection, const QStringList &tables, Scan *scan)
{
    *scan = {};
    if (!begin())
        return false;
    // Items that never had a UID get one now, kept before anything goes out under it.
    std::vector<InterchangeLink> made;
    for (const QString &table : tables) {
        QHash<qint64, InterchangeLink> links;
        if (!InterchangeLinks(m_database).read(table, &links))
            return fail(m_database->lastError());
        if (!m_database->exec(QStringLiteral("SELECT rowid, %1 FROM %2").arg(columnsOf(table), table), {},
                              [&](sqlite3_stmt *row) {
                                  InterchangeLink link;
                                  link.table = table;
                                  link.key = sqlite3_column_int64(row, 0);
                                  if (!links.contains(link.key) && rowPart(table, row, link)) {
                                      link.uid = newUid();
                                      made.push_back(link);
                                  }
                                  return true;
                              }))
            return fail(m_database->lastError());
    }
    if (!made.empty()) {
        DiaryTransaction transaction(*m_database, m_diary);
        if (!transaction.begin(Database::SchemaVersion))
            return fail(m_database->lastError());
        InterchangeLinks links(m_database);
        for (const InterchangeLink &link : made)
            if (!links.put(link))
                return fail(m_database->lastError());
        if (!transaction.commit())
            return fail(m_database->lastError());
    }
    for (const QString &table : tables) {
        QHash<QString, Item> items;
        if (!readItems(table, QString(), &items))
            return false;
        for (const Item &item : std::as_const(items)) {
            scan->items.insert(item.uid, SyncMerge::hash(item.parts));
            scan->tables.insert(item.uid, table);
        }
    }
    bool ok = false;
    if (!m_database
             ->scalar(QStringLiteral("SELECT name FROM sqlite_schema WHERE type='table' AND name=?"), {Kept::Table},
                      &ok)
             .isValid())
        return ok ? true : fail(m_database->lastError());
    if (!m_database->exec(QStringLiteral("SELECT %1, %2, %3, %4, %5, %6 FROM %7 WHERE %8 = ?")
                              .arg(Kept::Href, Kept::Tabla, Kept::Uid, Kept::Etag, Kept::Huella, Kept::Base,
                                   Kept::Table, Kept::Coleccion),
                          {collection}, [&](sqlite3_stmt *row) {
                              State state;
                              state.href = Database::columnValue(row, 0).toString();
                              state.table = Database::columnValue(row, 1).toString();
                              state.uid = Database::columnValue(row, 2).toString();
                              state.etag = Database::columnValue(row, 3).toString();
                              state.hash = Database::columnValue(row, 4).toString().toLatin1();
                              state.base = Database::columnValue(row, 5).toString().toUtf8();
                              scan->states.insert(state.href, state);
                              return true;
                          }))
        return fail(m_database->lastError());
    return token(collection, &scan->token);
}

bool SyncLocal::token(const QString &collection, QString *token)
{
    token->clear();
    if (!begin())
        return false;
    bool ok = false;
    if (!m_database
             ->scalar(QStringLiteral("SELECT name FROM sqlite_schema WHERE type='table' AND name=?"),
                      {Colecciones::Table}, &ok)
             .isValid())
        return ok ? true : fail(m_database->lastError());
    *token = m_database
                 ->scalar(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                              .arg(Colecciones::Token, Colecciones::Table, Colecciones::Coleccion),
                          {collection}, &ok)
                 .toString();
    return ok ? true : fail(m_database->lastError());
}

SyncLocal::Item SyncLocal::conflictCopy(const Item &item, const SyncPart &part, QString *line)
{
    Item copy;
    copy.table = item.table;
    copy.uid = newUid();
    SyncPart kept = part;
    const int field = textField(item.table);
    const QString text = kept.fields.value(field);
    // An entry's text has a width of its own in the agenda: the mark must still fit.
    QString cut = text;
    if (item.table == Notas::Table) {
        const TableSchema *schema = TableSchema::find(Notas::Table);
        const int width = schema->columns[size_t(schema->indexOf(Notas::Texto))].width;
        if (cut.size() + ConflictMark.size() > width) {
            cut = cut.left(width - ConflictMark.size() - 1);
            if (!cut.isEmpty() && cut.back().isHighSurrogate())
                cut.chop(1);
            cut += QChar(0x2026);
        }
    }
    kept.fields[field] = cut + ConflictMark;
    copy.parts.emplace(QString(), kept);
    *line = QStringLiteral("«%1» se cambió aquí y en el servidor: se queda la versión del servidor, y la de este "
                           "equipo como «%2»")
                .arg(text, kept.fields[field]);
    return copy;
}

namespace {

// A new item's place in the collection: a name of the program's own made from its UID (never the
// UID itself, which servers may write back encoded otherwise), so that a pass cut short after
// the server took the item sends it again to the same place, where If-None-Match finds it,
// instead of a second copy the server refuses for its UID.
QString hrefIn(const QString &collection, const QString &table, const QString &uid)
{
    const QString path = QUrl(collection).path(QUrl::FullyEncoded);
    return (path.endsWith(u'/') ? path : path + u'/') +
        QString::fromLatin1(QCryptographicHash::hash(uid.toUtf8(), QCryptographicHash::Sha1).toHex()) +
        (table == Schema::Telefonos::Table ? QStringLiteral(".vcf") : QStringLiteral(".ics"));
}

} // namespace

bool SyncLocal::receive(const QString &collection, const State *state, const DavItem &item, const QStringList &tables,
                        Outcome *outcome)
{
    *outcome = {};
    if (!begin())
        return false;
    Item there;
    if (!parse(item.data, &there) || !tables.contains(there.table) || there.uid.isEmpty()) {
        // Nothing the diary takes (or cannot read): remembered, so it is not fetched again until
        // it changes.
        DiaryTransaction transaction(*m_database, m_diary);
        outcome->state = {item.href, {}, {}, item.etag, {}, {}};
        if (!transaction.begin(Database::SchemaVersion) || !putState(collection, outcome->state) ||
            !transaction.commit())
            return fail(m_error.isEmpty() ? m_database->lastError() : m_error);
        return true;
    }
    Item base;
    if (state && state->table == there.table && !state->base.isEmpty())
        parse(state->base, &base);
    QHash<QString, Item> found;
    if (!readItems(there.table, there.uid, &found))
        return false;
    const bool present = found.contains(there.uid);
    const Item here = found.value(there.uid);
    using SyncMerge::Side;
    const bool known = state && state->table == there.table && state->uid == there.uid;
    const Side hereSide = !present                            ? Side::Gone
        : known && SyncMerge::hash(here.parts) == state->hash ? Side::Same
                                                              : Side::Changed;
    const Side thereSide = known && base.parts == there.parts ? Side::Same : Side::Changed;
    outcome->action = SyncMerge::decide(hereSide, thereSide);

    State next{item.href, there.table, there.uid, item.etag, SyncMerge::hash(there.parts), item.data};
    DiaryTransaction transaction(*m_database, m_diary);
    if (!transaction.begin(Database::SchemaVersion))
        return fail(m_database->lastError());
    using SyncMerge::Action;
    Item merged = there;
    std::vector<Item> copies;
    switch (outcome->action) {
    case Action::Nothing:
    case Action::Send:
        // The server's text says what it said, in other words: it is the base from now on.
        next.hash = state->hash;
        break;
    case Action::Receive:
        if (!write(there))
            return false;
        break;
    default: {
        const SyncMerge::Merged result = SyncMerge::merge(base.parts, here.parts, there.parts);
        merged.parts = result.parts;
        for (auto it = here.links.cbegin(); it != here.links.cend(); ++it)
            if (!merged.links.contains(it.key()))
                merged.links.insert(it.key(), it.value());
        if (merged.series.isEmpty())
            merged.series = here.series;
        if (!write(merged))
            return false;
        for (const auto &[key, part] : result.conflicts) {
            QString line;
            copies.push_back(conflictCopy(here, part, &line));
            if (!write(copies.back()))
                return false;
            outcome->conflicts << line;
        }
        break;
    }
    }
    if (!putState(collection, next) || !transaction.commit())
        return fail(m_error.isEmpty() ? m_database->lastError() : m_error);
    outcome->state = next;

    if (outcome->action == Action::Send)
        outcome->sends << Outgoing{item.href, item.etag,    here.table,
                                   here.uid,  textOf(here), SyncMerge::hash(here.parts)};
    if (outcome->action == Action::Merge && !(SyncMerge::hash(merged.parts) == SyncMerge::hash(there.parts)))
        outcome->sends << Outgoing{item.href,  item.etag,      merged.table,
                                   merged.uid, textOf(merged), SyncMerge::hash(merged.parts)};
    for (const Item &copy : copies)
        outcome->sends << Outgoing{hrefIn(collection, copy.table, copy.uid),
                                   {},
                                   copy.table,
                                   copy.uid,
                                   textOf(copy),
                                   SyncMerge::hash(copy.parts)};
    return true;
}

bool SyncLocal::outgoing(const QString &collection, const QString &table, const QString &uid, Outgoing *outgoing)
{
    QHash<QString, Item> found;
    if (!readItems(table, uid, &found))
        return false;
    if (!found.contains(uid))
        return fail(QStringLiteral("el elemento ya no está en la agenda"));
    const Item &item = found[uid];
    outgoing->table = table;
    outgoing->uid = uid;
    if (outgoing->href.isEmpty())
        outgoing->href = hrefIn(collection, table, uid);
    outgoing->text = textOf(item);
    outgoing->hash = SyncMerge::hash(item.parts);
    return true;
}

bool SyncLocal::sent(const QString &collection, const Outgoing &outgoing, const QString &etag)
{
    if (!begin())
        return false;
    DiaryTransaction transaction(*m_database, m_diary);
    if (!transaction.begin(Database::SchemaVersion))
        return fail(m_database->lastError());
    if (!putState(collection, {outgoing.href, outgoing.table, outgoing.uid, etag, outgoing.hash, outgoing.text}))
        return false;
    return transaction.commit() ? true : fail(m_database->lastError());
}

bool SyncLocal::removeHere(const QString &collection, const State &state)
{
    QHash<QString, Item> found;
    if (!readItems(state.table, state.uid, &found))
        return false;
    DiaryTransaction transaction(*m_database, m_diary);
    if (!transaction.begin(Database::SchemaVersion))
        return fail(m_database->lastError());
    if (found.contains(state.uid) && !removeRows(found[state.uid]))
        return false;
    // The links of deleted repetitions go with their series.
    if (!m_database->write(QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND %3 = ?")
                               .arg(Intercambio::Table, Intercambio::Tabla, Intercambio::Uid),
                           {state.table, state.uid}))
        return fail(m_database->lastError());
    if (!m_database->write(
            QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND %3 = ?").arg(Kept::Table, Kept::Coleccion, Kept::Href),
            {collection, state.href}))
        return fail(m_database->lastError());
    return transaction.commit() ? true : fail(m_database->lastError());
}

bool SyncLocal::forget(const QString &collection, const QString &href)
{
    if (!begin())
        return false;
    DiaryTransaction transaction(*m_database, m_diary);
    if (!transaction.begin(Database::SchemaVersion) ||
        !m_database->write(
            QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND %3 = ?").arg(Kept::Table, Kept::Coleccion, Kept::Href),
            {collection, href}) ||
        !transaction.commit())
        return fail(m_database->lastError());
    return true;
}

bool SyncLocal::saveToken(const QString &collection, const QString &token)
{
    if (!begin())
        return false;
    DiaryTransaction transaction(*m_database, m_diary);
    if (!transaction.begin(Database::SchemaVersion) ||
        !m_database->write(QStringLiteral("INSERT OR REPLACE INTO %1 (%2, %3) VALUES (?, ?)")
                               .arg(Colecciones::Table, Colecciones::Coleccion, Colecciones::Token),
                           {collection, token}) ||
        !transaction.commit())
        return fail(m_database->lastError());
    return true;
}
