#include "alarms/AlarmScan.h"
#include "alarms/Form6.h"
#include "alarms/MissedAlarmsWindow.h"
#include "data/AgendaBackups.h"
#include "data/AlarmMark.h"
#include "data/DateText.h"
#include "data/Module1.h"
#include "mainwindow/Application.h"
#include "mainwindow/Form1.h"
#include "mainwindow/TabStrip.h"
#include "support/TestAgenda.h"
#include "widgets/ImageButton.h"
#include "widgets/Section.h"
#include "widgets/Twips.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QScreen>
#include <QtTest>
#include <unistd.h>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Permissions bind an ordinary user only: a test run as root takes the user nobody while it lasts.
class OrdinaryUser final
{
public:
    OrdinaryUser()
        : m_switched(::geteuid() == 0 && ::setresuid(65534, 65534, -1) == 0)
    {}
    ~OrdinaryUser()
    {
        if (m_switched)
            ::setresuid(0, 0, -1);
    }
    bool active() const { return ::geteuid() != 0; }

private:
    bool m_switched;
};

} // namespace

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
        Application program(m_agenda->context);
        QVERIFY(!program.Form_Load());
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
        Application program(m_agenda->context);
        QVERIFY(program.Form_Load());
    }

    void firstStartCreatesTheAgendaAndUsesDefaults()
    {
        Application program(m_agenda->context);
        Form1 &main = program.mainWindow();
        QVERIFY(program.Form_Load());
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

        Application program(m_agenda->context);
        Form1 &main = program.mainWindow();
        QVERIFY(program.Form_Load());
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
        Application program(m_agenda->context);
        Form1 &main = program.mainWindow();
        QVERIFY(program.Form_Load());
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

        Application program(m_agenda->context);
        Form1 &main = program.mainWindow();
        QVERIFY(program.Form_Load()); // start-up goes on
        QCOMPARE(m_agenda->messenger.shown.size(), 1);
        QVERIFY(m_agenda->messenger.shown[0].text.contains(program.databaseFile()));
        QCOMPARE(m_agenda->messenger.shown[0].icon, Messenger::Icon::Critical);
        QVERIFY(!main.diary().Data1.isOpen());
        QVERIFY(!main.diary().Data1.AddNew()); // a later write fails instead of pretending
    }

    // One damaged page: told at start, then not a byte of the file is written (the alarm scan's
    // mark, the day of a yearly holiday shown for the first time, an entry).
    void aDamagedAgendaIsWrittenNoMore_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("entries") << "notas";
        QTest::newRow("yearly dates") << "festivosfijos";
        QTest::newRow("cards") << "telefonos";
    }

    void aDamagedAgendaIsWrittenNoMore()
    {
        QFETCH(QString, table);
        const QString file = m_agenda->databaseFile();
        auto yearly = m_agenda->cursor(QStringLiteral("festivosfijos"));
        QVERIFY(yearly->AddNew() &&
                yearly->SetField(QStringLiteral("fecha"), DateText::fromDate(m_agenda->clock.today()).left(5)) &&
                yearly->SetField(QStringLiteral("esfestivosiempre"), true) && yearly->Update());
        yearly.reset();
        m_agenda->addEntry(m_agenda->clock.today(), QStringLiteral("09:00"), QStringLiteral("uno"));
        TestAgenda::damageTable(file, table);
        const QByteArray damaged = contents(file);

        Application program(m_agenda->context);
        Form1 &main = program.mainWindow();
        QVERIFY(program.Form_Load());
        QCOMPARE(m_agenda->messenger.shown.size(), 1);
        main.Form_Activate();
        RecordCursor &notas = main.diary().Data1;
        QVERIFY(!(notas.Refresh() && notas.AddNew() && notas.SetField(QStringLiteral("texto"), QStringLiteral("dos")) &&
                  notas.Update()));
        QVERIFY(!AlarmMark::write(file, m_agenda->clock.now()));
        QVERIFY(contents(file) == damaged);
    }

    void aReadOnlyAgendaIsToldOnce_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("file") << false;
        QTest::newRow("folder") << true;
    }

    void aReadOnlyAgendaIsToldOnce()
    {
        QFETCH(bool, folder);
        const QString data = m_agenda->folder() + QStringLiteral("/datos");
        QVERIFY(QDir().mkpath(data));
        m_agenda->context.settings.DataFolder = data;
        Settings s = m_agenda->context.settings;
        Module1::DefaultSettings(s, QSize(19200, 14400), data);
        QVERIFY(Module1::SaveSettings(s, m_agenda->context.paths.settingsFile));
        const QString file = m_agenda->databaseFile();
        m_agenda->addEntry(m_agenda->clock.today(), QStringLiteral("09:00"), QStringLiteral("uno"));
        const auto all = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther |
            QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
        const auto writable = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
        QVERIFY(QFile::setPermissions(m_agenda->folder(), all | writable));
        QVERIFY(QFile::setPermissions(data, folder ? all : all | writable));
        QVERIFY(QFile::setPermissions(file, folder ? QFileDevice::Permissions(all | writable) : all));

        Application program(m_agenda->context);
        Form1 &main = program.mainWindow();
        OrdinaryUser user;
        if (!user.active())
            QSKIP("run as root without the right to take another user, permissions cannot be tried");
        QVERIFY(program.Form_Load());
        QCOMPARE(m_agenda->messenger.shown.size(), 1);
        const RecordingMessenger::Shown told = m_agenda->messenger.shown.first();
        QCOMPARE(told.title, QStringLiteral("Quillomar"));
        QVERIFY(told.text.contains(file));
        QVERIFY(told.text.contains(QStringLiteral("solo lectura")));
        RecordCursor &notas = main.diary().Data1;
        QVERIFY(notas.isOpen());
        QVERIFY(!(notas.AddNew() && notas.SetField(QStringLiteral("texto"), QStringLiteral("dos")) && notas.Update()));
        QVERIFY(notas.lastError().contains(QStringLiteral("solo lectura")));
    }

    void closingKeepsTheSizeOnlyWhenNormal()
    {
        Application program(m_agenda->context);
        Form1 &main = program.mainWindow();
        QVERIFY(program.Form_Load());
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

    // The week is on the screen before the missed alarms, the alarm scan, the day's safety copy
    // and the windows' icon; an alarm that falls due meanwhile still rings.
    void theRestWaitsForTheWeekOnScreen()
    {
        const QDateTime start(QDate(2024, 4, 3), QTime(9, 59, 50));
        m_agenda->clock.set(start);
        QVERIFY(AlarmMark::write(m_agenda->databaseFile(), start.addDays(-1)));
        m_agenda->addEntry(start.date(), QStringLiteral("08:00"), QStringLiteral("Perdida"), {},
                           QStringLiteral("09:00"));
        m_agenda->addEntry(start.date(), QStringLiteral("10:00"), QStringLiteral("A su hora"), {},
                           QStringLiteral("10:00"));
        const QString copy =
            QDir(AgendaBackups::folderOf(m_agenda->databaseFile())).filePath(AgendaBackups::dailyName(start.date()));

        Application program(m_agenda->context);
        Form1 &main = program.mainWindow();
        QVERIFY(program.Form_Load());
        QVERIFY(!program.alarmScan()->missedWindow());
        QVERIFY(!QFile::exists(copy));
        QVERIFY(QGuiApplication::windowIcon().isNull());
        m_agenda->clock.advanceSeconds(20); // the alarm's minute comes while the week is drawn
        main.show();
        QTRY_VERIFY(program.alarmScan()->alarmWindow());
        QCOMPARE(program.alarmScan()->alarmWindow()->alarms().size(), 1);
        QCOMPARE(program.alarmScan()->alarmWindow()->alarms()[0].text, QStringLiteral("A su hora"));
        QVERIFY(program.alarmScan()->missedWindow());
        QCOMPARE(program.alarmScan()->missedWindow()->alarms().size(), 1);
        QCOMPARE(program.alarmScan()->missedWindow()->alarms()[0].text, QStringLiteral("Perdida"));
        QTRY_VERIFY(QFile::exists(copy));
        QTRY_VERIFY(!QGuiApplication::windowIcon().isNull());
        // Drawn at the sizes window managers take, each with something on it.
        const QIcon icon = QGuiApplication::windowIcon();
        QCOMPARE(icon.availableSizes(), QList<QSize>({{16, 16}, {32, 32}, {64, 64}, {128, 128}}));
        const QImage large = icon.pixmap(128).toImage();
        QVERIFY(large.pixelColor(64, 64).alpha() > 0 && large.pixelColor(0, 0) != large.pixelColor(64, 64));
    }

    // The sound system's and the network's libraries are not loaded to show the week: the sound's
    // come with the first alarm, through a module of their own.
    void theWeekNeedsNoSoundOrNetworkLibraries()
    {
        Application program(m_agenda->context);
        QVERIFY(program.Form_Load());
        program.mainWindow().show();
        QVERIFY(QTest::qWaitForWindowExposed(&program.mainWindow()));
        const QByteArray maps = contents(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.contains("libQt6Widgets"));
        QVERIFY(!maps.contains("libQt6Multimedia"));
        QVERIFY(!maps.contains("libQt6Network"));
    }

    // A section's widgets are made when its tab is first opened.
    void aSectionIsMadeWhenItsTabIsFirstOpened()
    {
        Application program(m_agenda->context);
        Form1 &main = program.mainWindow();
        QVERIFY(program.Form_Load());
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        for (int tab = 0; tab < 4; ++tab) {
            QVERIFY(!main.section(tab));
            QTest::mouseClick(main.tabs().Image7[tab], Qt::LeftButton);
            QCOMPARE(main.openSection(), tab);
            QVERIFY(main.section(tab) && main.section(tab)->isVisibleTo(&main));
        }
    }

private:
    std::unique_ptr<TestAgenda> m_agenda;
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
