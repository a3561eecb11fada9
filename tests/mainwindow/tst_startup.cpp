#include "data/Module1.h"
#include "mainwindow/Form1.h"
#include "support/TestAgenda.h"
#include "widgets/Twips.h"

#include <QFile>
#include <QLockFile>
#include <QScreen>
#include <QtTest>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_agenda = std::make_unique<TestAgenda>(); }
    void cleanup() { m_agenda.reset(); }

    void secondCopyIsRefused()
    {
        QLockFile firstCopy(m_agenda->context.paths.lockFile);
        QVERIFY(firstCopy.tryLock(0));
        Form1 main(m_agenda->context);
        QVERIFY(!main.Form_Load());
        QCOMPARE(m_agenda->messenger.shown.size(), 1);
        const auto &box = m_agenda->messenger.shown[0];
        QCOMPARE(box.text,
                 QStringLiteral("Hay una instancia del programa funcionando todavía. Búsquela en el escritorio."));
        QCOMPARE(box.title, QStringLiteral("Quillomar"));
        QCOMPARE(box.icon, Messenger::Icon::Critical);
        QCOMPARE(box.buttons, unsigned(Messenger::Ok));
        QVERIFY(!QFile::exists(m_agenda->databaseFile()));
        QVERIFY(!QFile::exists(m_agenda->context.paths.settingsFile));
    }

    void aLockLeftByACrashIsTakenOver()
    {
        QFile stale(m_agenda->context.paths.lockFile);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        // Left by a copy whose process no longer exists.
        stale.write(QByteArray("999999\n") + QCoreApplication::applicationName().toUtf8() + "\n" +
                    QSysInfo::machineHostName().toUtf8() + "\n");
        stale.close();
        Form1 main(m_agenda->context);
        QVERIFY(main.Form_Load());
    }

    void firstStartCreatesTheAgendaAndUsesDefaults()
    {
        Form1 main(m_agenda->context);
        QVERIFY(main.Form_Load());
        QVERIFY(m_agenda->messenger.shown.isEmpty());
        QVERIFY(QFile::exists(m_agenda->databaseFile()));
        QVERIFY(main.diary().Data1.isOpen() && main.diary().Data4.isOpen() && main.diary().Data2.isOpen() &&
                main.diary().Data3.isOpen() && main.diary().Data5.isOpen() && main.diary().DataTelefonos.isOpen());
        QCOMPARE(main.diary().SelectedDate, m_agenda->clock.today());

        const QSize screen = Twips::screenSize(main.screen());
        QCOMPARE(int(m_agenda->context.settings.MainWidth), qRound(screen.width() / 2.0));
        QCOMPARE(int(m_agenda->context.settings.Alpha), 80);
        QCOMPARE(main.width(), Twips::toPixels(m_agenda->context.settings.MainWidth, main.screen()));
        QVERIFY(!QFile::exists(m_agenda->context.paths.settingsFile)); // nothing written at start
    }

    void storedPlaceAndTheEightyPercentRule()
    {
        const QSize screen = Twips::screenSize(QGuiApplication::primaryScreen());
        Settings s;
        s.Alpha = 80;
        s.Delay = 15;
        s.MainWidth = 32767; // wider than the screen
        s.MainHeight = 6000;
        s.MainLeft = 300;
        s.MainTop = -150; // odd, applied as it is
        s.DataFolder = m_agenda->folder();
        QVERIFY(Module1::SaveSettings(s, m_agenda->context.paths.settingsFile));
        QVERIFY(screen.width() < 32767);

        Form1 main(m_agenda->context);
        QVERIFY(main.Form_Load());
        const QScreen *primary = QGuiApplication::primaryScreen();
        QCOMPARE(main.width(), Twips::toPixels(0.8 * screen.width(), primary));
        QCOMPARE(main.height(), Twips::toPixels(6000, primary));
        QCOMPARE(main.x(), Twips::toPixels(300, primary));
        QCOMPARE(main.y(), Twips::toPixels(-150, primary));
    }

    void aSizeTooSmallToSeeOpensUsable()
    {
        QFile file(m_agenda->context.paths.settingsFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("80\r\n15\r\n"); // a short file: no size at all
        file.close();
        Form1 main(m_agenda->context);
        QVERIFY(main.Form_Load());
        QCOMPARE(main.width(), Twips::toPixels(Form1::MinimumWidthTwips, main.screen()));
        QCOMPARE(main.height(), Twips::toPixels(Form1::MinimumHeightTwips, main.screen()));
        // No data folder in the file: the agenda opens in the default one rather than nowhere.
        QVERIFY(main.diary().Data1.isOpen());
    }

    void anAgendaThatCannotBeOpenedIsTold_data()
    {
        QTest::addColumn<bool>("missingFolder");
        QTest::newRow("folder missing") << true;
        QTest::newRow("not an agenda") << false;
    }

    void anAgendaThatCannotBeOpenedIsTold()
    {
        QFETCH(bool, missingFolder);
        if (missingFolder) {
            m_agenda->context.settings.DataFolder = m_agenda->folder() + QStringLiteral("/no/such");
        } else {
            QFile garbage(m_agenda->databaseFile());
            QVERIFY(garbage.open(QIODevice::WriteOnly));
            garbage.write(QByteArray(2048, '\x7f'));
        }
        Settings s = m_agenda->context.settings;
        Module1::DefaultSettings(s, QSize(19200, 14400), s.DataFolder);
        QVERIFY(Module1::SaveSettings(s, m_agenda->context.paths.settingsFile));

        Form1 main(m_agenda->context);
        QVERIFY(main.Form_Load()); // start-up goes on
        QCOMPARE(m_agenda->messenger.shown.size(), 1);
        QVERIFY(m_agenda->messenger.shown[0].text.contains(main.databaseFile()));
        QCOMPARE(m_agenda->messenger.shown[0].icon, Messenger::Icon::Critical);
        QVERIFY(!main.diary().Data1.isOpen());
        QVERIFY(!main.diary().Data1.AddNew()); // a later write fails instead of pretending
    }

    void closingKeepsTheSizeOnlyWhenNormal()
    {
        Form1 main(m_agenda->context);
        QVERIFY(main.Form_Load());
        main.show();
        main.resize(700, 500);
        main.StoreMainSize();
        const qint16 stored = m_agenda->context.settings.MainWidth;
        QCOMPARE(int(stored), qRound(Twips::fromPixels(700, main.screen())));
        main.showMaximized();
        main.close();
        QCOMPARE(m_agenda->context.settings.MainWidth, stored);
        QVERIFY(!QFile::exists(m_agenda->context.paths.settingsFile));
    }

private:
    std::unique_ptr<TestAgenda> m_agenda;
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
