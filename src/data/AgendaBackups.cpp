#include "AgendaBackups.h"

#include "AlarmMark.h"
#include "AppContext.h"
#include "Clock.h"
#include "Database.h"
#include "DateText.h"
#include "Diary.h"
#include "Messenger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace {

const QRegularExpression DailyPattern(QStringLiteral("^quillomar-(\\d{4}-\\d{2}-\\d{2})\\.mdb$"));
const QRegularExpression
    BeforeRestorePattern(QStringLiteral("^quillomar-(\\d{4}-\\d{2}-\\d{2}-\\d{6})-antes-de-restaurar\\.mdb$"));

// Why SQLite could not write a copy, in the user's words where the cause is a common one.
QString writeFailure(sqlite3 *db, int rc)
{
    switch (rc & 0xFF) {
    case SQLITE_FULL:
        return QStringLiteral("el disco está lleno");
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return QStringLiteral("no se puede escribir en la carpeta");
    default:
        return QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    }
}

// The file's bytes, then its name in the folder, reach the disk before the copy counts as made.
bool syncFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace

AgendaBackups::AgendaBackups(AppContext &context, QString databaseFile, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_databaseFile(std::move(databaseFile))
{
    m_timer.setInterval(CheckIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &AgendaBackups::checkDue);
}

AgendaBackups::~AgendaBackups()
{
    // The program is ending: a copy half made is dropped (its temporary file removed) rather
    // than keeping the program from ending.
    m_cancel = true;
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

QString AgendaBackups::folderOf(const QString &databaseFile)
{
    return QFileInfo(databaseFile).absoluteDir().filePath(QStringLiteral("copias"));
}

QString AgendaBackups::folder() const
{
    return folderOf(m_databaseFile);
}

QString AgendaBackups::dailyName(const QDate &day)
{
    return QStringLiteral("quillomar-%1.mdb").arg(day.toString(QStringLiteral("yyyy-MM-dd")));
}

void AgendaBackups::start()
{
    checkDue();
    m_timer.start();
}

void AgendaBackups::checkDue()
{
    if (m_thread)
        return;
    const QString target = QDir(folder()).filePath(dailyName(m_context.clock->today()));
    if (QFileInfo::exists(target))
        return;
    QString error;
    std::shared_ptr<Database> source = Database::open(m_databaseFile, &error);
    if (!source) {
        copyDone(error);
        return;
    }
    m_cancel = false;
    m_thread = QThread::create([this, source, target] {
        const QString error = copyAgenda(*source, target, &m_cancel);
        QMetaObject::invokeMethod(
            this, [this, error] { copyDone(error); }, Qt::QueuedConnection);
    });
    m_thread->start(QThread::LowPriority);
}

void AgendaBackups::copyDone(const QString &error)
{
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }
    if (error.isEmpty())
        rotate();
    else if (!m_failureTold && m_context.messenger) {
        m_failureTold = true;
        m_context.messenger->tell(QStringLiteral("No se ha podido hacer la copia de seguridad de la agenda en la "
                                                 "carpeta %1:\n%2.\n\nQuillomar sigue funcionando y lo volverá a "
                                                 "intentar más tarde.")
                                      .arg(QDir::toNativeSeparators(folder()), error),
                                  QStringLiteral("Atención"), Messenger::Icon::Warning);
    }
    emit copyFinished(error);
}

QString AgendaBackups::copyAgenda(const QString &source, const QString &target)
{
    QString error;
    const std::shared_ptr<Database> db = Database::open(source, &error);
    return db ? copyAgenda(*db, target) : error;
}

QString AgendaBackups::copyAgenda(Database &source, const QString &target, const std::atomic_bool *cancel)
{
    const QFileInfo targetInfo(target);
    if (!QDir().mkpath(targetInfo.absolutePath()) || !QFileInfo(targetInfo.absolutePath()).isDir())
        return QStringLiteral("no se puede crear la carpeta");
    const QString temporary = target + QStringLiteral(".part");
    {
        QFile probe(temporary);
        if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return probe.error() == QFileDevice::OpenError || probe.error() == QFileDevice::PermissionsError
                ? QStringLiteral("no se puede escribir en la carpeta (%1)").arg(probe.errorString())
                : probe.errorString();
    }

    sqlite3 *to = nullptr;
    QString error;
    if (const int rc = sqlite3_open_v2(QFile::encodeName(temporary).constData(), &to, SQLITE_OPEN_READWRITE, nullptr);
        rc != SQLITE_OK)
        error = writeFailure(to, rc);
    if (error.isEmpty()) {
        // The copy is synced once whole, below; its journal would only double the writing.
        sqlite3_exec(to, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
        const int rc = source.backupInto(to, StepPages, cancel);
        if (rc != SQLITE_DONE)
            error = cancel && *cancel ? QStringLiteral("el programa se cerró antes de terminar la copia")
                                      : writeFailure(to, rc);
    }
    sqlite3_close_v2(to);

    if (error.isEmpty() && !syncFile(temporary))
        error = QStringLiteral("no se pudo escribir la copia en el disco");
    if (error.isEmpty() && std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()))
        error = QStringLiteral("no se pudo dar su nombre a la copia");
    if (!error.isEmpty()) {
        QFile::remove(temporary);
        return error;
    }
    syncFile(targetInfo.absolutePath());
    return {};
}

QList<AgendaBackups::Copy> AgendaBackups::copies() const
{
    QList<Copy> found;
    const QDir dir(folder());
    for (const QString &name : dir.entryList({QStringLiteral("quillomar-*.mdb")}, QDir::Files)) {
        Copy copy{dir.filePath(name), {}, false};
        if (const QRegularExpressionMatch daily = DailyPattern.match(name); daily.hasMatch())
            copy.madeAt = QDateTime(QDate::fromString(daily.captured(1), Qt::ISODate), QTime(0, 0));
        else if (const QRegularExpressionMatch before = BeforeRestorePattern.match(name); before.hasMatch()) {
            copy.madeAt = QDateTime::fromString(before.captured(1), QStringLiteral("yyyy-MM-dd-HHmmss"));
            copy.beforeRestore = true;
        }
        if (copy.madeAt.isValid())
            found << copy;
    }
    std::sort(found.begin(), found.end(), [](const Copy &a, const Copy &b) { return a.madeAt > b.madeAt; });
    return found;
}

AgendaBackups::Counts AgendaBackups::countsOf(const QString &path)
{
    Counts counts;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(db,
                               "SELECT (SELECT count(*) FROM notas), (SELECT count(*) FROM tareas), "
                               "(SELECT count(*) FROM telefonos)",
                               -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW) {
            counts = {true, sqlite3_column_int64(statement, 0), sqlite3_column_int64(statement, 1),
                      sqlite3_column_int64(statement, 2)};
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close_v2(db);
    return counts;
}

QList<QDate> AgendaBackups::daysToKeep(QList<QDate> days)
{
    std::sort(days.begin(), days.end(), std::greater<>());
    QList<QDate> keep = days.mid(0, DailyCopies);
    if (days.size() <= DailyCopies)
        return keep;
    const auto mondayOf = [](const QDate &day) { return day.addDays(1 - day.dayOfWeek()); };
    const QDate oldestWeek = mondayOf(keep.last());
    QSet<QDate> weeksTaken;
    for (const QDate &day : days.mid(DailyCopies)) {
        const QDate week = mondayOf(day);
        const qint64 weeksBefore = week.daysTo(oldestWeek) / 7;
        if (weeksBefore >= 1 && weeksBefore <= WeeklyCopies && !weeksTaken.contains(week)) {
            weeksTaken.insert(week);
            keep << day;
        }
    }
    return keep;
}

void AgendaBackups::rotate()
{
    QList<QDate> days;
    for (const Copy &copy : copies())
        if (!copy.beforeRestore)
            days << copy.madeAt.date();
    const QList<QDate> keep = daysToKeep(days);
    const QDir dir(folder());
    for (const QDate &day : std::as_const(days))
        if (!keep.contains(day))
            QFile::remove(dir.filePath(dailyName(day)));
}

QString AgendaBackups::restore(const QString &path, Diary &diary)
{
    const QDateTime now = m_context.clock->now();
    const QString before = QDir(folder()).filePath(
        QStringLiteral("quillomar-%1-antes-de-restaurar.mdb").arg(now.toString(QStringLiteral("yyyy-MM-dd-HHmmss"))));
    if (const QString error = copyAgenda(m_databaseFile, before); !error.isEmpty())
        return QStringLiteral("no se pudo hacer la copia de la agenda actual en la carpeta %1: %2")
            .arg(QDir::toNativeSeparators(folder()), error);

    QString error;
    const std::shared_ptr<Database> db = Database::open(m_databaseFile, &error);
    if (!db)
        return error;
    if (!db->restoreFrom(path))
        return db->lastError();
    // The copy remembers the alarms as they were looked at when it was made: those that fell
    // due since are not the user's missed alarms.
    AlarmMark::write(m_databaseFile, now);
    diary.open(m_databaseFile);
    diary.notifyChanged();
    diary.showWeekOf(diary.SelectedDate.isValid() ? diary.SelectedDate : now.date());
    return {};
}
