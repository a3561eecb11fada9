#include "data/DateText.h"
#include "data/Module1.h"
#include "support/TestDoubles.h"

#include <QtTest>

class TestDateRules : public QObject
{
    Q_OBJECT

private slots:
    void checkTime_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        for (const char *t : {"00:00", "23:59", "07:05", "12:00", " 9:30", "12:300"})
            QTest::newRow(t) << QString::fromLatin1(t) << true;
        for (const char *t : {"24:00", "12:60", "7:05", "12.30", "1230", "", "0 :30", "12:3", "ab:cd", "-1:30", "00:0x",
                              "+1:30", "12:+5", "+0:00"})
            QTest::newRow(t) << QString::fromLatin1(t) << false;
    }

    void checkTime()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(Module1::CheckTime(text), valid);
    }

    // Published dates of Gregorian Easter.
    void easterSunday_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<QDate>("easter");
        QTest::newRow("1900") << 1900 << QDate(1900, 4, 15);
        QTest::newRow("1954") << 1954 << QDate(1954, 4, 18);
        QTest::newRow("1981") << 1981 << QDate(1981, 4, 19);
        QTest::newRow("2000") << 2000 << QDate(2000, 4, 23);
        QTest::newRow("2008") << 2008 << QDate(2008, 3, 23);
        QTest::newRow("2011") << 2011 << QDate(2011, 4, 24);
        QTest::newRow("2021") << 2021 << QDate(2021, 4, 4);
        QTest::newRow("2024") << 2024 << QDate(2024, 3, 31);
        QTest::newRow("2025") << 2025 << QDate(2025, 4, 20);
        QTest::newRow("2038") << 2038 << QDate(2038, 4, 25);
        QTest::newRow("2049") << 2049 << QDate(2049, 4, 18);
        QTest::newRow("2076") << 2076 << QDate(2076, 4, 19);
        QTest::newRow("2100") << 2100 << QDate(2100, 3, 28);
    }

    void easterSunday()
    {
        QFETCH(int, year);
        QFETCH(QDate, easter);
        RecordingMessenger messenger;
        QCOMPARE(Module1::EasterSunday(year, &messenger), easter);
        QVERIFY(messenger.shown.isEmpty());
    }

    void goodFriday()
    {
        QCOMPARE(Module1::EasterSunday(2025, nullptr).addDays(-2), QDate(2025, 4, 18));
        QCOMPARE(Module1::EasterSunday(2024, nullptr).addDays(-2), QDate(2024, 3, 29));
    }

    void easterOutOfRange()
    {
        for (int year : {1899, 2101}) {
            RecordingMessenger messenger;
            QCOMPARE(Module1::EasterSunday(year, &messenger), QDate(1899, 12, 30));
            QCOMPARE(messenger.shown.size(), 1);
            QCOMPARE(messenger.shown[0].text, QStringLiteral("No puedo calcular DIA DE PASCUA para este año"));
            QCOMPARE(messenger.shown[0].title, QStringLiteral("Error"));
            QCOMPARE(messenger.shown[0].icon, Messenger::Icon::Critical);
            QCOMPARE(messenger.shown[0].buttons, unsigned(Messenger::Ok));
        }
    }

    void dateText()
    {
        QCOMPARE(DateText::fromDate(QDate(2024, 3, 5)), QStringLiteral("05/03/2024"));
        QCOMPARE(DateText::toDate(QStringLiteral("29/03/2024")), QDate(2024, 3, 29));
        QVERIFY(!DateText::toDate(QStringLiteral("2024-03-29")).isValid());
        QCOMPARE(DateText::spanishLocale().language(), QLocale::Spanish);
        QCOMPARE(DateText::spanishLocale().monthName(4), QStringLiteral("abril"));
    }
};

QTEST_GUILESS_MAIN(TestDateRules)
#include "tst_daterules.moc"
