#include "support/TestAgenda.h"
#include "tasks/Form8.h"
#include "tasks/TaskHandOver.h"
#include "widgets/Spinner.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

// The task dialog alone: what it starts with, its key rules, the three spinners, and the
// hand-over it leaves on "Guardar". The fake clock stands at 03/04/2024 03:17.
class TestTaskDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithTodayAndTheAlarmOff();
    void keyRulesKeepTheHandOverWhole();
    void enterSavesOnlyWithADescription();
    void handOverForms_data();
    void handOverForms();
    void spinnerSteps_data();
    void spinnerSteps();
    void dateSpinnerGoesBackWithTheUpperArrow();
    void invalidAlarmIsSentBack_data();
    void invalidAlarmIsSentBack();
    void malformedHandOverIsRefused_data();
    void malformedHandOverIsRefused();
    void bottomRowFollowsTheWindowSize();

private:
    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Form8> m_dialog;
};

void TestTaskDialog::init()
{
    m_agenda = std::make_unique<TestAgenda>();
    m_dialog = std::make_unique<Form8>(m_agenda->context, nullptr);
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
}

void TestTaskDialog::cleanup()
{
    m_dialog.reset();
    m_agenda.reset();
}

void TestTaskDialog::opensWithTodayAndTheAlarmOff()
{
    QCOMPARE(m_dialog->text(0), QStringLiteral("03/04/2024"));
    QCOMPARE(m_dialog->text(1), QStringLiteral("03:17"));
    QVERIFY(m_dialog->text(2).isEmpty());
    QVERIFY(m_dialog->Description->hasFocus());
    QVERIFY(!m_dialog->Check1->isChecked());
    QVERIFY(!m_dialog->Check2->isChecked());
    for (QWidget *control : std::initializer_list<QWidget *>{m_dialog->Text1[3], m_dialog->Text1[4], m_dialog->VScroll1,
                                                             m_dialog->VScroll2, m_dialog->VScroll3})
        QVERIFY(!control->isEnabled());
}

void TestTaskDialog::keyRulesKeepTheHandOverWhole()
{
    QTest::keyClicks(m_dialog->Text1[0], QStringLiteral("9"));
    QTest::keyClicks(m_dialog->Text1[1], QStringLiteral("9"));
    QTest::keyClicks(m_dialog->Description, QStringLiteral("a|b_c"));
    m_dialog->Description->insertPlainText(QStringLiteral("|pegado|"));
    QCOMPARE(m_dialog->text(0), QStringLiteral("03/04/2024"));
    QCOMPARE(m_dialog->text(1), QStringLiteral("03:17"));
    QCOMPARE(m_dialog->text(2), QStringLiteral("abcpegado"));
    m_dialog->setText(2, QStringLiteral("x|y"));
    QCOMPARE(m_dialog->text(2), QStringLiteral("xy"));
}

void TestTaskDialog::enterSavesOnlyWithADescription()
{
    QTest::keyClick(m_dialog->Description, Qt::Key_Return);
    QCOMPARE(m_agenda->messenger.texts(), QStringList{QStringLiteral("No se ha indicado una descripción de la tarea")});
    QVERIFY(m_dialog->isVisible());
    QVERIFY(m_dialog->handOver().isEmpty());
    QTest::keyClicks(m_dialog->Description, QStringLiteral("Leer"));
    QTest::keyClick(m_dialog->Description, Qt::Key_Enter);
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_dialog->handOver(), QStringLiteral("N03/04/2024_03:17_Leer|_"));
}

void TestTaskDialog::handOverForms_data()
{
    QTest::addColumn<bool>("done");
    QTest::addColumn<bool>("alarmOnOff"); // ticked, then cleared again
    QTest::addColumn<bool>("alarm");
    QTest::addColumn<QString>("alarmTime");
    QTest::addColumn<QString>("handOver");

    QTest::newRow("done, no alarm") << true << false << false << QString()
                                    << QStringLiteral("S03/04/2024_03:17_Leer|_");
    QTest::newRow("alarm cleared") << false << true << false << QString() << QStringLiteral("N03/04/2024_03:17_Leer|_");
    QTest::newRow("alarm without time") << false << false << true << QString()
                                        << QStringLiteral("N03/04/2024_03:17_Leer|03/04/2024_");
    QTest::newRow("full alarm") << false << false << true << QStringLiteral("08:05")
                                << QStringLiteral("N03/04/2024_03:17_Leer|03/04/2024_08:05");
}

void TestTaskDialog::handOverForms()
{
    QFETCH(bool, done);
    QFETCH(bool, alarmOnOff);
    QFETCH(bool, alarm);
    QFETCH(QString, alarmTime);
    QFETCH(QString, handOver);
    m_dialog->setText(2, QStringLiteral("Leer"));
    m_dialog->Check1->setChecked(done);
    if (alarmOnOff) {
        m_dialog->Check2->setChecked(true);
        m_dialog->setText(4, QStringLiteral("10:00"));
        m_dialog->Check2->setChecked(false);
        QVERIFY(m_dialog->text(3).isEmpty() && m_dialog->text(4).isEmpty());
    }
    m_dialog->Check2->setChecked(alarm);
    if (!alarmTime.isEmpty())
        QTest::keyClicks(m_dialog->Text1[4], alarmTime);
    QTest::mouseClick(m_dialog->Command1, Qt::LeftButton);
    QCOMPARE(m_dialog->handOver(), handOver);

    TaskHandOver task;
    QString why;
    QVERIFY(TaskHandOver::parse(handOver, &task, &why));
    QCOMPARE(task.done, done);
    QCOMPARE(task.description, QStringLiteral("Leer"));
    QCOMPARE(task.alarmDate.isValid(), alarm);
    QCOMPARE(task.alarmTime, alarmTime);
}

void TestTaskDialog::spinnerSteps_data()
{
    QTest::addColumn<QString>("spinner");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("arrows"); // u: upper arrow, d: lower arrow
    QTest::addColumn<QString>("shown");

    QTest::newRow("first minute step down") << "VScroll2"
                                            << ""
                                            << "d"
                                            << "00:59";
    QTest::newRow("first minute step up") << "VScroll2"
                                          << ""
                                          << "u"
                                          << "00:01";
    QTest::newRow("first hour step only sets 00:00") << "VScroll3"
                                                     << ""
                                                     << "u"
                                                     << "00:00";
    QTest::newRow("then the hour steps") << "VScroll3"
                                         << ""
                                         << "ud"
                                         << "23:00";
    QTest::newRow("hour up from 23:59, no carry") << "VScroll3"
                                                  << "23:59"
                                                  << "u"
                                                  << "00:59";
    QTest::newRow("minute up from 23:59, no carry") << "VScroll2"
                                                    << "23:59"
                                                    << "u"
                                                    << "23:00";
    QTest::newRow("minute down from 10:00, no borrow") << "VScroll2"
                                                       << "10:00"
                                                       << "d"
                                                       << "10:59";
    QTest::newRow("up then down") << "VScroll2"
                                  << "10:30"
                                  << "uud"
                                  << "10:31";
    QTest::newRow("typed nonsense starts from 00:00") << "VScroll2"
                                                      << "2x:9"
                                                      << "u"
                                                      << "00:01";
}

void TestTaskDialog::spinnerSteps()
{
    QFETCH(QString, spinner);
    QFETCH(QString, start);
    QFETCH(QString, arrows);
    QFETCH(QString, shown);
    m_dialog->Check2->setChecked(true);
    m_dialog->setText(4, start);
    auto *bar = m_dialog->findChild<Spinner *>(spinner);
    for (QChar arrow : arrows)
        bar->triggerAction(arrow == u'u' ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(m_dialog->text(4), shown);
}

void TestTaskDialog::dateSpinnerGoesBackWithTheUpperArrow()
{
    m_dialog->Check2->setChecked(true);
    m_dialog->setText(3, QStringLiteral("01/03/2024"));
    for (int i = 0; i < 3; ++i)
        m_dialog->VScroll1->triggerAction(QAbstractSlider::SliderSingleStepSub);
    m_dialog->VScroll1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(m_dialog->text(3), QStringLiteral("28/02/2024"));
    m_dialog->setText(3, QString());
    m_dialog->VScroll1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(m_dialog->text(3), QStringLiteral("03/04/2024"));
}

void TestTaskDialog::invalidAlarmIsSentBack_data()
{
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("named");

    QTest::newRow("no such day") << "31/02/2024"
                                 << "10:00"
                                 << "«Día»";
    QTest::newRow("day emptied") << ""
                                 << ""
                                 << "«Día»";
    QTest::newRow("hour 25") << "03/04/2024"
                             << "25:00"
                             << "«Hora»";
    QTest::newRow("one-digit hour") << "03/04/2024"
                                    << "9:30"
                                    << "«Hora»";
}

void TestTaskDialog::invalidAlarmIsSentBack()
{
    QFETCH(QString, day);
    QFETCH(QString, time);
    QFETCH(QString, named);
    m_dialog->setText(2, QStringLiteral("Leer"));
    m_dialog->Check2->setChecked(true);
    m_dialog->setText(3, day);
    m_dialog->setText(4, time);
    QTest::mouseClick(m_dialog->Command1, Qt::LeftButton);
    QCOMPARE(m_agenda->messenger.shown.size(), 1);
    QVERIFY(m_agenda->messenger.shown[0].text.contains(named));
    QVERIFY(m_dialog->isVisible());
    QVERIFY(m_dialog->handOver().isEmpty());
}

void TestTaskDialog::malformedHandOverIsRefused_data()
{
    QTest::addColumn<QString>("handOver");
    QTest::newRow("no bar") << "N03/04/2024_03:17_Leer";
    QTest::newRow("no description") << "N03/04/2024_03:17_|_";
    QTest::newRow("date") << "N32/04/2024_03:17_Leer|_";
    QTest::newRow("time") << "N03/04/2024_3:170_Leer|_";
    QTest::newRow("alarm date") << "N03/04/2024_03:17_Leer|3/4/2024_";
    QTest::newRow("alarm date without separator") << "N03/04/2024_03:17_Leer|03/04/2024";
    QTest::newRow("alarm time") << "N03/04/2024_03:17_Leer|03/04/2024_24:00";
    QTest::newRow("alarm time too long") << "N03/04/2024_03:17_Leer|03/04/2024_x10:00";
}

void TestTaskDialog::malformedHandOverIsRefused()
{
    QFETCH(QString, handOver);
    TaskHandOver task;
    QString why;
    QVERIFY(!TaskHandOver::parse(handOver, &task, &why));
    QVERIFY(!why.isEmpty());
}

void TestTaskDialog::bottomRowFollowsTheWindowSize()
{
    const int margin = m_dialog->Frame1->x(); // the 120 twips every edge keeps
    m_dialog->resize(m_dialog->width() + 200, m_dialog->height() + 100);
    QTRY_COMPARE(m_dialog->width() - m_dialog->Command1->geometry().right() - 1, margin);
    QCOMPARE(m_dialog->height() - m_dialog->Command1->geometry().bottom() - 1, margin);
    QCOMPARE(m_dialog->Check1->y(), m_dialog->Command1->y());
    QCOMPARE(m_dialog->width() - m_dialog->Frame1->geometry().right() - 1, margin);
    QVERIFY(m_dialog->Frame1->geometry().bottom() < m_dialog->Command1->y());
    QVERIFY(m_dialog->Description->geometry().bottom() < m_dialog->Frame1->y());
    // Too small for its sizes: the controls keep their last places.
    const QRect frame = m_dialog->Frame1->geometry();
    m_dialog->resize(40, 40);
    QTRY_COMPARE(m_dialog->width(), 40);
    QCOMPARE(m_dialog->Frame1->geometry(), frame);
}

QTEST_MAIN(TestTaskDialog)
#include "tst_taskdialog.moc"
