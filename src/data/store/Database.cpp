#include "Database.h"

#include "ChangeLog.h"
#include "FailureText.h"
#include "SearchIndex.h"
#include "TableSchema.h"
#include "TextMatch.h"
#include "data/Schema.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <cerrno>
#include <sqlite3.h>
#include <unistd.h>

namespace {

QMap<QString, std::weak_ptr<Database>> &openFiles()
{
    static QMap<QString, std::weak_ptr<Database>> files;
    return files;
}

// The agendas this run writes nothing more to, by absolute path, with why. Kept apart from the
// open files: a damaged file's connection is dropped and a new one opened, which must refuse too.
QHash<QString, QString> &refusedFiles()
{
    static QHash<QString, QString> files;
    return files;
}

QString sqlType(ColumnKind kind)
{
    switch (kind) {
    case ColumnKind::Counter:
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case ColumnKind::YesNo:
        return QStringLiteral("INTEGER NOT NULL DEFAULT 0");
    case ColumnKind::Text:
    case ColumnKind::Memo:
    case ColumnKind::DateTime:
        return QStringLiteral("TEXT");
    }
    return QStringLiteral("TEXT");
}

// The indexes that keep the lookups by date quick, and the two of the task table.
const char *const IndexStatements[] = {
    "CREATE INDEX notas_fecha ON notas(fecha)",
    "CREATE INDEX dias_fecha ON dias(fecha)",
    "CREATE INDEX festivosfijos_fecha ON festivosfijos(fecha)",
    "CREATE INDEX tareas_fecha ON tareas(Fecha)",
    "CREATE INDEX tareas_alarma ON tareas(Fechaalarma, Horaalarma)",
};

// What version 2 added: the identity and the kept texts of imported and exported items, and the
// series they were expanded from.
const char *const Version2Statements[] = {
    "CREATE TABLE IF NOT EXISTS quillomar_intercambio (tabla TEXT NOT NULL, clave INTEGER NOT NULL, "
    "uid TEXT NOT NULL, recurrencia TEXT, conservado TEXT, duracion INTEGER, "
    "todoeldia INTEGER NOT NULL DEFAULT 0, huella TEXT, href TEXT, etag TEXT, base TEXT, "
    "PRIMARY KEY (tabla, clave))",
    "CREATE INDEX IF NOT EXISTS quillomar_intercambio_uid ON quillomar_intercambio(uid)",
    "CREATE TABLE IF NOT EXISTS quillomar_series (uid TEXT PRIMARY KEY, componente TEXT NOT NULL)",
};

// What version 3 added: what a sync with a CalDAV/CardDAV server remembers of each server item
// and of each collection at the last pass.
const char *const Version3Statements[] = {
    "CREATE TABLE IF NOT EXISTS quillomar_sincronizacion (coleccion TEXT NOT NULL, href TEXT NOT NULL, "
    "tabla TEXT NOT NULL, uid TEXT NOT NULL, etag TEXT, huella TEXT, base TEXT, PRIMARY KEY (coleccion, href))",
    "CREATE INDEX IF NOT EXISTS quillomar_sincronizacion_uid ON quillomar_sincronizacion(uid)",
    "CREATE TABLE IF NOT EXISTS quillomar_colecciones (coleccion TEXT PRIMARY KEY, token TEXT)",
};

// Case-insensitive text equality over all of Unicode: qm_equals(column, folded value).
void sqlEquals(sqlite3_context *context, int, sqlite3_value **args)
{
    if (sqlite3_value_type(args[0]) == SQLITE_NULL || sqlite3_value_type(args[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(args[0]));
    const size_t textLength = size_t(sqlite3_value_bytes(args[0]));
    const auto *folded = reinterpret_cast<const char *>(sqlite3_value_text(args[1]));
    const size_t foldedLength = size_t(sqlite3_value_bytes(args[1]));
    sqlite3_result_int(context, TextMatch::equalsFolded({text, textLength}, {folded, foldedLength}));
}

// Case-insensitive substring test: qm_contains(column, folded value).
void sqlContains(sqlite3_context *context, int, sqlite3_value **args)
{
    if (sqlite3_value_type(args[0]) == SQLITE_NULL || sqlite3_value_type(args[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(args[0]));
    const size_t textLength = size_t(sqlite3_value_bytes(args[0]));
    const auto *folded = reinterpret_cast<const char *>(sqlite3_value_text(args[1]));
    const size_t foldedLength = size_t(sqlite3_value_bytes(args[1]));
    sqlite3_result_int(context, TextMatch::containsFolded({text, textLength}, {folded, foldedLength}));
}

// Substring test that ignores letter case and the accents of vowels:
// qm_contains_loosely(column, value folded by TextMatch::foldAccents).
void sqlContainsLoosely(sqlite3_context *context, int, sqlite3_value **args)
{
    if (sqlite3_value_type(args[0]) == SQLITE_NULL || sqlite3_value_type(args[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(args[0]));
    const size_t textLength = size_t(sqlite3_value_bytes(args[0]));
    const auto *folded = reinterpret_cast<const char *>(sqlite3_value_text(args[1]));
    const size_t foldedLength = size_t(sqlite3_value_bytes(args[1]));
    sqlite3_result_int(context, TextMatch::containsAccentsFolded({text, textLength}, {folded, foldedLength}));
}

} // namespace

// Every entry this connection writes is told to the search index; writes by other connections
// show in PRAGMA data_version instead.
void Database::rowChanged(void *self, int, const char *, const char *table, qint64 rowid)
{
    auto *database = static_cast<Database *>(self);
    const QString name = QString::fromUtf8(table).toLower();
    ++database->m_tableWrites[name];
    if (database->m_searchIndex && name == Schema::Notas::Table)
        database->m_searchIndex->entryWritten(rowid);
}

Database::Database(QString path)
    : m_path(std::move(path))
{}

Database::~Database()
{
    m_searchIndex.reset();
    for (sqlite3_stmt *statement : std::as_const(m_statements))
        sqlite3_finalize(statement);
    if (m_db)
        sqlite3_close_v2(m_db);
}

std::shared_ptr<Database> Database::open(const QString &path, QString *error)
{
    const QString key = QFileInfo(path).absoluteFilePath();
    if (std::shared_ptr<Database> shared = openFiles().value(key).lock(); shared && !shared->damaged())
        return shared;

    std::shared_ptr<Database> database(new Database(key));
    if (!database->openFile(error))
        return nullptr;
    openFiles().insert(key, database);
    return database;
}

QString Database::examine(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return QStringLiteral("el archivo %1 no existe").arg(path);
    Database database(QFileInfo(path).absoluteFilePath());
    QString error;
    if (!database.openFile(&error, true))
        return error;
    bool ok = false;
    const int tables =
        database.scalar(QStringLiteral("SELECT count(*) FROM sqlite_schema WHERE type='table'"), {}, &ok).toInt();
    if (!ok)
        return database.lastError();
    if (tables == 0)
        return QStringLiteral("el archivo está vacío: no es una agenda de Quillomar");
    if (!database.checkSchema(&error))
        return error;
    const QString check = database.scalar(QStringLiteral("PRAGMA quick_check"), {}, &ok).toString();
    if (!ok)
        return database.lastError();
    if (check != QLatin1String("ok"))
        return FailureText::ofSqlite(SQLITE_CORRUPT);
    return {};
}

void Database::refuseWrites(const QString &path, const QString &why)
{
    const QString key = QFileInfo(path).absoluteFilePath();
    if (refusedFiles().contains(key))
        return;
    refusedFiles().insert(key, why);
    if (const std::shared_ptr<Database> shared = openFiles().value(key).lock())
        shared->refuseHere();
}

QString Database::writesRefused(const QString &path)
{
    return refusedFiles().value(QFileInfo(path).absoluteFilePath());
}

QString Database::whyReadOnly(const QString &path)
{
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    if (::access(QFile::encodeName(folder).constData(), W_OK) != 0) {
        const int error = errno;
        return error == EACCES || error == EPERM
            ? QStringLiteral("la carpeta %1 es de solo lectura").arg(QDir::toNativeSeparators(folder))
            : FailureText::ofSystem(error);
    }
    if (::access(QFile::encodeName(info.absoluteFilePath()).constData(), W_OK) != 0) {
        const int error = errno;
        return error == EACCES || error == EPERM ? QStringLiteral("el archivo es de solo lectura")
                                                 : FailureText::ofSystem(error);
    }
    return {};
}

// The connection itself refuses every change (query_only), so that no write can slip past,
// whichever way it is made; setError then gives the refusal's reason.
void Database::refuseHere()
{
    sqlite3_exec(m_db, "PRAGMA query_only = ON", nullptr, nullptr, nullptr);
}

bool Database::restoreFrom(const QString &copyPath)
{
    if (m_damaged) {
        m_lastError = QStringLiteral("el archivo %1 está dañado").arg(m_path);
        return false;
    }
    // A file that is not a whole agenda would leave the user with nothing where the diary was.
    if (const QString why = examine(copyPath); !why.isEmpty()) {
        m_lastError = QStringLiteral("la copia %1 no se puede restaurar: %2").arg(copyPath, why);
        return false;
    }
    sqlite3 *source = nullptr;
    if (const int rc = sqlite3_open_v2(copyPath.toUtf8().constData(), &source, SQLITE_OPEN_READONLY, nullptr);
        rc != SQLITE_OK) {
        m_lastError = FailureText::ofSqlite(rc, source ? sqlite3_system_errno(source) : 0);
        sqlite3_close_v2(source);
        return false;
    }
    // Statements prepared on the old tables would hold them open against the replacement.
    for (sqlite3_stmt *statement : std::as_const(m_statements))
        sqlite3_finalize(statement);
    m_statements.clear();
    ++m_generation;
    ++m_wholeFileWrites;

    // An agenda whose writes are refused is written once more, by the restore that mends it.
    const QString key = QFileInfo(m_path).absoluteFilePath();
    const bool refused = refusedFiles().contains(key);
    sqlite3_exec(m_db, "PRAGMA query_only = OFF", nullptr, nullptr, nullptr);

    // The backup writes every page of the agenda inside one write transaction of this
    // connection, under its rollback journal: the file is either wholly the old agenda or wholly
    // the copy, and another client holding it open sees the change as any other write.
    bool restored = false;
    int rc = SQLITE_ERROR;
    if (sqlite3_backup *backup = sqlite3_backup_init(m_db, "main", source, "main")) {
        const int step = sqlite3_backup_step(backup, -1);
        rc = sqlite3_backup_finish(backup);
        restored = rc == SQLITE_OK && step == SQLITE_DONE;
        if (rc == SQLITE_OK && step != SQLITE_DONE)
            rc = step;
    } else {
        rc = sqlite3_extended_errcode(m_db);
    }
    if (!restored) {
        m_lastError = FailureText::ofSqlite(rc, sqlite3_system_errno(m_db));
        if (refused)
            refuseHere();
    }
    sqlite3_close_v2(source);
    if (restored) {
        refusedFiles().remove(key);
        // Looked over once the new content is committed, so the index reads that.
        if (m_searchIndex)
            m_searchIndex->everythingChanged();
    }
    return restored;
}

int Database::backupInto(sqlite3 *destination, int stepPages, const std::atomic_bool *cancel,
                         const std::function<void()> &betweenSteps)
{
    sqlite3_backup *backup = sqlite3_backup_init(destination, "main", m_db, "main");
    if (!backup)
        return sqlite3_errcode(destination);
    int rc = SQLITE_OK;
    // Each step holds the agenda's read lock for a few pages only: a write of another program
    // waits for the step to end (and then makes the backup start over).
    while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        if (cancel && *cancel)
            break;
        rc = sqlite3_backup_step(backup, stepPages);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            sqlite3_sleep(20);
        else if (rc == SQLITE_OK && betweenSteps)
            betweenSteps();
    }
    const int finish = sqlite3_backup_finish(backup);
    return rc == SQLITE_DONE && finish != SQLITE_OK ? finish : rc;
}

bool Database::openFile(QString *error, bool readOnly)
{
    const QFileInfo info(m_path);
    if (!info.dir().exists()) {
        if (error)
            *error = QStringLiteral("la carpeta %1 no existe").arg(info.absolutePath());
        return false;
    }
    m_readOnly = readOnly;
    const int access = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(m_path.toUtf8().constData(), &m_db, access | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        if (error)
            *error = FailureText::ofSqlite(rc, m_db ? sqlite3_system_errno(m_db) : 0);
        return false;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_update_hook(m_db, &Database::rowChanged, this);
    // Another program holding the file locked is not waited out: a write fails quickly and the
    // caller says so, instead of freezing the window for seconds per write.
    sqlite3_busy_timeout(m_db, BusyTimeoutMs);
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(m_db, "qm_equals", 2, flags, nullptr, sqlEquals, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(m_db, "qm_contains", 2, flags, nullptr, sqlContains, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(m_db, "qm_contains_loosely", 2, flags, nullptr, sqlContainsLoosely, nullptr, nullptr,
                               nullptr);
    if (readOnly)
        return true;
    if (!writesRefused(m_path).isEmpty())
        refuseHere();
    // Sync the folder too once the journal is deleted: the deletion is what marks a commit, so a
    // power loss right after a write keeps it.
    if (!exec(QStringLiteral("PRAGMA synchronous = EXTRA"), {})) {
        if (error)
            *error = m_lastError;
        return false;
    }
    return createOrCheckSchema(error);
}

namespace {

// Hands why to the caller that asked for it; always false, for `return failWith(...)`.
bool failWith(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

} // namespace

bool Database::createOrCheckSchema(QString *error)
{
    const auto fail = [error](const QString &what) { return failWith(error, what); };
    // Reading the schema version is the first touch of the file: a file that is not an agenda
    // database (or not a database at all) is refused here rather than at the first write.
    bool ok = false;
    const int version = scalar(QStringLiteral("PRAGMA user_version"), {}, &ok).toInt();
    if (!ok)
        return fail(m_lastError);
    const int tables = scalar(QStringLiteral("SELECT count(*) FROM sqlite_schema WHERE type='table'"), {}, &ok).toInt();
    if (!ok)
        return fail(m_lastError);

    if (version == 0 && tables == 0) {
        if (!exec(QStringLiteral("BEGIN IMMEDIATE"), {}))
            return fail(m_lastError);
        bool created = true;
        for (const TableSchema &table : TableSchema::agenda()) {
            QStringList columns;
            for (const ColumnSchema &column : table.columns)
                columns << QStringLiteral("\"%1\" %2").arg(column.name, sqlType(column.kind));
            created = created && exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(table.name, columns.join(u", ")), {});
        }
        for (const char *statement : IndexStatements)
            created = created && exec(QString::fromLatin1(statement), {});
        for (const char *statement : Version2Statements)
            created = created && exec(QString::fromLatin1(statement), {});
        for (const char *statement : Version3Statements)
            created = created && exec(QString::fromLatin1(statement), {});
        created = created && exec(QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion), {});
        if (!created) {
            const QString why = m_lastError;
            exec(QStringLiteral("ROLLBACK"), {});
            return fail(why);
        }
        if (!exec(QStringLiteral("COMMIT"), {}))
            return fail(m_lastError);
        return true;
    }

    return checkSchema(error);
}

bool Database::checkSchema(QString *error)
{
    const auto fail = [error](const QString &what) { return failWith(error, what); };
    bool ok = false;
    const int version = scalar(QStringLiteral("PRAGMA user_version"), {}, &ok).toInt();
    if (!ok)
        return fail(m_lastError);
    if (version > SchemaVersion)
        return fail(QStringLiteral("el archivo es de una versión más nueva del programa (versión %1)").arg(version));
    // A table without a column the program reads would read the column's own name as its value
    // in every row: such a file is refused, naming all that is missing.
    QStringList missing;
    for (const TableSchema &table : TableSchema::agenda()) {
        const QVariant found = scalar(QStringLiteral("SELECT name FROM sqlite_schema WHERE type='table' AND name=? "
                                                     "COLLATE NOCASE"),
                                      {table.name}, &ok);
        if (!ok)
            return fail(m_lastError);
        if (!found.isValid()) {
            missing << QStringLiteral("la tabla %1").arg(table.name);
            continue;
        }
        QStringList present;
        if (!exec(QStringLiteral("SELECT name FROM pragma_table_info(?)"), {found}, [&](sqlite3_stmt *statement) {
                present << columnValue(statement, 0).toString();
                return true;
            }))
            return fail(m_lastError);
        QStringList columns;
        for (const ColumnSchema &column : table.columns)
            if (!present.contains(column.name, Qt::CaseInsensitive))
                columns << column.name;
        if (columns.size() == 1)
            missing << QStringLiteral("la columna %1 de la tabla %2").arg(columns.first(), table.name);
        else if (!columns.isEmpty())
            missing << QStringLiteral("las columnas %1 de la tabla %2").arg(columns.join(u", "), table.name);
    }
    if (!missing.isEmpty())
        return fail(QStringLiteral("no es una agenda de Quillomar completa: falta %1").arg(missing.join(u"; ")));
    return true;
}

sqlite3_stmt *Database::prepare(const QString &sql)
{
    if (sqlite3_stmt *cached = m_statements.value(sql)) {
        sqlite3_reset(cached);
        sqlite3_clear_bindings(cached);
        return cached;
    }
    sqlite3_stmt *statement = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v3(m_db, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &statement, nullptr) !=
        SQLITE_OK) {
        setError();
        sqlite3_finalize(statement);
        return nullptr;
    }
    m_statements.insert(sql, statement);
    return statement;
}

sqlite3_stmt *Database::kept(const QString &sql)
{
    if (m_damaged) {
        m_lastError = QStringLiteral("el archivo %1 está dañado").arg(m_path);
        return nullptr;
    }
    return prepare(sql);
}

bool Database::stepFailed()
{
    setError();
    return false;
}

bool Database::bindAll(sqlite3_stmt *statement, const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i) {
        const QVariant &value = values[i];
        int rc = SQLITE_OK;
        if (!value.isValid() || value.isNull()) {
            rc = sqlite3_bind_null(statement, i + 1);
        } else {
            switch (value.typeId()) {
            case QMetaType::Bool:
                rc = sqlite3_bind_int(statement, i + 1, value.toBool() ? 1 : 0);
                break;
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Short:
                rc = sqlite3_bind_int64(statement, i + 1, value.toLongLong());
                break;
            case QMetaType::Double:
                rc = sqlite3_bind_double(statement, i + 1, value.toDouble());
                break;
            default: {
                const QByteArray utf8 = value.toString().toUtf8();
                rc = sqlite3_bind_text(statement, i + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            }
            }
        }
        if (rc != SQLITE_OK) {
            setError();
            return false;
        }
    }
    return true;
}

bool Database::exec(const QString &sql, const QVariantList &values, const std::function<bool(sqlite3_stmt *)> &onRow)
{
    if (m_damaged) {
        m_lastError = QStringLiteral("el archivo %1 está dañado").arg(m_path);
        return false;
    }
    sqlite3_stmt *statement = prepare(sql);
    if (!statement || !bindAll(statement, values))
        return false;
    for (;;) {
        const int rc = sqlite3_step(statement);
        if (rc == SQLITE_ROW) {
            if (onRow && !onRow(statement))
                break;
            continue;
        }
        if (rc == SQLITE_DONE)
            break;
        setError();
        sqlite3_reset(statement);
        return false;
    }
    sqlite3_reset(statement);
    return true;
}

QVariant Database::scalar(const QString &sql, const QVariantList &values, bool *ok)
{
    QVariant result;
    const bool done = exec(sql, values, [&](sqlite3_stmt *statement) {
        result = columnValue(statement, 0);
        return false;
    });
    if (ok)
        *ok = done;
    return result;
}

bool Database::write(const QString &sql, const QVariantList &values)
{
    ++m_generation;
    return exec(sql, values);
}

qint64 Database::findFolded(const QString &table, const QString &orderColumn, const QStringList &columns,
                            const QString &folded, qint64 from, bool descending, bool *ok)
{
    *ok = true;
    const std::string needle = folded.toStdString();
    if (m_searchIndex && table == Schema::Notas::Table &&
        columns == QStringList{Schema::Notas::Texto, Schema::Notas::Nota})
        if (const std::optional<qint64> key = m_searchIndex->find(needle, from, descending))
            return *key;
    QStringList tests;
    for (const QString &column : columns)
        tests << QStringLiteral("qm_contains_loosely(\"%1\", ?1)").arg(column);
    const QString sql =
        QStringLiteral("SELECT \"%1\" FROM %2 WHERE \"%1\" %3 ?2 AND (%4) ORDER BY 1 %5 LIMIT 1")
            .arg(orderColumn, table, descending ? QStringLiteral("<") : QStringLiteral(">"),
                 tests.join(QStringLiteral(" OR ")), descending ? QStringLiteral("DESC") : QStringLiteral("ASC"));
    const QVariant key = scalar(sql, {folded, from}, ok);
    return key.isValid() ? key.toLongLong() : -1;
}

void Database::startSearchIndex(const QString &cacheFolder, int lookOverAfterMs)
{
    if (m_searchIndex || m_readOnly)
        return;
    // The list of changes lets the index fold only what another program changed; an agenda that
    // cannot be written goes without, and the index looks it over whole when it changed.
    if (!m_damaged && writesRefused(m_path).isEmpty())
        ChangeLog::ensure(*this);
    m_searchIndex = std::make_unique<SearchIndex>(*this, cacheFolder, lookOverAfterMs);
}

qint64 Database::lastInsertRowId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

QVariant Database::columnValue(sqlite3_stmt *statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement, column));
    default: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(statement, column)));
    }
    }
}

void Database::setError()
{
    const int code = sqlite3_extended_errcode(m_db);
    m_lastError = FailureText::ofSqlite(code, sqlite3_system_errno(m_db));
    if ((code & 0xFF) == SQLITE_READONLY) {
        if (const QString why = writesRefused(m_path); !why.isEmpty())
            m_lastError = why;
    }
    if ((code & 0xFF) != SQLITE_CORRUPT && (code & 0xFF) != SQLITE_NOTADB)
        return;
    m_damaged = true;
    // Writing on into a damaged file could spread the damage over what is still whole.
    if (!m_readOnly)
        refuseWrites(m_path,
                     QStringLiteral("la agenda está dañada, y no se escribe nada en ella hasta que restaure "
                                    "una copia de seguridad o elija otra carpeta de datos"));
}

bool Database::begin()
{
    ++m_generation;
    return exec(QStringLiteral("BEGIN IMMEDIATE"), {});
}

bool Database::commit()
{
    ++m_generation;
    if (exec(QStringLiteral("COMMIT"), {}))
        return true;
    rollback();
    return false;
}

void Database::rollback()
{
    const QString why = m_lastError;
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    m_lastError = why;
    // Rows read meanwhile may be rows that are no longer there; the search index was told of each
    // write as it was made, rolled back or not, and looks at those entries in the agenda itself.
    ++m_generation;
}

bool Database::migrate(int upTo)
{
    bool ok = false;
    const int version = scalar(QStringLiteral("PRAGMA user_version"), {}, &ok).toInt();
    if (!ok)
        return false;
    if (version >= upTo)
        return true;
    ++m_generation;
    ++m_wholeFileWrites;
    for (const char *statement : Version2Statements)
        if (!exec(QString::fromLatin1(statement), {}))
            return false;
    if (upTo >= 3)
        for (const char *statement : Version3Statements)
            if (!exec(QString::fromLatin1(statement), {}))
                return false;
    return exec(QStringLiteral("PRAGMA user_version = %1").arg(upTo), {});
}

int Database::changes() const
{
    return sqlite3_changes(m_db);
}
