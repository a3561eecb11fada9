#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <functional>

class Database;
class Diary;
class QThread;
struct AppContext;

// The agenda's safety copies, in the folder "copias" of the data folder: one a day, made at
// start-up and then whenever the day changes while the program runs, with SQLite's online
// backup on a thread of its own, so the diary never waits on it. A copy enters the rotation only
// once it has passed Database::examine, and an agenda whose writes are refused (damaged, not
// opened whole, read-only) is not copied at all: a bad copy never pushes a good one out. The
// newest DailyCopies copies are kept, and the newest copy of each of the WeeklyCopies calendar
// weeks before the week of the oldest of them; the rest go. Of the copies made just before a
// restore, the newest BeforeRestoreCopies are kept; a copy of an agenda that was damaged when it
// was restored over is named so, and only the newest such is kept beside them, so that restoring
// over a damaged agenda again and again never pushes out a good copy.
class AgendaBackups final : public QObject
{
    Q_OBJECT

public:
    struct Copy
    {
        QString path;
        QDateTime madeAt; // the day of a daily copy (at 00:00), or the moment of a restore's copy
        bool beforeRestore = false;
        bool damaged = false; // made before a restore of an agenda that did not pass the check
    };
    struct Counts
    {
        bool valid = false; // false when the file cannot be read as an agenda
        qint64 entries = 0, tasks = 0, cards = 0;
    };

    static constexpr int DailyCopies = 7;
    static constexpr int WeeklyCopies = 8;
    static constexpr int BeforeRestoreCopies = 3;
    static constexpr int DamagedBeforeRestoreCopies = 1;
    // How often the running program looks whether the day has changed.
    static constexpr int CheckIntervalMs = 5 * 60 * 1000;
    // Pages copied under one read lock: writes of the diary meanwhile wait at most one step.
    static constexpr int StepPages = 128;
    // Steps whose pages are sent on to the disk together (4 MB with pages of 4 KB): a write of the
    // diary, which syncs the agenda, never queues behind much more of the copy than that.
    static constexpr int StepsPerSync = 8;
    // A pause after each step, in which a write of the diary waiting for the connection takes it.
    static constexpr int StepPauseUs = 200;

    AgendaBackups(AppContext &context, QString databaseFile, QObject *parent = nullptr);
    ~AgendaBackups() override;

    QString folder() const;
    static QString folderOf(const QString &databaseFile);

    // Once at start-up: removes what copies cut short (the program killed) left behind and the
    // copies before a restore beyond the newest BeforeRestoreCopies, makes today's copy when due
    // and from then on looks every CheckIntervalMs.
    void start();
    // Starts today's copy on the worker unless it exists or one is being made.
    void checkDue();
    bool copying() const { return m_thread != nullptr; }

    // Every copy in the folder, newest first.
    QList<Copy> copies() const;
    static Counts countsOf(const QString &path);

    // Of the days that have a daily copy, those to keep.
    static QList<QDate> daysToKeep(QList<QDate> days);
    // Removes the daily copies the rule does not keep.
    void rotate();

    // Copies the open agenda source to target through SQLite's backup, under a temporary name
    // renamed into place. Returns an empty text, or why not. Safe on any thread. With damaged
    // given, the copy takes its name only once it has passed Database::examine; *damaged tells
    // whether it failed there.
    // afterStep, if given, is called on the copying thread between steps.
    static QString copyAgenda(Database &source, const QString &target, const std::atomic_bool *cancel = nullptr,
                              bool *damaged = nullptr, const std::function<void()> &afterStep = {});
    // The same for the agenda file at source, opened (or shared) on the calling thread.
    static QString copyAgenda(const QString &source, const QString &target);

    // Replaces the open agenda with the copy at path: first a copy of the agenda as it is
    // ("antes de restaurar"), then the copy's content in one transaction; the diary's cursors
    // are opened again and the week is shown. The copy must have passed Database::examine.
    // Returns an empty text, or why nothing was replaced.
    QString restore(const QString &path, Diary &diary);

    static QString dailyName(const QDate &day);

signals:
    // A copy the worker was making is done (error empty) or failed.
    void copyFinished(const QString &error);

private:
    void copyDone(const QString &error, bool damaged = false);
    void keepNewestBeforeRestore();

    AppContext &m_context;
    QString m_databaseFile;
    QTimer m_timer;
    QThread *m_thread = nullptr;
    std::atomic_bool m_cancel = false;
    bool m_failureTold = false;
    QDate m_damagedOn; // a copy of that day failed the check: the agenda is not copied again that day
};
