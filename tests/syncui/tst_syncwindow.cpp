#include "data/Entry.h"
#include "data/EntryStore.h"
#include "data/dav/DavClient.h"
#include "data/sync/SyncAccount.h"
#include "data/sync/SyncRunner.h"
#include "support/FakeKeyring.h"
#include "support/RadicaleServer.h"
#include "support/TestAgenda.h"
#include "sync/SyncWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

// The window "Sincronización" worked as a user works it, against a Radicale of the test's own.
class TestSyncWindow final : public QObject
{
    Q_OBJECT

    static void click(QWidget *control)
    {
        QVERIFY2(control->isVisible() && control->isEnabled(), qPrintable(control->objectName()));
        const QPoint centre = control->rect().center();
        QCOMPARE(control->window()->childAt(control->mapTo(control->window(), centre)), control);
        QTest::mouseClick(control, Qt::LeftButton, {}, centre);
    }
    static void type(QWidget *box, const QString &text)
    {
        click(box);
        QCOMPARE(QApplication::focusWidget(), box);
        QTest::keyClicks(QApplication::focusWidget(), text);
    }

private slots:
    void cleanup()
    {
        for (const char *name : {"QUILLOMAR_DAV_URL", "QUILLOMAR_DAV_USER", "QUILLOMAR_DAV_PASSWORD"})
            qunsetenv(name);
    }

    void syncFromTheWindow_data()
    {
        QTest::addColumn<bool>("rightPassword");
        QTest::addColumn<QString>("keyringFailure");
        QTest::addColumn<QString>("said"); // the start of the line under the account
        QTest::newRow("kept in the keyring") << true << QString() << "Última sincronización:";
        QTest::newRow("no keyring answers") << true << "el escritorio no tiene un depósito de contraseñas"
                                            << "Última sincronización:";
        QTest::newRow("wrong password") << false << QString() << "El servidor 127.0.0.1 no acepta";
    }
    void syncFromTheWindow()
    {
        QFETCH(bool, rightPassword);
        QFETCH(QString, keyringFailure);
        QFETCH(QString, said);
        if (const QString why = RadicaleServer::missing(); !why.isEmpty())
            QSKIP(qPrintable(why));
        RadicaleServer server;
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        QVERIFY(!server.makeCalendar(QStringLiteral("agenda"), {QStringLiteral("VEVENT")}).isEmpty());
        const QUrl work = server.makeCalendar(QStringLiteral("trabajo"), {QStringLiteral("VEVENT")});
        const QUrl tasks = server.makeCalendar(QStringLiteral("pendientes"), {QStringLiteral("VTODO")});
        QVERIFY(!server.makeAddressBook().isEmpty());

        TestAgenda agenda;
        QVERIFY(agenda.diary().entries().add(Entry{-1, QDate(2026, 12, 9), "10:00", "Dentista", {}, {}}));
        FakeKeyring keyring;
        keyring.failure = keyringFailure;
        SyncRunner runner(agenda.diary(), [](const QUrl &url, const QString &user, const QString &password) {
            return std::make_unique<DavClient>(url, user, password);
        });
        agenda.context.keyring = &keyring;
        agenda.context.sync = &runner;
        SyncWindow window(agenda.diary(), agenda.context);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        type(window.serverEdit, server.url().toString());
        type(window.userEdit, server.user());
        const QString password = rightPassword ? server.password() : QStringLiteral("otra");
        type(window.passwordEdit, password);
        click(window.findButton);
        QTRY_VERIFY_WITH_TIMEOUT(window.findButton->isEnabled(), 20000);
        if (!rightPassword) {
            QVERIFY2(window.statusLabel->text().startsWith(said), qPrintable(window.statusLabel->text()));
            return;
        }
        // Only calendars that take to-dos are offered for the tasks.
        QCOMPARE(window.tasksCombo->count(), 1);
        QCOMPARE(window.calendarCombo->count(), 2);
        // The user picks the other calendar from the list the box opens, by typing its name.
        click(window.calendarCombo);
        QTRY_VERIFY(QApplication::focusWidget() && QApplication::focusWidget()->window() != &window);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("trabajo"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(window.calendarCombo->currentData().toUrl(), work);
        QCOMPARE(window.tasksCombo->currentData().toUrl(), tasks);
        QCOMPARE(window.addressBookCombo->currentText(), QStringLiteral("contactos"));
        click(window.syncButton);
        QTRY_VERIFY_WITH_TIMEOUT(!runner.busy() && window.syncButton->isEnabled(), 20000);
        QVERIFY2(window.statusLabel->text().startsWith(said), qPrintable(window.statusLabel->text()));
        QVERIFY2(window.statusLabel->text().contains(QStringLiteral("1 enviado")),
                 qPrintable(window.statusLabel->text()));

        const SyncAccount saved = SyncAccount::load(agenda.context.paths);
        QCOMPARE(saved.tasks, tasks);
        QCOMPARE(saved.calendar, work);
        QByteArray listing;
        QCOMPARE(server.send("PROPFIND", work, {}, {{"Depth", "1"}}, &listing), 207);
        QVERIFY2(listing.contains(".ics"), listing.constData());
        QCOMPARE(saved.lastSummary.isEmpty(), false);
        QCOMPARE(window.passwordNote->isVisible(), !keyringFailure.isEmpty());
        QVERIFY(!keyringFailure.isEmpty() || keyring.kept.value(saved.keyringKey()) == password);
        if (!keyringFailure.isEmpty())
            QVERIFY(window.passwordNote->text().contains(QStringLiteral("no se recordará")));
        // The password stays for the session either way.
        QCOMPARE(agenda.context.syncPassword, password);
    }

    // Everything gone from the server at once is deleted here only when the user says so.
    void heldDeletionsAreAsked_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<qint64>("entriesLeft");
        QTest::newRow("kept") << int(Messenger::No) << qint64(1);
        QTest::newRow("deleted") << int(Messenger::Yes) << qint64(0);
    }
    void heldDeletionsAreAsked()
    {
        QFETCH(int, answer);
        QFETCH(qint64, entriesLeft);
        if (const QString why = RadicaleServer::missing(); !why.isEmpty())
            QSKIP(qPrintable(why));
        RadicaleServer server;
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        const QUrl calendar = server.makeCalendar();
        qputenv("QUILLOMAR_DAV_URL", calendar.toString().toUtf8());
        qputenv("QUILLOMAR_DAV_USER", server.user().toUtf8());
        qputenv("QUILLOMAR_DAV_PASSWORD", server.password().toUtf8());
        TestAgenda agenda;
        QVERIFY(agenda.diary().entries().add(Entry{-1, QDate(2026, 12, 9), "10:00", "Dentista", {}, {}}));
        SyncRunner runner(agenda.diary(), [](const QUrl &url, const QString &user, const QString &password) {
            return std::make_unique<DavClient>(url, user, password);
        });
        agenda.context.sync = &runner;
        SyncWindow window(agenda.diary(), agenda.context);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        click(window.syncButton);
        QTRY_VERIFY_WITH_TIMEOUT(!runner.busy() && window.syncButton->isEnabled(), 20000);

        QByteArray listing;
        QCOMPARE(server.send("PROPFIND", calendar, {}, {{"Depth", "1"}}, &listing), 207);
        const QRegularExpressionMatch item =
            QRegularExpression(QStringLiteral("href>([^<]+\\.ics)<")).match(QString::fromUtf8(listing));
        QVERIFY2(item.hasMatch(), listing.constData());
        QCOMPARE(server.send("DELETE", calendar.resolved(QUrl(item.captured(1)))), 200);
        agenda.messenger.answerNext(Messenger::Button(answer));
        click(window.syncButton);
        QTRY_COMPARE_WITH_TIMEOUT(agenda.messenger.shown.size(), 1, 20000);
        QCOMPARE(agenda.messenger.shown.first().icon, Messenger::Icon::Question);
        QTRY_VERIFY_WITH_TIMEOUT(!runner.busy() && window.syncButton->isEnabled(), 20000);
        QCOMPARE(agenda.cursor(QStringLiteral("notas"))->RecordCount(), entriesLeft);
    }
};

QTEST_MAIN(TestSyncWindow)
#include "tst_syncwindow.moc"
