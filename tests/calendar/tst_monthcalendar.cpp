#include "agenda/WeekView.h"
#include "calendar/MonthCalendar.h"
#include "data/DayStore.h"
#include "data/Diary.h"
#include "mainwindow/Application.h"
#include "mainwindow/Form1.h"
#include "mainwindow/TabStrip.h"
#include "support/TestAgenda.h"
#include "widgets/ActivityWatch.h"
#include "widgets/ClickLabel.h"
#include "widgets/ImageButton.h"
#include "widgets/Theme.h"

#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QtTest>

class TestMonthCalendar : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        m_agenda->clock.setToday(QDate(2024, 4, 3));
        m_diary = std::make_unique<Diary>();
        QCOMPARE(m_diary->open(m_agenda->databaseFile()), QString());
        m_diary->SelectedDate = m_agenda->clock.today();
        m_calendar = std::make_unique<MonthCalendar>(*m_diary, m_agenda->context, nullptr);
        m_calendar->resize(420, 520);
        m_calendar->layoutSection();
    }
    void cleanup()
    {
        m_calendar.reset();
        m_diary.reset();
        m_agenda.reset();
    }

    void monthFillsFromItsFirstWeekday_data()
    {
        QTest::addColumn<QDate>("selected");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("firstCell");
        QTest::addColumn<int>("lastCell");
        QTest::newRow("begins on a Monday") << QDate(2024, 4, 17) << "ABRIL 2024" << 0 << 29;
        QTest::newRow("31 days from a Sunday") << QDate(2024, 12, 31) << "DICIEMBRE 2024" << 6 << 36;
        QTest::newRow("leap February") << QDate(2024, 2, 10) << "FEBRERO 2024" << 3 << 31;
        QTest::newRow("common February") << QDate(2023, 2, 28) << "FEBRERO 2023" << 2 << 29;
    }
    void monthFillsFromItsFirstWeekday()
    {
        QFETCH(QDate, selected);
        QFETCH(QString, caption);
        QFETCH(int, firstCell);
        QFETCH(int, lastCell);
        m_diary->SelectedDate = selected;
        m_calendar->ShowMonth();
        QCOMPARE(m_calendar->lmesyano->text(), caption);
        for (int k = 0; k < 42; ++k) {
            const QString expected = k < firstCell || k > lastCell ? QString() : QString::number(k - firstCell + 1);
            QCOMPARE(m_calendar->ldia[k]->text(), expected);
        }
        QCOMPARE(m_calendar->ldia[lastCell]->text().toInt(), selected.daysInMonth());
    }

    void holidaysAndTextsOfADay_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<int>("dayRow"); // -1 none, else esfestivo
        QTest::addColumn<QString>("dayText");
        QTest::addColumn<int>("fixedRow"); // -1 none, else esfestivosiempre
        QTest::addColumn<QString>("fixedText");
        QTest::addColumn<bool>("red");
        QTest::addColumn<QString>("toolTip");
        QTest::newRow("Sunday") << QDate(2024, 4, 7) << -1 << "" << -1 << "" << true << "Domingo, 7 de abril de 2024";
        QTest::newRow("plain weekday") << QDate(2024, 4, 9) << -1 << "" << -1 << "" << false
                                       << "Martes, 9 de abril de 2024";
        QTest::newRow("day marked holiday")
            << QDate(2024, 4, 10) << 1 << "" << -1 << "" << true << "Miércoles, 10 de abril de 2024";
        QTest::newRow("yearly holiday") << QDate(2024, 4, 11) << -1 << "" << 1 << "Fiesta" << true
                                        << "Jueves, 11 de abril de 2024 (Fiesta)";
        QTest::newRow("working day with a text")
            << QDate(2024, 4, 12) << 0 << "Dentista" << -1 << "" << false << "Viernes, 12 de abril de 2024 - Dentista";
        QTest::newRow("both texts") << QDate(2024, 4, 15) << 0 << "Cena" << 0 << "San Telmo" << false
                                    << "Lunes, 15 de abril de 2024 (San Telmo) - Cena";
        QTest::newRow("blank texts") << QDate(2024, 4, 16) << 0 << "  " << 0 << " " << false
                                     << "Martes, 16 de abril de 2024";
        QTest::newRow("Good Friday") << QDate(2024, 3, 29) << -1 << "" << -1 << "" << true
                                     << "Viernes, 29 de marzo de 2024 (VIERNES SANTO)";
    }
    void holidaysAndTextsOfADay()
    {
        QFETCH(QDate, day);
        QFETCH(int, dayRow);
        QFETCH(QString, dayText);
        QFETCH(int, fixedRow);
        QFETCH(QString, fixedText);
        QFETCH(bool, red);
        QFETCH(QString, toolTip);
        if (dayRow >= 0)
            addRow(QStringLiteral("dias"), day.toString(QStringLiteral("dd/MM/yyyy")), dayText, "esfestivo", dayRow);
        if (fixedRow >= 0)
            addRow(QStringLiteral("festivosfijos"), day.toString(QStringLiteral("dd/MM")), fixedText,
                   "esfestivosiempre", fixedRow);
        m_diary->SelectedDate = day;
        m_calendar->ShowMonth();
        ClickLabel *cell = m_calendar->ldia[QDate(day.year(), day.month(), 1).dayOfWeek() - 2 + day.day()];
        QCOMPARE(cell->text(), QString::number(day.day()));
        QCOMPARE(cell->palette().color(QPalette::WindowText), red ? Theme::Holiday : MonthCalendar::DayColour);
        QCOMPARE(cell->toolTip(), toolTip);
        QCOMPARE(cell->accessibleName(), toolTip);
    }

    void aDayWrittenElsewhereShowsWhileOpen()
    {
        m_calendar->show();
        m_calendar->enter();
        const QDate day(2024, 4, 12);
        QVERIFY(m_diary->days().save({day, QStringLiteral("Dentista"), true}));
        ClickLabel *cell = m_calendar->ldia[QDate(2024, 4, 1).dayOfWeek() - 2 + day.day()];
        QCOMPARE(cell->toolTip(), QStringLiteral("Viernes, 12 de abril de 2024 - Dentista"));
        QCOMPARE(cell->palette().color(QPalette::WindowText), Theme::Holiday);
    }

    void stepsAreThirtyDays_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<int>("action");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("caption");
        QTest::newRow("31 January passes February")
            << QDate(2024, 1, 31) << int(QAbstractSlider::SliderSingleStepAdd) << QDate(2024, 3, 1) << "MARZO 2024";
        QTest::newRow("15 January") << QDate(2024, 1, 15) << int(QAbstractSlider::SliderSingleStepAdd)
                                    << QDate(2024, 2, 14) << "FEBRERO 2024";
        QTest::newRow("back") << QDate(2024, 3, 1) << int(QAbstractSlider::SliderSingleStepSub) << QDate(2024, 1, 31)
                              << "ENERO 2024";
        QTest::newRow("trough") << QDate(2024, 1, 15) << int(QAbstractSlider::SliderPageStepAdd) << QDate(2025, 1, 9)
                                << "ENERO 2025";
    }
    void stepsAreThirtyDays()
    {
        QFETCH(QDate, from);
        QFETCH(int, action);
        QFETCH(QDate, to);
        QFETCH(QString, caption);
        m_diary->SelectedDate = from;
        m_calendar->show();
        m_calendar->ShowMonth();
        const ActivityWatch watch(m_agenda->context);
        m_agenda->context.IdleCount = 5;
        // Clicked where the arrow or the trough is drawn.
        QScrollBar *bar = m_calendar->CalendarScroll;
        QStyleOptionSlider option;
        option.initFrom(bar);
        option.orientation = bar->orientation();
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.sliderPosition = option.sliderValue = bar->value();
        option.pageStep = bar->pageStep();
        option.singleStep = bar->singleStep();
        const QStyle::SubControl part = action == QAbstractSlider::SliderSingleStepAdd ? QStyle::SC_ScrollBarAddLine
            : action == QAbstractSlider::SliderSingleStepSub                           ? QStyle::SC_ScrollBarSubLine
                                                                                       : QStyle::SC_ScrollBarAddPage;
        const QRect drawn = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
        QTest::mouseClick(bar, Qt::LeftButton, {}, drawn.center());
        QCOMPARE(m_diary->SelectedDate, to);
        QCOMPARE(m_calendar->lmesyano->text(), caption);
        QCOMPARE(m_calendar->CalendarScroll->value(), 0);
        QCOMPARE(m_agenda->context.IdleCount, 0);
    }

    void captionReturnsToThisMonth()
    {
        m_calendar->show();
        m_calendar->CalendarScroll->triggerAction(QAbstractSlider::SliderPageStepSub);
        QCOMPARE(m_calendar->lmesyano->text(), QStringLiteral("ABRIL 2023"));
        QTest::mouseClick(m_calendar->lmesyano, Qt::LeftButton);
        QCOMPARE(m_diary->SelectedDate, m_agenda->clock.today());
        QCOMPARE(m_calendar->lmesyano->text(), QStringLiteral("ABRIL 2024"));
    }

    void hoverMarksOneDay()
    {
        m_calendar->ShowMonth(); // April 2024: cells 0 to 29
        m_calendar->ldia_MouseMove(3);
        m_calendar->ldia_MouseMove(35); // blank: nothing changes
        QVERIFY(m_calendar->ldia[3]->font().bold());
        QVERIFY(!m_calendar->ldia[35]->font().bold());
        m_calendar->ldia_MouseMove(4);
        QVERIFY(!m_calendar->ldia[3]->font().bold());
        QCOMPARE(m_calendar->ldia[3]->frameShape(), QFrame::NoFrame);
        QVERIFY(m_calendar->ldia[4]->font().bold());
        QCOMPARE(m_calendar->ldia[4]->frameShape(), QFrame::Box);
    }

    // Today is Wednesday 3 April 2024; the arrows back to today's week follow the day clicked:
    // toward today from before it, from after it, and none within today's own week.
    void dayClickShowsItsWeek_data()
    {
        QTest::addColumn<QDate>("clicked");
        QTest::addColumn<bool>("image9");
        QTest::addColumn<bool>("image10");
        QTest::newRow("next month") << QDate(2024, 5, 17) << true << false;
        QTest::newRow("last Saturday") << QDate(2024, 3, 30) << false << true;
        QTest::newRow("earlier this week") << QDate(2024, 4, 1) << false << false;
        QTest::newRow("later this week") << QDate(2024, 4, 5) << false << false;
    }
    void dayClickShowsItsWeek()
    {
        QFETCH(QDate, clicked);
        QFETCH(bool, image9);
        QFETCH(bool, image10);
        m_calendar.reset();
        Application program(m_agenda->context);
        Form1 &main = program.mainWindow();
        QVERIFY(program.Form_Load());
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        main.diary().SelectedDate = clicked;
        QTest::mouseClick(main.tabs().Image7[1], Qt::LeftButton);
        auto *calendar = qobject_cast<MonthCalendar *>(main.section(1));
        QVERIFY(calendar && calendar->isVisibleTo(&main));
        const int cell = QDate(clicked.year(), clicked.month(), 1).dayOfWeek() - 2 + clicked.day();
        QTest::mouseClick(calendar->ldia[cell], Qt::LeftButton);
        QCOMPARE(main.diary().SelectedDate, clicked);
        QCOMPARE(main.openSection(), 4);
        QVERIFY(!calendar->isVisibleTo(&main));
        QCOMPARE(main.week().WeekStart, clicked.addDays(1 - clicked.dayOfWeek()));
        QCOMPARE(main.week().Image9->isVisible(), image9);
        QCOMPARE(main.week().Image10->isVisible(), image10);
    }

private:
    void addRow(const QString &table, const QString &fecha, const QString &text, const char *holiday, bool value)
    {
        auto rows = m_agenda->cursor(table);
        QVERIFY(rows->AddNew());
        rows->SetField(QStringLiteral("fecha"), fecha);
        rows->SetField(QStringLiteral("texto"), text);
        rows->SetField(QString::fromLatin1(holiday), value);
        QVERIFY(rows->Update());
    }

    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Diary> m_diary;
    std::unique_ptr<MonthCalendar> m_calendar;
};

QTEST_MAIN(TestMonthCalendar)
#include "tst_monthcalendar.moc"
