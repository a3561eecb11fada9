#include "Interchange.h"

#include "CalendarReader.h"
#include "CalendarWriter.h"
#include "CardCodec.h"
#include "DiaryTransaction.h"
#include "InterchangeLinks.h"
#include "data/CardStore.h"
#include "data/DateText.h"
#include "data/Diary.h"
#include "data/EntryStore.h"
#include "data/Schema.h"
#include "data/TaskStore.h"
#include "data/store/Database.h"

#include <QFileInfo>
#include <QUuid>
#include <sqlite3.h>

namespace {

QString plural(int count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QString::fromUtf8(count == 1 ? one : many));
}

QString newUid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral("@quillomar");
}

// Where a linked item is found again: its UID, and for a series' entry which repetition.
QString linkKey(const QString &uid, const QString &recurrence)
{
    return uid + QChar(0x1F) + recurrence;
}

// A card's whole content, for a card whose file gave it no UID.
QString contentKey(const Card &card, const QByteArray &kept)
{
    return QString::fromLatin1(CardInterchange{card, {}, kept}.contentKey());
}

} // namespace

Interchange::Interchange(Diary &diary)
    : m_diary(diary)
{}

Interchange::Prepared Interchange::prepare(const QString &path, const QDate &today)
{
    Prepared prepared;
    const InterchangeFile::Checked checked = InterchangeFile::read(path);
    prepared.format = checked.format;
    if (!checked.error.isEmpty()) {
        prepared.error = checked.error;
        prepared.line = checked.line;
        return prepared;
    }
    if (checked.format == InterchangeFile::Format::Calendar) {
        CalendarReader::Result read = CalendarReader::read(checked.text, today);
        prepared.plan = std::move(read.plan);
        prepared.error = read.error;
        prepared.line = read.line;
        return prepared;
    }
    CardCodec::Read read = CardCodec::read(checked.text);
    prepared.error = read.error;
    prepared.line = read.line;
    prepared.plan.kept = read.kept;
    for (CardInterchange &card : read.cards) {
        InterchangeLink link;
        link.table = Schema::Telefonos::Table;
        link.uid = card.uid;
        link.kept = card.kept;
        prepared.plan.cards.push_back({card.card, link});
    }
    return prepared;
}

QString Interchange::refusal(const QString &path, const Prepared &prepared)
{
    const QString name = QFileInfo(path).fileName();
    if (prepared.line > 0)
        return QStringLiteral("No se puede importar %1 (línea %2): %3.")
            .arg(name)
            .arg(prepared.line)
            .arg(prepared.error);
    return QStringLiteral("No se puede importar %1: %2.").arg(name, prepared.error);
}

QString Interchange::describe(const ImportPlan &plan)
{
    QStringList parts;
    if (!plan.entries.empty() || (plan.tasks.empty() && plan.cards.empty()))
        parts << plural(int(plan.entries.size()), "entrada", "entradas");
    if (!plan.series.isEmpty()) {
        const auto repeated = std::count_if(plan.entries.begin(), plan.entries.end(), [&](const auto &item) {
            return !item.link.recurrence.isEmpty() && plan.series.contains(item.link.uid);
        });
        parts.last() += QStringLiteral(" (%1 de ").arg(repeated) + plural(int(plan.series.size()), "serie", "series") +
            QLatin1Char(')');
    }
    if (!plan.tasks.empty())
        parts << plural(int(plan.tasks.size()), "tarea", "tareas");
    if (!plan.cards.empty())
        parts << plural(int(plan.cards.size()), "ficha", "fichas");
    QString text = parts.join(QStringLiteral(", "));
    if (plan.unexpanded > 0)
        text += QStringLiteral("; ") + plural(plan.unexpanded, "repetición queda", "repeticiones quedan") +
            QStringLiteral(" fuera por los límites de las series");
    if (plan.alarmsNotSet > 0)
        text += QStringLiteral("; ") + plural(plan.alarmsNotSet, "alarma", "alarmas") +
            QStringLiteral(" en otro día que su entrada no se pone");
    if (!plan.kept.isEmpty()) {
        QStringList kept;
        for (auto it = plan.kept.cbegin(); it != plan.kept.cend(); ++it)
            kept << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
        text += QStringLiteral("; se guarda sin sitio en el programa: ") + kept.join(QStringLiteral(", "));
    }
    return text;
}

QString Interchange::summary(const QString &path, const ImportPlan &plan, const Counts &counts)
{
    return QStringLiteral("Importado %1: %2 (%3 nuevos, %4 actualizados, %5 sin cambios).")
        .arg(QFileInfo(path).fileName(), describe(plan))
        .arg(counts.added)
        .arg(counts.updated)
        .arg(counts.unchanged);
}

StoreResult Interchange::apply(const ImportPlan &plan, Counts *counts)
{
    Counts local;
    Counts &tally = counts ? *counts : local;
    tally = {};
    if (const QString why = m_diary.readOnly(); !why.isEmpty())
        return StoreResult::refused(why);
    if (const QString why = Database::writesRefused(m_diary.databaseFile()); !why.isEmpty())
        return StoreResult::refused(why);
    QString error;
    const std::shared_ptr<Database> database = Database::open(m_diary.databaseFile(), &error);
    if (!database)
        return StoreResult::failed(error);
    DiaryTransaction transaction(*database, m_diary);
    if (!transaction.begin(Database::InterchangeSchemaVersion))
        return StoreResult::failed(database->lastError());
    InterchangeLinks links(database);

    // Writes one item found by its link (or by find, for items matched otherwise), and its link.
    QHash<QString, qint64> linked;
    QHash<qint64, InterchangeLink> stored;
    const auto readLinks = [&](const QString &table) {
        linked.clear();
        if (!links.read(table, &stored))
            return false;
        for (const InterchangeLink &link : std::as_const(stored))
            linked.insert(linkKey(link.uid, link.recurrence), link.key);
        return true;
    };
    const auto link = [&](InterchangeLink link, qint64 key) {
        link.key = key;
        linked.insert(linkKey(link.uid, link.recurrence), key);
        if (stored.value(key) == link)
            return true;
        stored.insert(key, link);
        return links.put(link);
    };
    const auto tell = [&](const StoreResult &result, bool added, bool changed) {
        if (!result)
            return false;
        ++(added ? tally.added : changed ? tally.updated : tally.unchanged);
        return true;
    };

    if (!readLinks(Schema::Notas::Table))
        return StoreResult::failed(database->lastError());
    for (const ImportPlan::EntryItem &item : plan.entries) {
        Entry entry = item.entry;
        const qint64 key = linked.value(linkKey(item.link.uid, item.link.recurrence), -1);
        QString unreadable;
        const std::optional<Entry> old = key > 0 ? m_diary.entries().find(key, &unreadable) : std::nullopt;
        if (!unreadable.isEmpty())
            return StoreResult::failed(unreadable);
        entry.numero = old ? key : -1;
        const StoreResult result = old ? m_diary.entries().update(entry) : m_diary.entries().add(entry);
        if (!tell(result, !old, old && !(*old == entry)))
            return result;
        if (!link(item.link, result.key()))
            return StoreResult::failed(database->lastError());
    }
    for (auto it = plan.series.cbegin(); it != plan.series.cend(); ++it)
        if (!links.putSeries(it.key(), it.value()))
            return StoreResult::failed(database->lastError());

    if (!readLinks(Schema::Tareas::Table))
        return StoreResult::failed(database->lastError());
    for (const ImportPlan::TaskItem &item : plan.tasks) {
        Task task = item.task;
        qint64 key = linked.value(linkKey(item.link.uid, {}), -1);
        std::optional<Task> old = key > 0 ? m_diary.tasks().task(key) : std::nullopt;
        // No two tasks have the same text: the one that has it is this one.
        if (!old && (key = m_diary.tasks().keyOf(task.description)) > 0)
            old = m_diary.tasks().task(key);
        task.key = old ? old->key : -1;
        const StoreResult result = old ? m_diary.tasks().update(task) : m_diary.tasks().add(task);
        if (!tell(result, !old, old && !(*old == task)))
            return result;
        if (!link(item.link, result.key()))
            return StoreResult::failed(database->lastError());
    }

    if (!plan.cards.empty()) {
        if (!readLinks(Schema::Telefonos::Table))
            return StoreResult::failed(database->lastError());
        // A card without a UID is the stored card with the same content, if there is one.
        QHash<QString, qint64> byContent;
        QHash<qint64, Card> cards;
        const QString columns =
            QStringLiteral("rowid, \"%1\", \"%2\", \"%3\", \"%4\", \"%5\", \"%6\", \"%7\", \"%8\", "
                           "\"%9\", \"%10\", \"%11\", \"%12\"")
                .arg(Schema::Telefonos::Nombre, Schema::Telefonos::Tel1, Schema::Telefonos::Tel2,
                     Schema::Telefonos::Tel3, Schema::Telefonos::Fax, Schema::Telefonos::Email1,
                     Schema::Telefonos::Email2, Schema::Telefonos::Email3, Schema::Telefonos::Direccion)
                .arg(Schema::Telefonos::Poblacion, Schema::Telefonos::Provincia, Schema::Telefonos::Pais);
        if (!database->exec(QStringLiteral("SELECT %1 FROM %2").arg(columns, Schema::Telefonos::Table), {},
                            [&](sqlite3_stmt *row) {
                                Card card;
                                card.key = sqlite3_column_int64(row, 0);
                                for (int i = 0; i < Card::FieldCount; ++i)
                                    card.fields[size_t(i)] = Database::columnValue(row, i + 1).toString();
                                cards.insert(card.key, card);
                                byContent.insert(contentKey(card, stored.value(card.key).kept), card.key);
                                return true;
                            }))
            return StoreResult::failed(database->lastError());
        for (const ImportPlan::CardItem &item : plan.cards) {
            Card card = item.card;
            InterchangeLink cardLink = item.link;
            qint64 key = cardLink.uid.isEmpty() ? byContent.value(contentKey(card, cardLink.kept), -1)
                                                : linked.value(linkKey(cardLink.uid, {}), -1);
            if (!cards.contains(key))
                key = -1;
            if (cardLink.uid.isEmpty())
                cardLink.uid = key > 0 && !stored.value(key).uid.isEmpty() ? stored.value(key).uid : newUid();
            card.key = key;
            const StoreResult result = key > 0 ? m_diary.cards().update(card) : m_diary.cards().add(card);
            if (!tell(result, key <= 0, key > 0 && !(cards.value(key) == card)))
                return result;
            card.key = result.key();
            cards.insert(card.key, card);
            byContent.insert(contentKey(card, cardLink.kept), card.key);
            if (!link(cardLink, result.key()))
                return StoreResult::failed(database->lastError());
        }
    }
    if (!transaction.commit())
        return StoreResult::failed(database->lastError());
    return StoreResult::ok();
}

StoreResult Interchange::exportTo(const QString &path, const QDateTime &now, int *items)
{
    const InterchangeFile::Format format = InterchangeFile::formatOf(path);
    if (format == InterchangeFile::Format::Unknown)
        return StoreResult::refused(QStringLiteral("el nombre del archivo debe acabar en .ics o en .vcf"));
    QString error;
    const std::shared_ptr<Database> database = Database::open(m_diary.databaseFile(), &error);
    if (!database)
        return StoreResult::failed(error);
    InterchangeLinks links(database);
    QHash<qint64, InterchangeLink> stored;
    std::vector<InterchangeLink> made; // items given their UID now
    const auto linkOf = [&](const QString &table, qint64 key) {
        InterchangeLink link = stored.value(key);
        if (link.uid.isEmpty()) {
            link.table = table;
            link.key = key;
            link.uid = newUid();
            made.push_back(link);
        }
        return link;
    };
    QByteArray text;
    int count = 0;
    if (format == InterchangeFile::Format::Calendar) {
        using namespace Schema;
        std::vector<CalendarWriter::EntryItem> entries;
        std::vector<CalendarWriter::TaskItem> tasks;
        QHash<QString, QByteArray> series;
        QHash<QString, QStringList> gone;
        if (!links.read(Notas::Table, &stored) || !links.readSeries(&series))
            return StoreResult::failed(database->lastError());
        QSet<qint64> present;
        const bool read = database->exec(QStringLiteral("SELECT %1, %2, %3, %4, %5, %6 FROM %7 ORDER BY %1")
                                             .arg(Notas::Numero, Notas::Fecha, Notas::Hora, Notas::Texto, Notas::Nota,
                                                  Notas::HoraAlarma, Notas::Table),
                                         {}, [&](sqlite3_stmt *row) {
                                             Entry entry;
                                             entry.numero = sqlite3_column_int64(row, 0);
                                             entry.date = DateText::toDate(Database::columnValue(row, 1).toString());
                                             entry.time = Database::columnValue(row, 2).toString();
                                             entry.text = Database::columnValue(row, 3).toString();
                                             entry.note = Database::columnValue(row, 4).toString();
                                             entry.alarmTime = Database::columnValue(row, 5).toString();
                                             // An entry another program left without a date cannot be placed in a
                                             // calendar.
                                             if (entry.date.isValid()) {
                                                 present.insert(entry.numero);
                                                 entries.push_back({entry, linkOf(Notas::Table, entry.numero)});
                                             }
                                             return true;
                                         });
        if (!read)
            return StoreResult::failed(database->lastError());
        for (const InterchangeLink &link : std::as_const(stored))
            if (!link.recurrence.isEmpty() && !present.contains(link.key))
                gone[link.uid] << link.recurrence;
        if (!links.read(Tareas::Table, &stored))
            return StoreResult::failed(database->lastError());
        const bool readTasks = database->exec(
            QStringLiteral("SELECT rowid, %1, %2, %3, %4, %5, %6 FROM %7 ORDER BY rowid")
                .arg(Tareas::Fecha, Tareas::Hora, Tareas::Tarea, Tareas::Terminada, Tareas::FechaAlarma,
                     Tareas::HoraAlarma, Tareas::Table),
            {}, [&](sqlite3_stmt *row) {
                Task task;
                task.key = sqlite3_column_int64(row, 0);
                const auto dateOf = [&](int column) {
                    const QVariant value = DateText::fromStored(Database::columnValue(row, column).toString());
                    return value.typeId() == QMetaType::QDateTime ? value.toDateTime().date() : value.toDate();
                };
                task.date = dateOf(1);
                task.time = Database::columnValue(row, 2).toString();
                task.description = Database::columnValue(row, 3).toString();
                task.done = sqlite3_column_int(row, 4) != 0;
                task.alarmDate = dateOf(5);
                task.alarmTime = Database::columnValue(row, 6).toString();
                if (task.date.isValid() && !task.description.isEmpty())
                    tasks.push_back({task, linkOf(Tareas::Table, task.key)});
                return true;
            });
        if (!readTasks)
            return StoreResult::failed(database->lastError());
        text = CalendarWriter::write(entries, tasks, series, gone, now);
        count = int(entries.size() + tasks.size());
    } else {
        using namespace Schema::Telefonos;
        if (!links.read(Table, &stored))
            return StoreResult::failed(database->lastError());
        std::vector<CardInterchange> cards;
        const bool read = database->exec(
            QStringLiteral("SELECT rowid, \"%1\", \"%2\", \"%3\", \"%4\", \"%5\", \"%6\", \"%7\", \"%8\", \"%9\", "
                           "\"%10\", \"%11\", \"%12\" FROM %13 ORDER BY rowid")
                .arg(Nombre, Tel1, Tel2, Tel3, Fax, Email1, Email2, Email3, Direccion)
                .arg(Poblacion, Provincia, Pais, Table),
            {}, [&](sqlite3_stmt *row) {
                Card card;
                card.key = sqlite3_column_int64(row, 0);
                for (int i = 0; i < Card::FieldCount; ++i)
                    card.fields[size_t(i)] = Database::columnValue(row, i + 1).toString();
                // A card never saved has no name and is no one's.
                if (!card.name().isEmpty()) {
                    const InterchangeLink link = linkOf(Table, card.key);
                    cards.push_back({card, link.uid, link.kept});
                }
                return true;
            });
        if (!read)
            return StoreResult::failed(database->lastError());
        text = CardCodec::write(cards);
        count = int(cards.size());
    }

    // The UIDs given now are kept, so the same items go out with the same UIDs next time; an
    // agenda that may not be written is exported all the same.
    if (!made.empty() && m_diary.readOnly().isEmpty() && Database::writesRefused(m_diary.databaseFile()).isEmpty()) {
        DiaryTransaction transaction(*database, m_diary);
        if (!transaction.begin(Database::InterchangeSchemaVersion))
            return StoreResult::failed(database->lastError());
        for (const InterchangeLink &link : made)
            if (!links.put(link))
                return StoreResult::failed(database->lastError());
        if (!transaction.commit())
            return StoreResult::failed(database->lastError());
    }
    if (const QString why = InterchangeFile::write(path, text); !why.isEmpty())
        return StoreResult::failed(why);
    if (items)
        *items = count;
    return StoreResult::ok();
}
