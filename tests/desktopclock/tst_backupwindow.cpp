#include "data/AgendaBackups.h"
#include "data/Diary.h"
#include "data/store/Database.h"
#include "desktopclock/BackupWindow.h"
#include "support/TestAgenda.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>
#include <sqlite3.h>

// The restore window: the copies newest first with what they hold (or that they are damaged), a
// refusal that changes nothing, a failure told in the user's words, and a confirmed restore.
class TestBackupWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listsNewestFirstWithCounts();
    void listsADamagedCopyAsDamaged();
    void refusesACopyThatIsNoAgenda();
    void aFailedRestoreIsToldInTheUsersWords();
    void restoresAfterConfirmation();

private:
    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Diary> m_diary;
    QString m_folder;
};

void TestBackupWindow::init()
{
    m_agenda = std::make_unique<TestAgenda>();
    m_diary = std::make_unique<Diary>();
    QVERIFY(m_diary->open(m_agenda->databaseFile()).isEmpty());
    m_folder = AgendaBackups::folderOf(m_agenda->databaseFile());
    m_agenda->addEntry(QDate(2024, 4, 1), QStringLiteral("09:00"), QStringLiteral("Dentista"));
    QCOMPARE(AgendaBackups::copyAgenda(m_agenda->databaseFile(),
                                       QDir(m_folder).filePath(AgendaBackups::dailyName(QDate(2024, 4, 1)))),
             QString());
    m_agenda->addEntry(QDate(2024, 4, 2), QStringLiteral("09:00"), QStringLiteral("Banco"));
    QCOMPARE(AgendaBackups::copyAgenda(m_agenda->databaseFile(),
                                       QDir(m_folder).filePath(AgendaBackups::dailyName(QDate(2024, 4, 2)))),
             QString());
    m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("09:00"), QStringLiteral("Hoy"));
}

void TestBackupWindow::cleanup()
{
    m_diary.reset();
    m_agenda.reset();
}

void TestBackupWindow::listsNewestFirstWithCounts()
{
    BackupWindow window(*m_diary, m_agenda->context);
    QCOMPARE(window.windowTitle(), QStringLiteral("Copias de seguridad"));
    QCOMPARE(window.copyList->topLevelItemCount(), 2);
    QVERIFY(window.copyList->topLevelItem(0)->text(0).endsWith(QStringLiteral("02/04/2024")));
    QCOMPARE(window.copyList->topLevelItem(0)->text(1), QStringLiteral("2"));
    QCOMPARE(window.copyList->topLevelItem(1)->text(1), QStringLiteral("1"));
}

void TestBackupWindow::listsADamagedCopyAsDamaged()
{
    // The day table's page: the counts of entries, tasks and cards still read.
    TestAgenda::damageTable(QDir(m_folder).filePath(AgendaBackups::dailyName(QDate(2024, 4, 2))),
                            QStringLiteral("dias"));
    BackupWindow window(*m_diary, m_agenda->context);
    QSignalSpy checked(&window, &BackupWindow::copiesChecked);
    QVERIFY(checked.wait(10000));
    QCOMPARE(window.copyList->topLevelItem(0)->text(1), QStringLiteral("dañada"));
    QCOMPARE(window.copyList->topLevelItem(1)->text(1), QStringLiteral("1"));
}

void TestBackupWindow::refusesACopyThatIsNoAgenda()
{
    QFile bogus(QDir(m_folder).filePath(AgendaBackups::dailyName(QDate(2024, 4, 3))));
    QVERIFY(bogus.open(QIODevice::WriteOnly));
    bogus.write("no soy una agenda");
    bogus.close();

    BackupWindow window(*m_diary, m_agenda->context);
    window.copyList->setCurrentItem(window.copyList->topLevelItem(0));
    window.Restaurar_Click();
    QCOMPARE(m_agenda->messenger.shown.size(), 1);
    QCOMPARE(m_agenda->messenger.shown.first().icon, Messenger::Icon::Critical);
    QVERIFY(!m_agenda->messenger.shown.first().text.contains(QLatin1String(sqlite3_errstr(SQLITE_NOTADB))));
    QCOMPARE(AgendaBackups::countsOf(m_agenda->databaseFile()).entries, 3);
    QCOMPARE(QDir(m_folder).entryList(QDir::Files).size(), 3); // no copy "antes de restaurar"
    QCOMPARE(window.result(), int(QDialog::Rejected));
}

void TestBackupWindow::aFailedRestoreIsToldInTheUsersWords()
{
    // The agenda's file may grow no more (SQLite keeps it at its size), and the copy is larger:
    // the disk is full for the restore.
    const QString copy = QDir(m_folder).filePath(AgendaBackups::dailyName(QDate(2024, 4, 2)));
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(copy.toUtf8().constData(), &db), SQLITE_OK);
    QCOMPARE(sqlite3_exec(db, "UPDATE notas SET nota = printf('%.100000c', 'x')", nullptr, nullptr, nullptr),
             SQLITE_OK);
    sqlite3_close(db);
    QString error;
    const std::shared_ptr<Database> agenda = Database::open(m_agenda->databaseFile(), &error);
    QVERIFY(agenda->exec(QStringLiteral("PRAGMA max_page_count = 1"), {}));

    BackupWindow window(*m_diary, m_agenda->context);
    window.copyList->setCurrentItem(window.copyList->topLevelItem(0));
    m_agenda->messenger.answerNext(Messenger::Yes);
    QTest::mouseClick(window.restoreButton, Qt::LeftButton);
    const QString told = m_agenda->messenger.shown.last().text;
    QVERIFY2(told.contains(QStringLiteral("el disco está lleno")), qPrintable(told));
    QVERIFY(!told.contains(QLatin1String(sqlite3_errstr(SQLITE_FULL))));
    QCOMPARE(AgendaBackups::countsOf(m_agenda->databaseFile()).entries, 3);
}

void TestBackupWindow::restoresAfterConfirmation()
{
    BackupWindow window(*m_diary, m_agenda->context);
    window.copyList->setCurrentItem(window.copyList->topLevelItem(1));
    m_agenda->messenger.answerNext(Messenger::No);
    QTest::mouseClick(window.restoreButton, Qt::LeftButton);
    QCOMPARE(AgendaBackups::countsOf(m_agenda->databaseFile()).entries, 3);

    m_agenda->messenger.answerNext(Messenger::Yes);
    QTest::mouseClick(window.restoreButton, Qt::LeftButton);
    const RecordingMessenger::Shown asked = m_agenda->messenger.shown.last();
    QVERIFY(asked.text.contains(QStringLiteral("3 entradas")));
    QVERIFY(asked.text.contains(QStringLiteral("antes de restaurar")));
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QCOMPARE(AgendaBackups::countsOf(m_agenda->databaseFile()).entries, 1);
    m_diary->Data1.MoveLast();
    QCOMPARE(m_diary->Data1.Text(QStringLiteral("texto")), QStringLiteral("Dentista"));
}

QTEST_MAIN(TestBackupWindow)
#include "tst_backupwindow.moc"
