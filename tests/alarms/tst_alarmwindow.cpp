#include "alarms/AlarmLine.h"
#include "alarms/Form6.h"
#include "data/Diary.h"
#include "support/TestAgenda.h"
#include "widgets/PictureBox.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QScrollBar>
#include <QtTest>

// The alarm window as the user meets it: the text, the sound and its repetition, the blinking
// bell, and what closing it does to the diary.
class TestAlarmWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void diaryAlarmShowsItsBareTextAndRings();
    void repeatsEveryMinuteWhileTicked();
    void changingTheNumberKeepsTheCount_data();
    void changingTheNumberKeepsTheCount();
    void untickingStopsTheSoundButNotTheCount();
    void upArrowAddsMinutesWithinOneTo999();
    void bellIsHiddenOneTickInFive();
    void returningToTheWindowRingsOnceMore();
    void newAlarmRingsAndRestartsTheRepetition();
    void diaryAlarmDuringAModalDialogCanBeClosed();
    void closingClearsTheAnnouncedEntryOnly();
    void closingKeepsAnAlarmTheUserSetMeanwhile();
    void closingAfterTheEntryWasDeletedChangesNothing();

private:
    Form6 &open(const QString &text, qint64 numero = -1, const QString &time = QStringLiteral("10:05"));
    QString alarmOf(qint64 numero);

    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Diary> m_diary;
    QPointer<Form6> m_window;
    const QDate m_today = QDate(2024, 4, 3);
};

void TestAlarmWindow::init()
{
    m_agenda = std::make_unique<TestAgenda>();
    m_diary = std::make_unique<Diary>();
    m_diary->open(m_agenda->databaseFile());
    m_agenda->clock.set(QDateTime(m_today, QTime(10, 5, 0)));
}

void TestAlarmWindow::cleanup()
{
    delete m_window.data();
    m_diary.reset();
    m_agenda.reset();
}

Form6 &TestAlarmWindow::open(const QString &text, qint64 numero, const QString &time)
{
    m_window = new Form6(m_agenda->context, *m_diary);
    m_window->announce({numero < 0 ? DueAlarm::Kind::Task : DueAlarm::Kind::Entry, text, numero, time, m_today});
    return *m_window;
}

QString TestAlarmWindow::alarmOf(qint64 numero)
{
    auto notas = m_agenda->cursor(QStringLiteral("notas"));
    notas->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), numero));
    return notas->NoMatch() ? QStringLiteral("<missing>") : notas->Text(QStringLiteral("horaalarma"));
}

void TestAlarmWindow::diaryAlarmShowsItsBareTextAndRings()
{
    const qint64 numero =
        m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("Dentista"), {}, QStringLiteral("10:05"));
    Form6 &window = open(QStringLiteral("Dentista"), numero);
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(window.windowTitle(), QStringLiteral("Alarma de Quillomar"));
    QCOMPARE(window.windowModality(), Qt::NonModal);
    QCOMPARE(window.shownText(), QStringLiteral("Dentista"));
    QVERIFY(window.Label4.first()->alarmText->font().bold());
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Label3"))->text(),
             QStringLiteral("La Alarma acústica volverá a sonar cada"));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Label2"))->text(), QStringLiteral("1"));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Label1"))->text(), QStringLiteral("minutos."));
    QVERIFY(window.findChild<QCheckBox *>(QStringLiteral("Check1"))->isChecked());
    QCOMPARE(window.findChild<PictureBox *>(QStringLiteral("Image1"))->picture(), QStringLiteral("alarm-bell"));
    QVERIFY(window.findChild<QWidget *>(QStringLiteral("Frame1")));

    // Once on opening, even though the window's own activation follows.
    QCoreApplication::processEvents();
    QCOMPARE(m_agenda->sound.played, QStringList{m_agenda->folder() + QStringLiteral("/tiempo.wav")});
    // The window keeps its size whatever it shows.
    QCOMPARE(window.minimumSize(), window.maximumSize());
}

void TestAlarmWindow::repeatsEveryMinuteWhileTicked()
{
    Form6 &window = open(QStringLiteral("TAREA: Regar"));
    QVERIFY(window.Timer2.isActive());
    QCOMPARE(window.Timer2.interval(), 60000);
    for (int minute = 1; minute <= 4; ++minute) {
        window.Timer2_Timer();
        QCOMPARE(m_agenda->sound.played.size(), 1 + minute);
    }
}

void TestAlarmWindow::changingTheNumberKeepsTheCount_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("minutesUntilItRings");

    QTest::newRow("5 after 3 counted") << 5 << 2;
    QTest::newRow("2 after 3 counted") << 2 << 1;
    QTest::newRow("4 after 3 counted") << 4 << 1;
    QTest::newRow("10 after 3 counted") << 10 << 7;
}

void TestAlarmWindow::changingTheNumberKeepsTheCount()
{
    QFETCH(int, number);
    QFETCH(int, minutesUntilItRings);

    Form6 &window = open(QStringLiteral("Dentista"));
    auto *scroll = window.findChild<QScrollBar *>(QStringLiteral("VScroll1"));
    scroll->setValue(Form6::scrollFromNumber(99));
    for (int i = 0; i < 3; ++i)
        window.Timer2_Timer();
    QCOMPARE(window.RepeatCount, 3);
    const qsizetype before = m_agenda->sound.played.size();

    scroll->setValue(Form6::scrollFromNumber(number));
    QCOMPARE(window.Label2->text(), QString::number(number));
    QCOMPARE(window.RepeatMinutes, number);
    for (int minute = 1; minute < minutesUntilItRings; ++minute) {
        window.Timer2_Timer();
        QCOMPARE(m_agenda->sound.played.size(), before);
    }
    window.Timer2_Timer();
    QCOMPARE(m_agenda->sound.played.size(), before + 1);
    QCOMPARE(window.RepeatCount, 0);
}

void TestAlarmWindow::untickingStopsTheSoundButNotTheCount()
{
    Form6 &window = open(QStringLiteral("Dentista"));
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.VScroll1->setValue(Form6::scrollFromNumber(3));
    auto *check = window.findChild<QCheckBox *>(QStringLiteral("Check1"));
    QTest::mouseClick(check, Qt::LeftButton, {}, check->rect().center());
    QVERIFY(!check->isChecked());
    const qsizetype before = m_agenda->sound.played.size();
    for (int i = 0; i < 7; ++i)
        window.Timer2_Timer();
    QCOMPARE(m_agenda->sound.played.size(), before);
    QCOMPARE(window.RepeatCount, 1); // counted on: reset at 3 and 6
    QVERIFY(window.Timer1.isActive());
    QVERIFY(window.isVisible());

    QTest::mouseClick(check, Qt::LeftButton, {}, check->rect().center());
    QVERIFY(check->isChecked());
    window.Timer2_Timer();
    QCOMPARE(m_agenda->sound.played.size(), before);
    window.Timer2_Timer();
    QCOMPARE(m_agenda->sound.played.size(), before + 1);
}

void TestAlarmWindow::upArrowAddsMinutesWithinOneTo999()
{
    Form6 &window = open(QStringLiteral("Dentista"));
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QScrollBar *scroll = window.VScroll1;
    QLabel *number = window.Label2;

    // The upper arrow sits at the top of the bar.
    QTest::mouseClick(scroll, Qt::LeftButton, {}, QPoint(scroll->width() / 2, 2));
    QCOMPARE(number->text(), QStringLiteral("2"));
    QTest::mouseClick(scroll, Qt::LeftButton, {}, QPoint(scroll->width() / 2, scroll->height() - 3));
    QTest::mouseClick(scroll, Qt::LeftButton, {}, QPoint(scroll->width() / 2, scroll->height() - 3));
    QCOMPARE(number->text(), QStringLiteral("1"));
    QCOMPARE(window.RepeatMinutes, 1);

    scroll->setValue(scroll->minimum());
    QCOMPARE(number->text(), QStringLiteral("999"));
    QTest::mouseClick(scroll, Qt::LeftButton, {}, QPoint(scroll->width() / 2, 2));
    QCOMPARE(window.RepeatMinutes, 999);
}

void TestAlarmWindow::bellIsHiddenOneTickInFive()
{
    Form6 &window = open(QStringLiteral("Dentista"));
    QVERIFY(window.Timer1.isActive());
    QCOMPARE(window.Timer1.interval(), 200);
    QString seen;
    for (int tick = 0; tick < 15; ++tick) {
        window.Timer1_Timer();
        seen += window.Image1->isHidden() ? QLatin1Char('_') : QLatin1Char('#');
    }
    QCOMPARE(seen,
             QStringLiteral("#_###"
                            "#_###"
                            "#_###"));
}

void TestAlarmWindow::returningToTheWindowRingsOnceMore()
{
    Form6 &window = open(QStringLiteral("Dentista"));
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(m_agenda->sound.played.size(), 1);
    window.VScroll1->setValue(Form6::scrollFromNumber(4));
    window.Timer2_Timer();

    QWidget mainWindow;
    mainWindow.show();
    mainWindow.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&mainWindow));
    m_agenda->clock.advanceSeconds(30);
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(m_agenda->sound.played.size(), 2);
    QCOMPARE(window.RepeatCount, 1);
    QCOMPARE(window.RepeatMinutes, 4);
}

void TestAlarmWindow::newAlarmRingsAndRestartsTheRepetition()
{
    Form6 &window = open(QStringLiteral("Dentista"), 1);
    window.VScroll1->setValue(Form6::scrollFromNumber(3));
    window.Timer2_Timer();
    window.Timer2_Timer();
    m_agenda->clock.advanceSeconds(120);
    window.announce({DueAlarm::Kind::Entry, QStringLiteral("Farmacia"), 2, QStringLiteral("10:07"), m_today});
    QCOMPARE(m_agenda->sound.played.size(), 2);
    QCOMPARE(window.RepeatCount, 0);
    QCOMPARE(window.RepeatMinutes, 3);
    QCOMPARE(window.shownText(), QStringLiteral("Farmacia\n\nDentista"));
    QCOMPARE(window.windowModality(), Qt::NonModal);

    window.announce({DueAlarm::Kind::Task, QStringLiteral("TAREA: Regar"), -1, QStringLiteral("10:07"), m_today});
    QCOMPARE(window.windowModality(), Qt::ApplicationModal);
    QVERIFY(window.isVisible());
    QCOMPARE(window.shownText(), QStringLiteral("TAREA: Regar\n\nFarmacia\n\nDentista"));
}

void TestAlarmWindow::diaryAlarmDuringAModalDialogCanBeClosed()
{
    QDialog dialog;
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(QApplication::activeModalWidget(), &dialog);

    Form6 &window = open(QStringLiteral("Dentista"), 1);
    QCOMPARE(window.windowModality(), Qt::ApplicationModal);
    QCOMPARE(QApplication::activeModalWidget(), &window);
    QVERIFY(window.close());
    QCOMPARE(QApplication::activeModalWidget(), &dialog);
}

void TestAlarmWindow::closingClearsTheAnnouncedEntryOnly()
{
    const qint64 announced =
        m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("Dentista"), {}, QStringLiteral("10:05"));
    const qint64 other =
        m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("Otra"), {}, QStringLiteral("10:05"));
    Form6 &window = open(QStringLiteral("Dentista"), announced);
    QVERIFY(window.close());
    QCOMPARE(alarmOf(announced), QString());
    QCOMPARE(alarmOf(other), QStringLiteral("10:05"));
    QVERIFY(!window.Timer1.isActive());
    QVERIFY(!window.Timer2.isActive());
    QVERIFY(m_agenda->messenger.shown.isEmpty());
    QTRY_VERIFY(!m_window); // the window ends with its closing
}

void TestAlarmWindow::closingKeepsAnAlarmTheUserSetMeanwhile()
{
    const qint64 numero =
        m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("Dentista"), {}, QStringLiteral("10:05"));
    Form6 &window = open(QStringLiteral("Dentista"), numero);
    {
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        notas->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), numero));
        notas->Edit();
        notas->SetField(QStringLiteral("horaalarma"), QStringLiteral("10:15"));
        QVERIFY(notas->Update());
    }
    QVERIFY(window.close());
    QCOMPARE(alarmOf(numero), QStringLiteral("10:15"));
}

void TestAlarmWindow::closingAfterTheEntryWasDeletedChangesNothing()
{
    const qint64 numero =
        m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("Dentista"), {}, QStringLiteral("10:05"));
    const qint64 kept =
        m_agenda->addEntry(m_today, QStringLiteral("09:00"), QStringLiteral("Otra"), {}, QStringLiteral("10:05"));
    Form6 &window = open(QStringLiteral("Dentista"), numero);
    {
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        notas->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), numero));
        QVERIFY(notas->Delete());
    }
    QVERIFY(window.close());
    QCOMPARE(alarmOf(numero), QStringLiteral("<missing>"));
    QCOMPARE(alarmOf(kept), QStringLiteral("10:05"));
    QVERIFY(m_agenda->messenger.shown.isEmpty());
}

QTEST_MAIN(TestAlarmWindow)
#include "tst_alarmwindow.moc"
