#include "agenda/WeekView.h"
#include "alarms/AlarmLine.h"
#include "alarms/AlarmScan.h"
#include "alarms/Form6.h"
#include "alarms/MissedAlarmsWindow.h"
#include "data/EntryLine.h"
#include "data/TaskStore.h"
#include "data/store/Criterion.h"
#include "desktopclock/Form9.h"
#include "mainwindow/Application.h"
#include "mainwindow/Form1.h"
#include "support/TestAgenda.h"
#include "tasks/TaskList.h"
#include "widgets/DBusNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

namespace {

const QString NotificationsPath = QStringLiteral("/org/freedesktop/Notifications");
const QString NotificationsInterface = QStringLiteral("org.freedesktop.Notifications");

} // namespace

// Stands in for the desktop's notification service on the test's own bus: keeps what it is
// asked to show and to close, and acts as the desktop's user does (an action, then the notice
// closes; or the notice dismissed).
class NotificationStandIn : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    explicit NotificationStandIn(const QDBusConnection &bus)
        : m_bus(bus)
    {}

    struct Notice
    {
        QString icon;
        QString summary;
        QStringList actions;
    };
    QList<Notice> notices; // notice id n is notices[n - 1]
    QList<uint> closed;

    uint idOf(const QString &text) const
    {
        for (int i = 0; i < notices.size(); ++i)
            if (notices[i].summary.contains(text))
                return uint(i + 1);
        return 0;
    }
    void invoke(uint id, const QString &action)
    {
        emitSignal(QStringLiteral("ActionInvoked"), {id, action});
        emitSignal(QStringLiteral("NotificationClosed"), {id, 2u});
    }
    void dismiss(uint id) { emitSignal(QStringLiteral("NotificationClosed"), {id, 2u}); }

public slots:
    uint Notify(const QString &, uint, const QString &icon, const QString &summary, const QString &,
                const QStringList &actions, const QVariantMap &, int)
    {
        notices.append({icon, summary, actions});
        return uint(notices.size());
    }
    void CloseNotification(uint id)
    {
        closed << id;
        emitSignal(QStringLiteral("NotificationClosed"), {id, 3u});
    }

private:
    void emitSignal(const QString &name, const QVariantList &arguments)
    {
        QDBusMessage signal = QDBusMessage::createSignal(NotificationsPath, NotificationsInterface, name);
        signal.setArguments(arguments);
        m_bus.send(signal);
    }

    QDBusConnection m_bus;
};

// Alarms posted to the desktop's notification service, and acted on from there and from the
// alarm window, on a session bus of the test's own with a stand-in for the service.
class TestNotifications : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void alarmIsPostedOnceWithItsActions();
    void actionOnTheDesktopDealsWithThatAlarmAlone_data();
    void actionOnTheDesktopDealsWithThatAlarmAlone();
    void doneOnOneSideIsWithdrawnOnTheOther_data();
    void doneOnOneSideIsWithdrawnOnTheOther();
    void abrirOnATaskShowsItInTheTaskList();

private:
    // Starts the program at 10:05 with the alarms of "Dentista" and "Farmacia" ringing.
    void startProgram();
    Form6 *alarmWindow() const { return m_program->alarmScan()->alarmWindow(); }
    QString alarmOf(qint64 numero);

    QTemporaryDir m_busFolder;
    QProcess m_busDaemon;
    QString m_busAddress;
    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<NotificationStandIn> m_service;
    std::unique_ptr<DBusNotifier> m_notifier;
    std::unique_ptr<Application> m_program;
    const QDate m_today = QDate(2024, 4, 3);
    qint64 m_dentist = -1;
    qint64 m_chemist = -1;
    int m_run = 0;
    int m_connects = 0; // times the notifier reached for the bus
};

void TestNotifications::initTestCase()
{
    const QString config = m_busFolder.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
                              "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                              "<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                              "<auth>EXTERNAL</auth><policy context=\"default\"><allow send_destination=\"*\" "
                              "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>"
                              "</busconfig>\n")
                   .arg(m_busFolder.path())
                   .toUtf8());
    file.close();
    m_busDaemon.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--config-file=") + config, QStringLiteral("--print-address"),
                       QStringLiteral("--nofork"), QStringLiteral("--nopidfile")});
    QVERIFY2(m_busDaemon.waitForStarted(), "dbus-daemon (package dbus) is needed");
    QVERIFY(m_busDaemon.waitForReadyRead(10000));
    m_busAddress = QString::fromUtf8(m_busDaemon.readLine()).trimmed();
    QVERIFY(!m_busAddress.isEmpty());
}

void TestNotifications::cleanupTestCase()
{
    m_busDaemon.terminate();
    m_busDaemon.waitForFinished();
}

void TestNotifications::init()
{
    // Each test's program and service are new to the bus, as after a log-in.
    ++m_run;
    const QDBusConnection serviceBus =
        QDBusConnection::connectToBus(m_busAddress, QStringLiteral("service%1").arg(m_run));
    QVERIFY(serviceBus.isConnected());
    m_service = std::make_unique<NotificationStandIn>(serviceBus);
    QDBusConnection bus = serviceBus;
    QVERIFY(bus.registerObject(NotificationsPath, m_service.get(), QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService(NotificationsInterface));
    m_connects = 0;
    m_notifier = std::make_unique<DBusNotifier>(QStringLiteral(QUILLOMAR_APP_ID), [this] {
        ++m_connects;
        return QDBusConnection::connectToBus(m_busAddress, QStringLiteral("program%1").arg(m_run));
    });

    m_agenda = std::make_unique<TestAgenda>();
    m_agenda->context.notifier = m_notifier.get();
    m_agenda->clock.set(QDateTime(m_today, QTime(10, 5, 20)));
    m_dentist =
        m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("Dentista"), {}, QStringLiteral("10:05"));
    m_chemist =
        m_agenda->addEntry(m_today, QStringLiteral("09:30"), QStringLiteral("Farmacia"), {}, QStringLiteral("10:05"));
}

void TestNotifications::cleanup()
{
    m_program.reset();
    m_agenda.reset();
    m_notifier.reset();
    QDBusConnection bus = QDBusConnection::connectToBus(m_busAddress, QStringLiteral("service%1").arg(m_run));
    bus.unregisterService(NotificationsInterface);
    bus.unregisterObject(NotificationsPath);
    m_service.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("service%1").arg(m_run));
    QDBusConnection::disconnectFromBus(QStringLiteral("program%1").arg(m_run));
}

void TestNotifications::startProgram()
{
    m_program = std::make_unique<Application>(m_agenda->context);
    QVERIFY(m_program->Form_Load());
    m_program->mainWindow().show();
    QCOMPARE(m_connects, 0); // the bus is reached for the first notice, not as the program starts
    QTRY_VERIFY(alarmWindow());
    QTRY_COMPARE(m_service->notices.size(), 2);
    QCOMPARE(m_connects, 1);
}

QString TestNotifications::alarmOf(qint64 numero)
{
    auto notas = m_agenda->cursor(QStringLiteral("notas"));
    notas->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), numero));
    return notas->Text(QStringLiteral("horaalarma"));
}

// Once as it rings, with the entry's time and text, the program's icon and the two actions;
// not again when the program is started again within the same minute, and the notices of a
// program that ended are withdrawn with it.
void TestNotifications::alarmIsPostedOnceWithItsActions()
{
    startProgram();
    if (QTest::currentTestFailed())
        return;
    const NotificationStandIn::Notice notice =
        m_service->notices.at(int(m_service->idOf(QStringLiteral("Dentista"))) - 1);
    QCOMPARE(notice.summary, QStringLiteral("09:00 Dentista"));
    QCOMPARE(notice.icon, QStringLiteral(QUILLOMAR_APP_ID));
    QCOMPARE(notice.actions,
             (QStringList{QStringLiteral("posponer"), QStringLiteral("Posponer"), QStringLiteral("abrir"),
                          QStringLiteral("Abrir")}));

    m_program.reset();
    QTRY_COMPARE(m_service->closed.size(), 2);
    m_agenda->clock.advanceSeconds(20);
    m_program = std::make_unique<Application>(m_agenda->context);
    QVERIFY(m_program->Form_Load());
    QTRY_COMPARE(m_program->alarmScan()->lastScanned(), QDateTime(m_today, QTime(10, 5)));
    QVERIFY(!alarmWindow());
    QCOMPARE(m_service->notices.size(), 2);
}

void TestNotifications::actionOnTheDesktopDealsWithThatAlarmAlone_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("behindClock"); // the diary hidden behind the desktop clock
    QTest::addColumn<QString>("alarmLeft");

    QTest::newRow("Posponer") << QStringLiteral("posponer") << false << QStringLiteral("10:10");
    QTest::newRow("Abrir") << QStringLiteral("abrir") << false << QString();
    QTest::newRow("Abrir from the desktop clock") << QStringLiteral("abrir") << true << QString();
}

void TestNotifications::actionOnTheDesktopDealsWithThatAlarmAlone()
{
    QFETCH(QString, action);
    QFETCH(bool, behindClock);
    QFETCH(QString, alarmLeft);
    startProgram();
    if (QTest::currentTestFailed())
        return;
    Form1 &main = m_program->mainWindow();
    m_program->diary().showWeekOf(m_today.addDays(21));
    if (behindClock)
        main.ShowWidget();

    // The later line of the day, which the keyboard focus does not land on by itself.
    m_service->invoke(m_service->idOf(QStringLiteral("Farmacia")), action);
    QTRY_COMPARE(alarmWindow()->shownText(), QStringLiteral("Dentista"));
    QCOMPARE(alarmOf(m_chemist), alarmLeft);
    QCOMPARE(alarmOf(m_dentist), QStringLiteral("10:05"));
    if (action != QLatin1String("abrir"))
        return;
    QVERIFY(main.isVisible());
    QVERIFY(!main.widget() || !main.widget()->isVisible());
    QCOMPARE(main.week().WeekStart, m_today.addDays(1 - m_today.dayOfWeek()));
    const QListWidgetItem *line = main.week().List1[m_today.dayOfWeek() - 1]->currentItem();
    QVERIFY(line);
    QCOMPARE(EntryLine::Number(line->text()).toLongLong(), m_chemist);
}

void TestNotifications::doneOnOneSideIsWithdrawnOnTheOther_data()
{
    QTest::addColumn<bool>("onDesktop"); // dismissed on the desktop, else "Quitar" in the window

    QTest::newRow("Quitar in the window") << false;
    QTest::newRow("dismissed on the desktop") << true;
}

void TestNotifications::doneOnOneSideIsWithdrawnOnTheOther()
{
    QFETCH(bool, onDesktop);
    startProgram();
    if (QTest::currentTestFailed())
        return;
    const uint dentist = m_service->idOf(QStringLiteral("Dentista"));
    if (onDesktop) {
        m_service->dismiss(dentist);
    } else {
        for (AlarmLine *line : alarmWindow()->Label4)
            if (line->alarmText->text() == QLatin1String("Dentista"))
                QTest::mouseClick(line->dismissButton, Qt::LeftButton);
        QTRY_COMPARE(m_service->closed, QList<uint>{dentist});
    }
    QTRY_COMPARE(alarmWindow()->shownText(), QStringLiteral("Farmacia"));
    QCOMPARE(alarmOf(m_dentist), QString());
    QCOMPARE(alarmOf(m_chemist), QStringLiteral("10:05"));

    // Closing the window is done with the rest.
    alarmWindow()->close();
    QTRY_VERIFY(m_service->closed.contains(m_service->idOf(QStringLiteral("Farmacia"))));
}

void TestNotifications::abrirOnATaskShowsItInTheTaskList()
{
    for (const QString &text : {QStringLiteral("Regar"), QStringLiteral("Comprar pan")}) {
        auto tareas = m_agenda->cursor(QStringLiteral("tareas"));
        tareas->AddNew();
        tareas->SetField(QStringLiteral("Fecha"), m_today);
        tareas->SetField(QStringLiteral("Terminada"), false);
        tareas->SetField(QStringLiteral("Tarea"), text);
        QVERIFY(tareas->Update());
    }
    startProgram();
    if (QTest::currentTestFailed())
        return;
    Diary &diary = m_program->diary();
    const qint64 key = diary.tasks().keyOf(QStringLiteral("Comprar pan"));
    QPointer<MissedAlarmsWindow> window = new MissedAlarmsWindow(
        m_agenda->context, diary,
        {{DueAlarm::Kind::Task, QStringLiteral("TAREA: Comprar pan"), -1, QStringLiteral("09:00"), m_today, key}});
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::mouseClick(window->openButton, Qt::LeftButton);

    QTRY_VERIFY(!window);
    const auto *tasks = qobject_cast<TaskList *>(m_program->mainWindow().section(3));
    QVERIFY(tasks && tasks->isVisible());
    QVERIFY(tasks->List2->currentItem());
    QCOMPARE(tasks->List2->currentItem()->text(), QStringLiteral("Comprar pan"));
}

QTEST_MAIN(TestNotifications)
#include "tst_notifications.moc"
