#include "data/AgendaBackups.h"
#include "data/Diary.h"
#include "data/store/Database.h"
#include "support/TestAgenda.h"

#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QSignalSpy>
#include <QtTest>
#include <sqlite3.h>

// The daily safety copies: made once a day by the clock, rotated, whole, never of a damaged
// agenda, and a folder that cannot take them told once. Restoring one puts it in place of the
// agenda.
class TestBackups : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void oneCopyPerDayOpensAsTheSameAgenda();
    void rotationKeepsSevenDaysAndEightWeeks();
    void failingFolderIsToldOncePerRun();
    void aDamagedAgendaNeverPushesOutAGoodCopy_data();
    void aDamagedAgendaNeverPushesOutAGoodCopy();
    void restoreReplacesAndReopens();
    void restoringMendsADamagedAgenda();
    void startRemovesUnfinishedCopiesAndKeepsThreeBeforeRestoring();
    void aWriteBetweenStepsGoesIntoTheCopy_data();
    void aWriteBetweenStepsGoesIntoTheCopy();

private:
    QString copyNow(AgendaBackups &backups);
    QStringList names(const AgendaBackups &backups) const;

    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Diary> m_diary;
};

void TestBackups::init()
{
    m_agenda = std::make_unique<TestAgenda>();
    m_diary = std::make_unique<Diary>();
    QVERIFY(m_diary->open(m_agenda->databaseFile()).isEmpty());
    m_agenda->addEntry(QDate(2024, 4, 1), QStringLiteral("09:00"), QStringLiteral("Dentista"));
    m_agenda->addEntry(QDate(2024, 4, 2), QStringLiteral("10:00"), QStringLiteral("Banco"), QStringLiteral("Nota"));
}

void TestBackups::cleanup()
{
    m_diary.reset();
    m_agenda.reset();
}

// Runs the day's check and waits for the worker; returns the copy's error, or "none" when no
// copy was due.
QString TestBackups::copyNow(AgendaBackups &backups)
{
    QSignalSpy finished(&backups, &AgendaBackups::copyFinished);
    backups.checkDue();
    if (!backups.copying())
        return QStringLiteral("none");
    if (!finished.wait(10000))
        return QStringLiteral("timeout");
    return finished.first().first().toString();
}

QStringList TestBackups::names(const AgendaBackups &backups) const
{
    return QDir(backups.folder()).entryList(QDir::Files, QDir::Name);
}

void TestBackups::oneCopyPerDayOpensAsTheSameAgenda()
{
    AgendaBackups backups(m_agenda->context, m_agenda->databaseFile());
    QCOMPARE(copyNow(backups), QString());
    m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("11:00"), QStringLiteral("Después de la copia"));
    m_agenda->clock.advanceSeconds(3600);
    QCOMPARE(copyNow(backups), QStringLiteral("none"));
    QCOMPARE(names(backups), QStringList{QStringLiteral("quillomar-2024-04-03.mdb")});

    const QString copy = QDir(backups.folder()).filePath(names(backups).first());
    QCOMPARE(Database::examine(copy), QString());
    RecordCursor notas;
    notas.DatabaseName = copy;
    notas.RecordSource = QStringLiteral("notas");
    QVERIFY(notas.Refresh());
    QStringList texts;
    for (; !notas.Eof(); notas.MoveNext())
        texts << notas.Text(QStringLiteral("texto")) + u'|' + notas.Text(QStringLiteral("nota"));
    QCOMPARE(texts, (QStringList{QStringLiteral("Dentista|"), QStringLiteral("Banco|Nota")}));

    m_agenda->clock.advanceSeconds(24 * 3600);
    QCOMPARE(copyNow(backups), QString());
    QCOMPARE(names(backups).size(), 2);
    QCOMPARE(AgendaBackups::countsOf(QDir(backups.folder()).filePath(names(backups).last())).entries, 3);
}

void TestBackups::rotationKeepsSevenDaysAndEightWeeks()
{
    AgendaBackups backups(m_agenda->context, m_agenda->databaseFile());
    for (int day = 0; day < 120; ++day) {
        QCOMPARE(copyNow(backups), QString());
        QVERIFY(names(backups).size() <= AgendaBackups::DailyCopies + AgendaBackups::WeeklyCopies);
        m_agenda->clock.advanceSeconds(24 * 3600);
    }
    const QDate today = m_agenda->clock.today().addDays(-1);
    QList<QDate> kept;
    for (const AgendaBackups::Copy &copy : backups.copies())
        kept << copy.madeAt.date();
    QCOMPARE(kept.size(), 15);
    for (int i = 0; i < 7; ++i)
        QCOMPARE(kept[i], today.addDays(-i));
    // Then the last day (Sunday) of each of the eight calendar weeks before the oldest daily copy's.
    QDate sunday = kept[6].addDays(-kept[6].dayOfWeek());
    for (int i = 7; i < 15; ++i, sunday = sunday.addDays(-7))
        QCOMPARE(kept[i], sunday);
}

void TestBackups::failingFolderIsToldOncePerRun()
{
    // A file where the folder of copies should be: nothing can be written there.
    QFile blocker(AgendaBackups::folderOf(m_agenda->databaseFile()));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    AgendaBackups backups(m_agenda->context, m_agenda->databaseFile());
    QVERIFY(!copyNow(backups).isEmpty());
    QCOMPARE(m_agenda->messenger.shown.size(), 1);
    QVERIFY(m_agenda->messenger.shown.first().text.contains(QDir::toNativeSeparators(backups.folder())));
    QVERIFY(m_agenda->messenger.shown.first().text.contains(QStringLiteral("no se puede crear la carpeta")));
    m_agenda->clock.advanceSeconds(24 * 3600);
    QVERIFY(!copyNow(backups).isEmpty());
    QCOMPARE(m_agenda->messenger.shown.size(), 1);
}

void TestBackups::aDamagedAgendaNeverPushesOutAGoodCopy_data()
{
    QTest::addColumn<bool>("openedAfterDamage");
    QTest::newRow("damage seen at opening") << true;
    QTest::newRow("damage seen in the copy") << false;
}

void TestBackups::aDamagedAgendaNeverPushesOutAGoodCopy()
{
    QFETCH(bool, openedAfterDamage);
    AgendaBackups backups(m_agenda->context, m_agenda->databaseFile());
    for (int day = 0; day < AgendaBackups::DailyCopies; ++day, m_agenda->clock.advanceSeconds(24 * 3600))
        QCOMPARE(copyNow(backups), QString());
    const QStringList good = names(backups);

    m_diary.reset();
    TestAgenda::damageTable(m_agenda->databaseFile(), QStringLiteral("dias"));
    if (openedAfterDamage) {
        m_diary = std::make_unique<Diary>();
        QVERIFY(!m_diary->open(m_agenda->databaseFile()).isEmpty());
    }
    for (int day = 0; day < AgendaBackups::DailyCopies; ++day, m_agenda->clock.advanceSeconds(24 * 3600)) {
        const QString copied = copyNow(backups);
        QVERIFY2(openedAfterDamage ? copied == u"none" : copied.contains(QStringLiteral("dañada")), qPrintable(copied));
    }
    QCOMPARE(names(backups), good);
    QCOMPARE(m_agenda->messenger.shown.size(), openedAfterDamage ? 0 : 1);
}

void TestBackups::restoreReplacesAndReopens()
{
    AgendaBackups backups(m_agenda->context, m_agenda->databaseFile());
    QCOMPARE(copyNow(backups), QString());
    const QString copy = backups.copies().first().path;
    m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("12:00"), QStringLiteral("Escrita tras la copia"));
    QVERIFY(m_diary->Data1.Refresh());
    m_diary->Data1.MoveLast();
    QCOMPARE(m_diary->Data1.Text(QStringLiteral("texto")), QStringLiteral("Escrita tras la copia"));

    QSignalSpy week(m_diary.get(), &Diary::weekWanted);
    m_agenda->clock.advanceSeconds(600);
    QCOMPARE(backups.restore(copy, *m_diary), QString());
    QCOMPARE(week.size(), 1);
    m_diary->Data1.MoveLast();
    QCOMPARE(m_diary->Data1.Text(QStringLiteral("texto")), QStringLiteral("Banco"));
    QCOMPARE(AgendaBackups::countsOf(m_agenda->databaseFile()).entries, 2);

    // The agenda as it was just before is kept, and a second restore can bring it back.
    const QList<AgendaBackups::Copy> copies = backups.copies();
    QCOMPARE(copies.size(), 2);
    QVERIFY(copies.first().beforeRestore);
    QCOMPARE(AgendaBackups::countsOf(copies.first().path).entries, 3);
}

void TestBackups::restoringMendsADamagedAgenda()
{
    AgendaBackups backups(m_agenda->context, m_agenda->databaseFile());
    QCOMPARE(copyNow(backups), QString());
    m_diary.reset();
    TestAgenda::damageTable(m_agenda->databaseFile(), QStringLiteral("telefonos"));
    m_diary = std::make_unique<Diary>();
    QVERIFY(!m_diary->open(m_agenda->databaseFile()).isEmpty());
    // As the week view does on every activation: the cursor opens the file again.
    const auto add = [this] {
        RecordCursor &notas = m_diary->Data1;
        return notas.Refresh() && notas.AddNew() && notas.SetField(QStringLiteral("texto"), QStringLiteral("nueva")) &&
            notas.Update();
    };
    QVERIFY(!add());

    // Good copies made before earlier restores stay: the damaged agenda's copy is kept apart, and
    // only the newest such.
    const QStringList good{QStringLiteral("quillomar-2024-03-01-101010-antes-de-restaurar.mdb"),
                           QStringLiteral("quillomar-2024-03-02-101010-antes-de-restaurar.mdb"),
                           QStringLiteral("quillomar-2024-03-03-101010-antes-de-restaurar.mdb")};
    for (const QString &name :
         good + QStringList{QStringLiteral("quillomar-2024-03-04-101010-antes-de-restaurar-dañada.mdb")})
        QVERIFY(QFile(QDir(backups.folder()).filePath(name)).open(QIODevice::WriteOnly));

    // A file that is no agenda is never restored over it.
    const QString planted = backups.copies().last().path;
    QVERIFY(backups.restore(planted, *m_diary).contains(QStringLiteral("no se puede restaurar")));
    QCOMPARE(names(backups).size(), 5);

    QCOMPARE(
        backups.restore(QDir(backups.folder()).filePath(AgendaBackups::dailyName(m_agenda->clock.today())), *m_diary),
        QString());
    QVERIFY2(add(), qPrintable(m_diary->Data1.lastError()));
    QCOMPARE(AgendaBackups::countsOf(m_agenda->databaseFile()).entries, 3);
    QStringList before = names(backups).filter(QStringLiteral("antes-de-restaurar"));
    QCOMPARE(before.mid(0, 3), good);
    QCOMPARE(before.size(), 4);
    QVERIFY2(before.last().endsWith(QStringLiteral("-dañada.mdb")) && !before.last().contains(u"2024-03-04"),
             qPrintable(before.last()));
}

void TestBackups::startRemovesUnfinishedCopiesAndKeepsThreeBeforeRestoring()
{
    AgendaBackups backups(m_agenda->context, m_agenda->databaseFile());
    QVERIFY(QDir().mkpath(backups.folder()));
    const auto plant = [&backups](const QString &name) {
        QFile file(QDir(backups.folder()).filePath(name));
        return file.open(QIODevice::WriteOnly);
    };
    const QString before = QStringLiteral("quillomar-2024-03-0%1-101010-antes-de-restaurar.mdb");
    for (int day = 1; day <= 5; ++day)
        QVERIFY(plant(before.arg(day)));
    QVERIFY(plant(before.arg(6) + QStringLiteral(".part")));
    QVERIFY(plant(AgendaBackups::dailyName(QDate(2024, 3, 6)) + QStringLiteral(".part")));

    QSignalSpy finished(&backups, &AgendaBackups::copyFinished);
    backups.start();
    QVERIFY(finished.wait(10000));
    QCOMPARE(
        names(backups),
        (QStringList{before.arg(3), before.arg(4), before.arg(5), AgendaBackups::dailyName(m_agenda->clock.today())}));

    QCOMPARE(
        backups.restore(QDir(backups.folder()).filePath(AgendaBackups::dailyName(m_agenda->clock.today())), *m_diary),
        QString());
    QCOMPARE(names(backups).size(), 1 + AgendaBackups::BeforeRestoreCopies);
    QVERIFY(!names(backups).contains(before.arg(3)));
}

void TestBackups::aWriteBetweenStepsGoesIntoTheCopy_data()
{
    QTest::addColumn<bool>("byThisProgram");
    QTest::newRow("this program") << true;
    QTest::newRow("another program") << false;
}

// The copy is made a few pages at a time; a write made between two steps is neither held up
// until the copy ends nor lost from it, and the copy is still whole and checked.
void TestBackups::aWriteBetweenStepsGoesIntoTheCopy()
{
    QFETCH(bool, byThisProgram);
    std::shared_ptr<Database> db = Database::open(m_agenda->databaseFile(), nullptr);
    const QString note(2000, QLatin1Char('n')); // some megabytes: many steps
    QVERIFY(db->exec(QStringLiteral("BEGIN"), {}));
    for (int i = 0; i < 2000; ++i)
        QVERIFY(db->write(QStringLiteral("INSERT INTO notas (texto, nota) VALUES ('relleno', ?)"), {note}));
    QVERIFY(db->exec(QStringLiteral("COMMIT"), {}));
    const QString target = QDir(m_agenda->folder()).filePath(QStringLiteral("copia.mdb"));
    QSemaphore stepped, written;
    QString error;
    bool damaged = true;
    QThread *copying = QThread::create([&] {
        bool first = true;
        error = AgendaBackups::copyAgenda(*db, target, nullptr, &damaged, [&] {
            if (std::exchange(first, false)) {
                stepped.release();
                written.acquire();
            }
        });
    });
    copying->start();
    QVERIFY(stepped.tryAcquire(1, 10000));
    if (byThisProgram) {
        QVERIFY(db->write(QStringLiteral("INSERT INTO notas (texto) VALUES ('durante la copia')"), {}));
    } else {
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(m_agenda->databaseFile().toUtf8().constData(), &other), SQLITE_OK);
        QCOMPARE(
            sqlite3_exec(other, "INSERT INTO notas (texto) VALUES ('durante la copia')", nullptr, nullptr, nullptr),
            SQLITE_OK);
        sqlite3_close(other);
    }
    written.release();
    QVERIFY(copying->wait(30000));
    delete copying;
    QCOMPARE(error, QString());
    QVERIFY(!damaged);
    QCOMPARE(Database::examine(target), QString());
    QCOMPARE(AgendaBackups::countsOf(target).entries, 2 + 2000 + 1);
}

QTEST_GUILESS_MAIN(TestBackups)
#include "tst_backups.moc"
