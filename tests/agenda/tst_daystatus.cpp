#include "agenda/Form3.h"
#include "agenda/WeekView.h"
#include "data/DateText.h"
#include "data/store/Criterion.h"
#include "data/store/Database.h"
#include "support/DiaryWindow.h"
#include "support/TestAgenda.h"
#include "widgets/ImageButton.h"
#include "widgets/Twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

namespace {

const QString Monday = QStringLiteral("01/04/2024");
const QString Sunday = QStringLiteral("07/04/2024");

} // namespace

// The day status dialog as the week view opens it: pre-set from dias and festivosfijos, then
// Tag (the date and its weekday digit), then run.
class TestDayStatus : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<DiaryWindow> m_main;
    std::unique_ptr<Form3> m_dialog;

    void addDay(const QString &date, bool holiday, const QString &text)
    {
        auto dias = m_agenda->cursor(QStringLiteral("dias"));
        QVERIFY(dias->AddNew());
        dias->SetField(QStringLiteral("fecha"), date);
        dias->SetField(QStringLiteral("esfestivo"), holiday);
        if (!text.isNull())
            dias->SetField(QStringLiteral("texto"), text);
        QVERIFY(dias->Update());
    }
    void addYearly(const QString &dayMonth, bool holiday, const QString &text)
    {
        auto fijos = m_agenda->cursor(QStringLiteral("festivosfijos"));
        QVERIFY(fijos->AddNew());
        fijos->SetField(QStringLiteral("fecha"), dayMonth);
        fijos->SetField(QStringLiteral("esfestivosiempre"), holiday);
        fijos->SetField(QStringLiteral("texto"), text);
        QVERIFY(fijos->Update());
    }
    // The day status dialog as the week view opens it, for the day's Date text and its panel index.
    void open(const QString &date, int weekday)
    {
        WeekView week(m_main->diary, m_agenda->context, m_main.get());
        m_main->diary.Data2.Refresh();
        m_main->diary.Data3.Refresh();
        week.ShowWeek(DateText::toDate(date));
        m_dialog = week.prepareDayStatus(weekday);
        QCOMPARE(m_dialog->Tag, date + QString::number(weekday));
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
    }
    void closeByButton()
    {
        QTest::mouseClick(m_dialog->findChild<ImageButton *>(QStringLiteral("Image5")), Qt::LeftButton);
        QVERIFY(!m_dialog->isVisible());
    }
    QRadioButton *option(int i) { return m_dialog->findChild<QRadioButton *>(QStringLiteral("Option1(%1)").arg(i)); }
    struct Row
    {
        bool found;
        bool flag;
        QString text;
    };
    Row dayRow(const QString &date)
    {
        auto dias = m_agenda->cursor(QStringLiteral("dias"));
        dias->FindFirst(Criterion::textEquals(QStringLiteral("fecha"), date));
        return {!dias->NoMatch(), dias->Bool(QStringLiteral("esfestivo")), dias->Text(QStringLiteral("texto"))};
    }
    Row yearlyRow(const QString &dayMonth)
    {
        auto fijos = m_agenda->cursor(QStringLiteral("festivosfijos"));
        fijos->FindFirst(Criterion::textEquals(QStringLiteral("fecha"), dayMonth));
        return {!fijos->NoMatch(), fijos->Bool(QStringLiteral("esfestivosiempre")),
                fijos->Text(QStringLiteral("texto"))};
    }
    qint64 count(const char *table) { return m_agenda->cursor(QString::fromLatin1(table))->RecordCount(); }

private slots:
    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        m_main = std::make_unique<DiaryWindow>(m_agenda->context);
        m_dialog = std::make_unique<Form3>(m_main->diary, m_agenda->context, m_main.get());
    }
    void cleanup()
    {
        m_dialog.reset();
        m_main.reset();
        m_agenda.reset();
    }

    void opensInItsDesignState()
    {
        QVERIFY(option(0)->isChecked());
        QVERIFY(!m_dialog->Check1->isChecked());
        QVERIFY(!m_dialog->Check1->isEnabled());
        QCOMPARE(option(1)->text(), QStringLiteral("Festivo"));
        QCOMPARE(option(1)->palette().color(QPalette::WindowText), QColor(192, 0, 0));
        QCOMPARE(option(0)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(m_dialog->findChild<ImageButton *>(QStringLiteral("Image5"))->accessibleName(),
                 QStringLiteral("Cerrar"));
        QCOMPARE(m_dialog->Text1->maxLength(), 50);
        QVERIFY(m_dialog->windowFlags() & Qt::FramelessWindowHint);
        const QScreen *screen = m_main->screen();
        m_dialog->placeAt(Twips::fromPixels(40, screen), Twips::fromPixels(70, screen));
        QCOMPARE(m_dialog->pos(), QPoint(40, 70));
    }

    void aSundayWithNoRowsBecomesAHolidayRow()
    {
        open(Sunday, 6);
        QVERIFY(option(1)->isChecked());
        QVERIFY(m_dialog->Check1->isEnabled());
        closeByButton();
        const Row row = dayRow(Sunday);
        QVERIFY(row.found);
        QVERIFY(row.flag);
        QVERIFY(row.text.isEmpty());
        QCOMPARE(count("dias"), 1);
        QCOMPARE(count("festivosfijos"), 0);
    }

    void aWeekdayWithNothingWritesNothing()
    {
        open(Monday, 0);
        closeByButton();
        QCOMPARE(count("dias"), 0);
        QCOMPARE(count("festivosfijos"), 0);
    }

    void aSundayCannotBeAWorkingDay()
    {
        open(Sunday, 6);
        QTest::mouseClick(option(0), Qt::LeftButton);
        QVERIFY(option(1)->isChecked());
        QVERIFY(!option(0)->isChecked());
        QCOMPARE(m_agenda->messenger.texts(),
                 QStringList{QStringLiteral("No se puede marcar un domingo como laborable")});
        QCOMPARE(m_agenda->messenger.shown[0].title, QStringLiteral("Atención"));
        QCOMPARE(m_agenda->messenger.shown[0].icon, Messenger::Icon::Critical);
        QVERIFY(m_dialog->Check1->isEnabled());
    }

    void fijoFollowsFestivo()
    {
        open(Monday, 0);
        QTest::mouseClick(m_dialog->Check1, Qt::LeftButton);
        QVERIFY(!m_dialog->Check1->isChecked()); // disabled while Laborable
        QTest::mouseClick(option(1), Qt::LeftButton);
        QVERIFY(m_dialog->Check1->isEnabled());
        QTest::mouseClick(m_dialog->Check1, Qt::LeftButton);
        QVERIFY(m_dialog->Check1->isChecked());
        m_dialog->Text1->setText(QStringLiteral("Lunes de Pascua"));
        QTest::mouseClick(option(0), Qt::LeftButton);
        QVERIFY(!m_dialog->Check1->isChecked());
        QVERIFY(!m_dialog->Check1->isEnabled());
        QVERIFY(m_agenda->messenger.shown.isEmpty());
        closeByButton();
        const Row yearly = yearlyRow(QStringLiteral("01/04"));
        QVERIFY(yearly.found);
        QVERIFY(!yearly.flag);
        QCOMPARE(yearly.text, QStringLiteral("Lunes de Pascua"));
        QVERIFY(!dayRow(Monday).found);
    }

    void clearingDeletesTheRows()
    {
        addDay(Monday, true, QStringLiteral("Puente"));
        addYearly(QStringLiteral("01/04"), false, QStringLiteral("Santo"));
        addDay(QStringLiteral("02/04/2024"), true, QStringLiteral("vecino"));
        open(Monday, 0);
        QVERIFY(option(1)->isChecked());
        QCOMPARE(m_dialog->Text2->text(), QStringLiteral("Puente"));
        QCOMPARE(m_dialog->Text1->text(), QStringLiteral("Santo"));
        QTest::mouseClick(option(0), Qt::LeftButton);
        m_dialog->Text2->clear();
        m_dialog->Text1->clear();
        closeByButton();
        QVERIFY(!dayRow(Monday).found);
        QVERIFY(!yearlyRow(QStringLiteral("01/04")).found);
        QVERIFY(dayRow(QStringLiteral("02/04/2024")).found);
        QCOMPARE(count("dias"), 1);
    }

    void changesUpdateTheRowsInPlace_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("enter in the day text") << int(Qt::Key_Return);
        QTest::newRow("escape") << int(Qt::Key_Escape);
    }
    void changesUpdateTheRowsInPlace()
    {
        QFETCH(int, key);
        addDay(Monday, false, QStringLiteral("Dentista"));
        addYearly(QStringLiteral("01/04"), false, QString());
        open(Monday, 0);
        QVERIFY(option(0)->isChecked());
        QTest::mouseClick(option(1), Qt::LeftButton);
        QTest::mouseClick(m_dialog->Check1, Qt::LeftButton);
        m_dialog->Text2->setFocus();
        QTest::keyClicks(m_dialog->Text2, QStringLiteral(" y fiesta"));
        m_agenda->context.IdleCount = 9;
        QTest::keyClick(m_dialog->Text2, Qt::Key(key));
        QCOMPARE(m_agenda->context.IdleCount, qint16(0));
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(count("dias"), 1);
        QCOMPARE(count("festivosfijos"), 1);
        const Row day = dayRow(Monday);
        QVERIFY(day.flag);
        QCOMPARE(day.text, QStringLiteral("Dentista y fiesta"));
        QVERIFY(yearlyRow(QStringLiteral("01/04")).flag);
    }

    void aYearlyHolidayOpensAsHolidayEvenOverAWorkingDayRow()
    {
        addDay(QStringLiteral("25/12/2024"), false, QString());
        addYearly(QStringLiteral("25/12"), true, QStringLiteral("Navidad"));
        open(QStringLiteral("25/12/2024"), 2);
        QVERIFY(option(1)->isChecked());
        QVERIFY(m_dialog->Check1->isChecked());
        QCOMPARE(m_dialog->Text1->text(), QStringLiteral("Navidad"));
    }

    void aYearlyRowAppliesToEveryYear()
    {
        open(QStringLiteral("25/12/2024"), 2);
        QTest::mouseClick(option(1), Qt::LeftButton);
        QTest::mouseClick(m_dialog->Check1, Qt::LeftButton);
        m_dialog->Text1->setFocus();
        QTest::keyClicks(m_dialog->Text1, QStringLiteral("Navidad"));
        QTest::keyClick(m_dialog->Text1, Qt::Key_Enter);
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(yearlyRow(QStringLiteral("25/12")).text, QStringLiteral("Navidad"));
        // another year: opens with the yearly holiday, and its own date gets no row of its own
        // unless it is saved as a holiday
        open(QStringLiteral("25/12/2031"), 3);
        QVERIFY(option(1)->isChecked());
        QVERIFY(m_dialog->Check1->isChecked());
        QCOMPARE(m_dialog->Text1->text(), QStringLiteral("Navidad"));
        QVERIFY(m_dialog->Text2->text().isEmpty());
        closeByButton();
        QCOMPARE(count("festivosfijos"), 1);
        QVERIFY(dayRow(QStringLiteral("25/12/2031")).flag);
    }

    void theDialogStartsAfreshAfterClosing()
    {
        open(Sunday, 6);
        m_dialog->Text2->setText(QStringLiteral("Excursión"));
        closeByButton();
        QVERIFY(m_dialog->Tag.isEmpty());
        QVERIFY(option(0)->isChecked());
        QVERIFY(!m_dialog->Check1->isEnabled());
        QVERIFY(m_dialog->Text2->text().isEmpty());
        QVERIFY(m_agenda->messenger.shown.isEmpty());
        QCOMPARE(dayRow(Sunday).text, QStringLiteral("Excursión"));
    }

    void aFailedWriteIsToldToTheUser()
    {
        open(Sunday, 6);
        Database::refuseWrites(m_agenda->databaseFile(), QStringLiteral("la agenda no se puede modificar"));
        closeByButton();
        QCOMPARE(m_agenda->messenger.shown.size(), 1);
        QVERIFY(m_agenda->messenger.shown[0].text.startsWith(
            QStringLiteral("No se ha podido guardar el estado del día 07/04/2024")));
        QCOMPARE(m_agenda->messenger.shown[0].icon, Messenger::Icon::Critical);
    }

    void keepsTheUserActive()
    {
        open(Monday, 0);
        m_agenda->context.IdleCount = 40;
        QTest::mouseMove(m_dialog.get(), QPoint(5, 5));
        QTest::mouseMove(m_dialog->Text1, QPoint(5, 5));
        QCOMPARE(m_agenda->context.IdleCount, qint16(0));
        m_agenda->context.IdleCount = 40;
        m_dialog->Timer1_Timer();
        QCOMPARE(m_agenda->context.IdleCount, qint16(0));
        QCOMPARE(m_dialog->Timer1.interval(), 1000);
    }
};

QTEST_MAIN(TestDayStatus)
#include "tst_daystatus.moc"
