#include "agenda/Form2.h"
#include "agenda/WeekView.h"
#include "mainwindow/Application.h"
#include "mainwindow/Form1.h"
#include "support/TestAgenda.h"
#include "widgets/ClickLabel.h"

#include <QListWidget>
#include <QMessageBox>
#include <QtTest>

// When the diary takes its turn again (Form_Activate: the week drawn anew), and what a double click
// or a drag may do to the window's place.
class TestActivation : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Application> m_program;
    Form1 *m_main = nullptr;

    int easterMessages() const
    {
        return int(m_agenda->messenger.texts().count(QStringLiteral("No puedo calcular DIA DE PASCUA para este año")));
    }

private slots:
    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        m_program = std::make_unique<Application>(m_agenda->context);
        m_main = &m_program->mainWindow();
        QVERIFY(m_program->Form_Load());
        m_main->diary().SelectedDate = QDate(1899, 6, 14); // a year without an Easter date
        m_main->show();
        QTRY_COMPARE(easterMessages(), 2); // the first show draws the week: Friday and Sunday ask
    }
    void cleanup()
    {
        m_program.reset();
        m_agenda.reset();
    }

    void onlyTheProgramsOwnDialogsGiveTheDiaryItsTurnAgain()
    {
        // A message box, or the user coming back from another program, draws nothing again.
        QMessageBox box(QMessageBox::Information, QStringLiteral("Quillomar"), QStringLiteral("aviso"), QMessageBox::Ok,
                        m_main);
        QTimer::singleShot(0, &box, &QMessageBox::accept);
        box.exec();
        m_main->activateWindow();
        QTest::qWait(20);
        QCOMPARE(easterMessages(), 2);

        // Closing a dialog of the program does.
        Form2 strip(m_main->diary(), m_main->context(), m_main);
        QTimer::singleShot(0, &strip, &Form2::close);
        strip.exec();
        QTRY_COMPARE(easterMessages(), 4);
        QTest::qWait(20);
        QCOMPARE(easterMessages(), 4);
    }

    void doubleClicksMaximiseOnlyOnTheCoverAndThePaper_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("maximises");
        QTest::newRow("the cover") << "Image1" << true;
        QTest::newRow("a day panel") << "Picture2(2)" << false;
        QTest::newRow("a day's text line") << "Label4(2)" << false;
        QTest::newRow("a month caption") << "Label1(0)" << false;
    }
    void doubleClicksMaximiseOnlyOnTheCoverAndThePaper()
    {
        QFETCH(QString, where);
        QFETCH(bool, maximises);
        auto *target = m_main->findChild<QWidget *>(where);
        QVERIFY(target);
        QTest::mouseDClick(target, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(m_main->isMaximized(), maximises);
    }

    // The whole leather moves the window, edges and spine alike; the paper does not.
    void theWindowMovesByItsLeather_data()
    {
        QTest::addColumn<double>("xTwips");
        QTest::addColumn<double>("yTwips");
        QTest::addColumn<bool>("moves");
        QTest::newRow("top edge") << 4000.0 << 60.0 << true;
        QTest::newRow("spine") << -1.0 << 4800.0 << true;
        QTest::newRow("left page") << 600.0 << 4800.0 << false;
    }
    void theWindowMovesByItsLeather()
    {
        QFETCH(double, xTwips);
        QFETCH(double, yTwips);
        QFETCH(bool, moves);
        m_main->resize(m_main->px(13500), m_main->px(9600));
        const QPoint at(xTwips < 0 ? m_main->width() / 2 : m_main->px(xTwips), m_main->px(yTwips));
        QWidget *target = m_main->childAt(at);
        QVERIFY(target);
        const QPoint local = target->mapFrom(m_main, at);
        const QPoint start = m_main->pos();
        QTest::mousePress(target, Qt::LeftButton, {}, local);
        QTest::mouseMove(target, local + QPoint(40, 30));
        QTest::mouseRelease(target, Qt::LeftButton, {}, local + QPoint(40, 30));
        QCOMPARE(m_main->pos() != start, moves);
    }

    void aDragThatEndsMaximisedKeepsTheStoredPlace()
    {
        Settings &settings = m_agenda->context.settings;
        settings.MainLeft = 1234;
        settings.MainTop = 567;
        auto *piece = m_main->findChild<QWidget *>(QStringLiteral("Image1"));
        // The first click of a double click begins a drag; the window is maximised before it ends.
        QTest::mousePress(piece, Qt::LeftButton, {}, QPoint(3, 3));
        m_main->showMaximized();
        QTest::mouseRelease(piece, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(settings.MainLeft, qint16(1234));
        QCOMPARE(settings.MainTop, qint16(567));
    }

    void dayHeadersAndListsSpeakAsTheyShow()
    {
        m_agenda->clock.setToday(QDate(2024, 4, 3));
        m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("09:00"), QStringLiteral("Dentista"));
        m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("12:00"), QStringLiteral("Comida"));
        WeekView &week = m_main->week();
        m_main->diary().SelectedDate = QDate(2024, 4, 3);
        week.RefreshWeek();
        QCOMPARE(week.Label3[2]->accessibleName(), QStringLiteral("HOY Miércoles 3"));
        QVERIFY(week.Label3[2]->accessibleDescription().contains(QStringLiteral("abril")));
        // The header's size follows the window's height in fractions of a point.
        m_main->resize(m_main->px(9000), m_main->px(10000));
        QCOMPARE(week.Label3[0]->font().pointSizeF(), m_main->tw(m_main->height()) / 4000 + 6);

        QListWidget *list = week.List1[2];
        list->setFocus();
        list->setCurrentRow(0);
        QTest::keyClick(list, Qt::Key_Down);
        QVERIFY(list->toolTip().contains(QStringLiteral("Comida")));
    }
};

QTEST_MAIN(TestActivation)
#include "tst_activation.moc"
