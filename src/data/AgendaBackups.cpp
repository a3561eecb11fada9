#include "AgendaBackups.h"

#include "AlarmMark.h"
#include "AppContext.h"
#include "Clock.h"
#include "DateText.h"
#include "Diary.h"
#include "Messenger.h"
#include "store/Database.h"
#include "store/FailureText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace {

// The copies' names, read by hand rather than by regular expressions: the copies are listed at
// every start, and a pattern engine would be loaded and compiled for these few names alone.
const QString CopyPrefix = QStringLiteral("quillomar-");
const QString CopySuffix = QStringLiteral(".mdb");
const QString BeforeRestoreTail = QStringLiteral("-antes-de-restaurar");
const QString DamagedTail = QStringLiteral("-dañada");
const QString UnfinishedSuffix = QStringLiteral(".part");

// Whether text has the shape given, where each '9' stands for a digit 0 to 9.
bool hasShape(QStringView text, QLatin1StringView shape)
{
    if (text.size() != shape.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (shape[i] == QLatin1Char('9') ? !(c >= u'0' && c <= u'9') : c != shape[i])
            return false;
    }
    return true;
}

// The names a directory listing of "quillomar-*.mdb" plus suffix gives (as QDir matches a name
// filter, whatever the case).
QStringList copyNames(const QDir &dir, const QString &suffix)
{
    QStringList names;
    const QString end = CopySuffix + suffix;
    for (const QString &name : dir.entryList(QDir::Files))
        if (name.size() >= CopyPrefix.size() + end.size() && name.startsWith(CopyPrefix, Qt::CaseInsensitive) &&
            name.endsWith(end, Qt::CaseInsensitive))
            names << name;
    return names;
}

QString writeFailure(sqlite3 *db, int rc)
{
    return FailureText::ofSqlite(rc, db ? sqlite3_system_errno(db) : 0);
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
    // Only one copy of the program runs: a temporary file found now belongs to a copy that was
    // cut short and is never finished.
    const QDir dir(folder());
    for (const QString &name : copyNames(dir, UnfinishedSuffix))
        QFile::remove(dir.filePath(name));
    keepNewestBeforeRestore();
    checkDue();
    m_timer.start();
}

void AgendaBackups::checkDue()
{
    if (m_thread)
        return;
    // An agenda that cannot be changed needs no new copy, and a damaged one, or one that did not
    // open whole, must not take the place of a good copy.
    const QDate today = m_context.clock->today();
    if (!Database::writesRefused(m_databaseFile).isEmpty() || m_damagedOn == today)
        return;
    const QString target = QDir(folder()).filePath(dailyName(today));
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
        bool damaged = false;
        const QString error = copyAgenda(*source, target, &m_cancel, &damaged);
        QMetaObject::invokeMethod(
            this, [this, error, damaged] { copyDone(error, damaged); }, Qt::QueuedConnection);
    });
    m_thread->start(QThread::LowPriority);
}

void AgendaBackups::copyDone(const QString &error, bool damaged)
{
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }
    if (damaged)
        m_damagedOn = m_context.clock->today();
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

QString AgendaBackups::copyAgenda(Database &source, const QString &target, const std::atomic_bool *cancel,
                                  bool *damaged, const std::function<void()> &afterStep)
{
    const QFileInfo targetInfo(target);
    errno = 0;
    if (!QDir().mkpath(targetInfo.absolutePath()) || !QFileInfo(targetInfo.absolutePath()).isDir()) {
        const int error = errno;
        return error == 0 ? QStringLiteral("no se puede crear la carpeta")
                          : QStringLiteral("no se puede crear la carpeta: %1").arg(FailureText::ofSystem(error));
    }
    const QString temporary = target + UnfinishedSuffix;
    if (const int probe = ::open(QFile::encodeName(temporary).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        probe >= 0)
        ::close(probe);
    else
        return QStringLiteral("no se puede escribir en la carpeta: %1").arg(FailureText::ofSystem(errno));

    sqlite3 *to = nullptr;
    QString error;
    if (const int rc = sqlite3_open_v2(QFile::encodeName(temporary).constData(), &to, SQLITE_OPEN_READWRITE, nullptr);
        rc != SQLITE_OK)
        error = writeFailure(to, rc);
    if (error.isEmpty()) {
        // The copy is synced once whole, below; its journal would only double the writing.
        sqlite3_exec(to, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
        const int file = ::open(QFile::encodeName(temporary).constData(), O_RDONLY);
        int steps = 0;
        const int rc = source.backupInto(to, StepPages, cancel, [&] {
            // The pages written so far start on their way to the disk now, a few megabytes at a
            // time: left to pile up, they would all be flushed by the copy's final sync, and a
            // write of the diary syncing its own file meanwhile would queue behind the whole copy.
            if (++steps % StepsPerSync == 0 && file >= 0)
                ::sync_file_range(file, 0, 0, SYNC_FILE_RANGE_WRITE);
            if (afterStep)
                afterStep();
            // The diary's connection is free between steps: a write waiting for it goes first.
            QThread::usleep(StepPauseUs);
        });
        if (file >= 0)
            ::close(file);
        if (rc != SQLITE_DONE)
            error = cancel && *cancel ? QStringLiteral("el programa se cerró antes de terminar la copia")
                                      : writeFailure(to, rc);
    }
    sqlite3_close_v2(to);

    if (error.isEmpty() && !syncFile(temporary))
        error = QStringLiteral("no se pudo escribir la copia en el disco");
    if (damaged)
        *damaged = false;
    if (const QString why = error.isEmpty() && damaged ? Database::examine(temporary) : QString(); !why.isEmpty()) {
        *damaged = true;
        error = QStringLiteral("la copia ha salido dañada (%1), así que la agenda misma puede estarlo; se conservan "
                               "las copias anteriores")
                    .arg(why);
    }
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
    for (const QString &name : copyNames(dir, QString())) {
        Copy copy{dir.filePath(name), {}, false};
        // quillomar-YYYY-MM-DD.mdb, or quillomar-YYYY-MM-DD-HHMMSS-antes-de-restaurar[-dañada].mdb
        const QStringView middle =
            QStringView(name).sliced(CopyPrefix.size(), name.size() - CopyPrefix.size() - CopySuffix.size());
        const QLatin1StringView dayShape("9999-99-99");
        const QLatin1StringView stampShape("9999-99-99-999999");
        const QStringView tail = middle.size() > stampShape.size() ? middle.sliced(stampShape.size()) : QStringView();
        const bool exact = name.startsWith(CopyPrefix) && name.endsWith(CopySuffix);
        if (exact && hasShape(middle, dayShape)) {
            copy.madeAt = QDateTime(QDate::fromString(middle.toString(), Qt::ISODate), QTime(0, 0));
        } else if (exact && hasShape(middle.first(std::min(middle.size(), stampShape.size())), stampShape) &&
                   (tail == BeforeRestoreTail || tail == BeforeRestoreTail + DamagedTail)) {
            copy.madeAt =
                QDateTime::fromString(middle.first(stampShape.size()).toString(), QStringLiteral("yyyy-MM-dd-HHmmss"));
            copy.beforeRestore = true;
            copy.damaged = tail.size() > BeforeRestoreTail.size();
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

void AgendaBackups::keepNewestBeforeRestore()
{
    int kept = 0;
    int keptDamaged = 0;
    for (const Copy &copy : copies()) {
        if (!copy.beforeRestore)
            continue;
        if (copy.damaged ? ++keptDamaged > DamagedBeforeRestoreCopies : ++kept > BeforeRestoreCopies)
            QFile::remove(copy.path);
    }
}

QString AgendaBackups::restore(const QString &path, Diary &diary)
{
    const QDateTime now = m_context.clock->now();
    const QString stamp = now.toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    QString before = QDir(folder()).filePath(QStringLiteral("quillomar-%1-antes-de-restaurar.mdb").arg(stamp));
    if (const QString error = copyAgenda(m_databaseFile, before); !error.isEmpty())
        return QStringLiteral("no se pudo hacer la copia de la agenda actual en la carpeta %1: %2")
            .arg(QDir::toNativeSeparators(folder()), error);
    // The agenda as it was is kept whatever its state, but a damaged one under a name of its own.
    if (!Database::examine(before).isEmpty()) {
        const QString damaged =
            QDir(folder()).filePath(QStringLiteral("quillomar-%1-antes-de-restaurar-dañada.mdb").arg(stamp));
        if (QFile::rename(before, damaged))
            before = damaged;
    }

    QString error;
    const std::shared_ptr<Database> db = Database::open(m_databaseFile, &error);
    if (!db || !db->restoreFrom(path)) {
        // The agenda is as it was (a copy that is no whole agenda is refused before anything is
        // written): its copy would only take the place of an earlier one.
        QFile::remove(before);
        return db ? db->lastError() : error;
    }
    keepNewestBeforeRestore();
    // The copy remembers the alarms as they were looked at when it was made: those that fell
    // due since are not the user's missed alarms.
    AlarmMark::write(m_databaseFile, now);
    diary.open(m_databaseFile);
    diary.notifyChanged(DiaryChange::everything());
    diary.showWeekOf(diary.SelectedDate.isValid() ? diary.SelectedDate : now.date());
    return {};
}
