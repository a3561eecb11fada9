#include "data/DayStore.h"
#include "data/Diary.h"
#include "data/store/Criterion.h"
#include "support/TestAgenda.h"

#include <QSignalSpy>
#include <QtTest>

using DayWriteCall = std::function<StoreResult(DayStore &)>;
Q_DECLARE_METATYPE(DayWriteCall)
Q_DECLARE_METATYPE(Day)
Q_DECLARE_METATYPE(YearlyDay)

// What the agenda keeps of dates and of the days of every year, written only through the day
// store: at most one row of each that says something, whatever the windows' cursors stand on.
class TestDayStore : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        m_diary = std::make_unique<Diary>();
        m_diary->open(m_agenda->databaseFile());
    }
    void cleanup()
    {
        m_diary.reset();
        m_agenda.reset();
    }

    void aDateKeepsOneRowThatSaysSomething_data()
    {
        QTest::addColumn<Day>("before"); // no date: no row
        QTest::addColumn<DayWriteCall>("write");
        QTest::addColumn<Day>("after");
        const Day wedding{Date, QStringLiteral("Boda"), false};
        const Day holiday{Date, {}, true};
        const auto save = [](const Day &day) { return DayWriteCall([day](DayStore &s) { return s.save(day); }); };
        const DayWriteCall mark = [](DayStore &s) { return s.markHoliday(Date); };
        QTest::newRow("added") << Day{} << save(wedding) << wedding;
        QTest::newRow("changed") << wedding << save({Date, QStringLiteral("Bautizo"), true})
                                 << Day{Date, QStringLiteral("Bautizo"), true};
        QTest::newRow("emptied, deleted") << wedding << save({Date, {}, false}) << Day{};
        QTest::newRow("says nothing, not added") << Day{} << save({Date, {}, false}) << Day{};
        QTest::newRow("same again") << wedding << save(wedding) << wedding;
        QTest::newRow("holiday marked") << Day{} << mark << holiday;
        QTest::newRow("a row is not marked over") << wedding << mark << wedding;
    }
    void aDateKeepsOneRowThatSaysSomething()
    {
        QFETCH(Day, before);
        QFETCH(DayWriteCall, write);
        QFETCH(Day, after);
        DayStore &days = m_diary->days();
        const Day bystander{Date.addDays(1), QStringLiteral("Otro"), false};
        QVERIFY(days.save(bystander));
        if (before.date.isValid())
            QVERIFY(days.save(before));
        // Another window's cursor stands on another date: the write must not land there.
        QVERIFY(m_diary->Data2.FindFirst(Criterion::textEquals(QStringLiteral("fecha"), QStringLiteral("04/04/2024"))));
        QSignalSpy changed(m_diary.get(), &Diary::changed);

        const StoreResult result = write(days);
        QVERIFY2(result.isOk(), qPrintable(result.why()));
        QCOMPARE(days.find(Date), after.date.isValid() ? std::optional<Day>(after) : std::nullopt);
        QCOMPARE(rowsOf(QStringLiteral("dias"), QStringLiteral("03/04/2024")), after.date.isValid() ? 1 : 0);
        QCOMPARE(days.find(bystander.date), std::optional<Day>(bystander));
        QCOMPARE(m_diary->Data2.Text(QStringLiteral("texto")), bystander.text);
        const bool told = before != after;
        QCOMPARE(changed.size(), told ? 1 : 0);
        if (told)
            QCOMPARE(changed[0][0].value<DiaryChange>(), (DiaryChange{DiaryChange::Kind::Days, Date.toJulianDay()}));
    }

    void aDayOfEveryYearKeepsOneRowThatSaysSomething_data()
    {
        QTest::addColumn<YearlyDay>("before"); // day 0: no row
        QTest::addColumn<YearlyDay>("written");
        QTest::addColumn<YearlyDay>("after");
        const YearlyDay christmas{25, 12, QStringLiteral("Navidad"), true};
        const YearlyDay textOnly{25, 12, QStringLiteral("Navidad"), false};
        QTest::newRow("added") << YearlyDay{} << christmas << christmas;
        QTest::newRow("changed") << christmas << textOnly << textOnly;
        QTest::newRow("emptied, deleted") << christmas << YearlyDay{25, 12, {}, false} << YearlyDay{};
    }
    void aDayOfEveryYearKeepsOneRowThatSaysSomething()
    {
        QFETCH(YearlyDay, before);
        QFETCH(YearlyDay, written);
        QFETCH(YearlyDay, after);
        DayStore &days = m_diary->days();
        if (before.day != 0)
            QVERIFY(days.saveYearly(before));
        QSignalSpy changed(m_diary.get(), &Diary::changed);

        QVERIFY(days.saveYearly(written));
        const QDate anyYear(2031, 12, 25);
        QCOMPARE(days.findYearly(anyYear), after.day != 0 ? std::optional<YearlyDay>(after) : std::nullopt);
        QCOMPARE(rowsOf(QStringLiteral("festivosfijos"), QStringLiteral("25/12")), after.day != 0 ? 1 : 0);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].value<DiaryChange>(), (DiaryChange{DiaryChange::Kind::Days, -1}));
    }

    void refusedWritesChangeNothing_data()
    {
        QTest::addColumn<DayWriteCall>("write");
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<QString>("why");
        const QString tooLong(51, u'a');
        QTest::newRow("day text too long") << DayWriteCall([tooLong](DayStore &s) {
            return s.save({Date, tooLong, false});
        }) << false << "el texto del día admite 50";
        QTest::newRow("yearly text too long") << DayWriteCall([tooLong](DayStore &s) {
            return s.saveYearly({3, 4, tooLong, false});
        }) << false << "el texto de la fecha admite 50";
        QTest::newRow("no such day") << DayWriteCall([](DayStore &s) {
            return s.saveYearly({30, 2, {}, true});
        }) << false << "no es válida";
        QTest::newRow("damaged agenda") << DayWriteCall([](DayStore &s) { return s.markHoliday(Date); }) << true
                                        << "dañada";
    }
    void refusedWritesChangeNothing()
    {
        QFETCH(DayWriteCall, write);
        QFETCH(bool, damaged);
        QFETCH(QString, why);
        if (damaged) {
            m_diary.reset();
            TestAgenda::damageTable(m_agenda->databaseFile(), QStringLiteral("telefonos"));
            m_diary = std::make_unique<Diary>();
            m_diary->open(m_agenda->databaseFile());
        }
        QSignalSpy changed(m_diary.get(), &Diary::changed);

        const StoreResult result = write(m_diary->days());
        QCOMPARE(result.status(), StoreResult::Status::Refused);
        QVERIFY2(result.why().contains(why), qPrintable(result.why()));
        QCOMPARE(rowsOf(QStringLiteral("dias"), {}), 0);
        QCOMPARE(rowsOf(QStringLiteral("festivosfijos"), {}), 0);
        QCOMPARE(changed.size(), 0);
    }

private:
    static inline const QDate Date = QDate(2024, 4, 3);

    // The rows of table whose fecha is key (every row when key is empty).
    int rowsOf(const QString &table, const QString &key)
    {
        auto cursor = m_agenda->cursor(table);
        if (key.isEmpty())
            return int(cursor->RecordCount());
        const Criterion criterion = Criterion::textEquals(QStringLiteral("fecha"), key);
        int rows = 0;
        for (bool found = cursor->FindFirst(criterion); found; found = cursor->FindNext(criterion))
            ++rows;
        return rows;
    }

    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Diary> m_diary;
};

QTEST_GUILESS_MAIN(TestDayStore)
#include "tst_daystore.moc"
