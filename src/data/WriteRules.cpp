#include "WriteRules.h"

#include "store/Criterion.h"
#include "store/Database.h"
#include "store/RecordCursor.h"
#include "store/TableSchema.h"

namespace WriteRules {

QString whyNotWritable(RecordCursor &cursor)
{
    if (const QString refused = Database::writesRefused(cursor.DatabaseName); !refused.isEmpty())
        return refused;
    if (!cursor.isOpen() && !cursor.Refresh())
        return cursor.lastError().isEmpty() ? QStringLiteral("la agenda no está abierta") : cursor.lastError();
    return {};
}

bool openOn(RecordCursor &cursor, const QString &databaseFile, const QString &table)
{
    cursor.DatabaseName = databaseFile;
    cursor.RecordSource = table;
    return cursor.Refresh();
}

StoreResult failure(RecordCursor &cursor)
{
    const QString why = cursor.lastError();
    cursor.CancelUpdate();
    return StoreResult::failed(why.isEmpty() ? QStringLiteral("error desconocido") : why);
}

QString whyTooLong(const QString &table, const QString &column, const QString &value, const QString &what)
{
    const TableSchema *schema = TableSchema::find(table);
    const int position = schema ? schema->indexOf(column) : -1;
    if (position < 0)
        return {};
    const ColumnSchema &stored = schema->columns[size_t(position)];
    if (stored.kind != ColumnKind::Text || value.size() <= stored.width)
        return {};
    return QStringLiteral("%1 admite %2 caracteres como mucho").arg(what).arg(stored.width);
}

Lookup findRow(RecordCursor &cursor, const QString &column, const QVariant &value, QString *why)
{
    const auto unreadable = [&](const QString &reason) {
        *why = reason.isEmpty() ? QStringLiteral("la agenda no se ha podido leer") : reason;
        return Lookup::Unreadable;
    };
    if (!cursor.isOpen() && !cursor.Refresh())
        return unreadable(cursor.lastError());
    const bool number = value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int;
    const Criterion criterion =
        number ? Criterion::numberEquals(column, value.toLongLong()) : Criterion::textEquals(column, value.toString());
    if (cursor.FindFirst(criterion) && !cursor.NoMatch())
        return Lookup::Found;
    if (!cursor.isOpen())
        return unreadable(cursor.lastError());
    // Asked once more on its own, the file says whether the row is there.
    const std::shared_ptr<Database> db = Database::open(cursor.DatabaseName, nullptr);
    bool ok = false;
    const QVariant row = db
        ? db->scalar(QStringLiteral("SELECT 1 FROM \"%1\" WHERE \"%2\" = ?").arg(cursor.RecordSource, column), {value},
                     &ok)
        : QVariant();
    if (!ok || row.isValid())
        return unreadable(ok || !db ? cursor.lastError() : db->lastError());
    return Lookup::Absent;
}

} // namespace WriteRules
