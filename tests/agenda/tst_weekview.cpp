#include "agenda/EntryLineDelegate.h"
#include "agenda/WeekView.h"
#include "data/DateText.h"
#include "data/DayStore.h"
#include "data/EntryLine.h"
#include "data/EntryStore.h"
#include "data/store/Criterion.h"
#include "mainwindow/Application.h"
#include "mainwindow/Form1.h"
#include "support/TestAgenda.h"
#include "widgets/ArtCache.h"
#include "widgets/ClickLabel.h"
#include "widgets/ImageButton.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>

using DiaryWrite = std::function<void(Diary &, qint64 numero)>;
Q_DECLARE_METATYPE(DiaryWrite)
using FileChange = std::function<void(QByteArray &)>;
Q_DECLARE_METATYPE(FileChange)

class TestWeekView : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        m_agenda->clock.set(QDateTime(QDate(2024, 4, 3), QTime(10, 0))); // a Wednesday
        m_program = std::make_unique<Application>(m_agenda->context);
        m_main = &m_program->mainWindow();
        QVERIFY(m_program->Form_Load());
    }
    void cleanup()
    {
        m_program.reset();
        m_agenda.reset();
    }

    void weekRunsMondayToSunday_data()
    {
        QTest::addColumn<QDate>("selected");
        QTest::addColumn<QDate>("monday");
        QTest::newRow("sunday") << QDate(2024, 4, 7) << QDate(2024, 4, 1);
        QTest::newRow("monday") << QDate(2024, 4, 8) << QDate(2024, 4, 8);
        QTest::newRow("year end") << QDate(2025, 1, 1) << QDate(2024, 12, 30);
    }

    void weekRunsMondayToSunday()
    {
        QFETCH(QDate, selected);
        QFETCH(QDate, monday);
        week().ShowWeek(selected);
        QCOMPARE(week().WeekStart, monday);
        for (int i = 0; i < 7; ++i)
            QCOMPARE(week().dayTag(i), DateText::fromDate(monday.addDays(i)));
    }

    void captionsAndHeadersAreSpanish()
    {
        week().ShowWeek(QDate(2024, 5, 1));
        QCOMPARE(week().Label1[0]->text(), QStringLiteral("Abril 2024"));
        QCOMPARE(week().Label1[1]->text(), QStringLiteral("Mayo 2024"));
        QCOMPARE(week().Label3[0]->text(), QStringLiteral("Lunes 29"));
        QCOMPARE(week().Label3[2]->text(), QStringLiteral("Miércoles 1"));
        QCOMPARE(week().Label3[2]->toolTip(), QStringLiteral("Miércoles, 1 de mayo de 2024"));
    }

    // Headers and month captions are set in their face alone, with no other to stand in for a
    // letter it lacks: every letter of every day and month, today's mark included, is in it.
    void captionsHaveEveryLetterInTheirFace()
    {
        for (int month = 1; month <= 12; ++month) {
            // April's is today's week: its Wednesday says "HOY".
            week().ShowWeek(QDate(2024, month, 3));
            QList<QLabel *> captions{week().Label1[0], week().Label1[1]};
            captions.append(QList<QLabel *>(week().Label3.begin(), week().Label3.end()));
            for (const QLabel *caption : captions) {
                const QFontMetrics metrics(caption->font());
                for (const QChar letter : caption->text())
                    QVERIFY2(metrics.inFont(letter), qPrintable(caption->text()));
            }
        }
    }

    void entryLinesCarryTheirMarks()
    {
        const QDate day(2024, 4, 2);
        const qint64 plain = m_agenda->addEntry(day, QStringLiteral("12:00"), QStringLiteral("nada"));
        m_agenda->addEntry(day, QStringLiteral("09:30"), QStringLiteral("nota"), QStringLiteral("larga"));
        m_agenda->addEntry(day, QStringLiteral("10:00"), QStringLiteral("ambas"), QStringLiteral("larga"),
                           QStringLiteral("09:55"));
        m_agenda->addEntry(day, QStringLiteral("11:00"), QStringLiteral("alarma"), {}, QStringLiteral("10:55"));
        week().RefreshWeek();
        const QStringList visible = visibleLines(1);
        QCOMPARE(visible, (QStringList{"09:30+nota", "10:00#ambas", "11:00=alarma", "12:00 nada"}));
        const QString last = week().List1[1]->item(3)->text();
        QCOMPARE(last.size(), QStringLiteral("12:00 nada").size() + 255 + 10);
        QCOMPARE(EntryLine::Number(last), QStringLiteral("%1").arg(plain, 10, 10, QLatin1Char('0')));
    }

    void entriesAreListedByTime()
    {
        const QDate day(2024, 4, 4);
        m_agenda->addEntry(day, QStringLiteral("08:00"), QStringLiteral("después"));
        m_agenda->addEntry(day, QStringLiteral("07:15"), QStringLiteral("antes"));
        m_agenda->addEntry(day.addDays(7), QStringLiteral("07:00"), QStringLiteral("otra semana"));
        // Lines of the same time, as words are sorted in Spanish.
        for (const char *text : {"Zapatero", "ñu", "banco", "nube", "Ábaco"})
            m_agenda->addEntry(day, QStringLiteral("09:00"), QString::fromUtf8(text));
        week().RefreshWeek();
        QCOMPARE(visibleLines(3),
                 (QStringList{"07:15 antes", "08:00 después", "09:00 Ábaco", "09:00 banco", "09:00 nube", "09:00 ñu",
                              "09:00 Zapatero"}));
        for (int i : {0, 1, 2, 4, 5, 6})
            QCOMPARE(week().List1[i]->count(), 0);
    }

    void easterWeekMarksGoodFridayOnce()
    {
        week().ShowWeek(QDate(2024, 3, 27));
        QCOMPARE(week().Label4[4]->text(), QStringLiteral(" VIERNES SANTO "));
        QCOMPARE(week().Label4[6]->text(), QStringLiteral(" PASCUA "));
        QCOMPARE(week().Label3[4]->palette().color(QPalette::WindowText), WeekView::HolidayColour);
        QCOMPARE(week().Label3[6]->palette().color(QPalette::WindowText), WeekView::HolidayColour);
        QCOMPARE(week().Label3[3]->palette().color(QPalette::WindowText), WeekView::WorkdayColour);
        week().ShowWeek(QDate(2024, 3, 27));
        auto dias = m_agenda->cursor(QStringLiteral("dias"));
        QCOMPARE(dias->RecordCount(), 1);
        QCOMPARE(dias->Text(QStringLiteral("fecha")), QStringLiteral("29/03/2024"));
        QVERIFY(dias->Bool(QStringLiteral("esfestivo")));
        QVERIFY(dias->Field(QStringLiteral("texto")).isNull());
    }

    void fixedDatesAndDayRows()
    {
        auto fijos = m_agenda->cursor(QStringLiteral("festivosfijos"));
        fijos->AddNew();
        fijos->SetField(QStringLiteral("fecha"), QStringLiteral("25/12"));
        fijos->SetField(QStringLiteral("texto"), QStringLiteral("Navidad"));
        fijos->SetField(QStringLiteral("esfestivosiempre"), false);
        QVERIFY(fijos->Update());
        fijos->AddNew();
        fijos->SetField(QStringLiteral("fecha"), QStringLiteral("26/12"));
        fijos->SetField(QStringLiteral("esfestivosiempre"), true);
        QVERIFY(fijos->Update());
        auto dias = m_agenda->cursor(QStringLiteral("dias"));
        for (const char *date : {"24/12/2025", "26/12/2025"}) {
            dias->AddNew();
            dias->SetField(QStringLiteral("fecha"), QString::fromLatin1(date));
            dias->SetField(QStringLiteral("texto"), QStringLiteral("Cena"));
            dias->SetField(QStringLiteral("esfestivo"), false);
            QVERIFY(dias->Update());
        }
        week().RefreshWeek();
        week().ShowWeek(QDate(2025, 12, 24));
        // 25 December: a text, but not a holiday.
        QCOMPARE(week().Label4[3]->text(), QStringLiteral(" Navidad "));
        QCOMPARE(week().Label3[3]->palette().color(QPalette::WindowText), WeekView::WorkdayColour);
        // A day row that is not a holiday keeps its text in blue...
        QCOMPARE(week().Label4[2]->text(), QStringLiteral(" - Cena"));
        QCOMPARE(week().Label4[2]->palette().color(QPalette::WindowText), WeekView::WorkdayColour);
        // ...and does not take away a fixed holiday's colour.
        QCOMPARE(week().Label4[4]->text(), QStringLiteral(" - Cena"));
        QCOMPARE(week().Label4[4]->palette().color(QPalette::WindowText), WeekView::HolidayColour);
        QVERIFY(dias->Refresh());
        QCOMPARE(dias->RecordCount(), 2); // the fixed holiday had its row already
    }

    void todayAndItsWeek()
    {
        m_agenda->addEntry(QDate(2024, 4, 4), QStringLiteral("09:00"), QStringLiteral("mañana"));
        week().RefreshWeek();
        QVERIFY(!m_main->diary().TodayHasEntries);
        QCOMPARE(week().Label3[2]->text(), QStringLiteral("HOY Miércoles 3"));
        for (int i = 0; i < 7; ++i)
            QCOMPARE(week().Picture2[i]->palette().color(QPalette::Window),
                     i == 2 ? WeekView::TodayPanel : WeekView::TodaysWeekPanel);
        m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("09:00"), QStringLiteral("hoy"));
        week().RefreshWeek();
        QVERIFY(m_main->diary().TodayHasEntries);
        week().ShowWeek(QDate(2024, 4, 10));
        QVERIFY(!m_main->diary().TodayHasEntries);
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(week().Picture2[i]->palette().color(QPalette::Window), WeekView::OtherPanel);
            QVERIFY(!week().Label3[i]->text().startsWith(QStringLiteral("HOY")));
        }
    }

    // What any window writes shows in the week at once, the main window never left.
    void writesShowWithoutActivation_data()
    {
        QTest::addColumn<DiaryWrite>("write");
        QTest::addColumn<int>("day");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("dayText");
        QTest::addColumn<bool>("todayHasEntries");
        const QDate thursday(2024, 4, 4);
        QTest::newRow("text") << DiaryWrite([](Diary &d, qint64 n) { d.entries().setText(n, QStringLiteral("Banco")); })
                              << 2 << QStringList{"09:00 Banco"} << " " << true;
        QTest::newRow("added") << DiaryWrite([thursday](Diary &d, qint64) {
            d.entries().add({-1, thursday, QStringLiteral("10:00"), QStringLiteral("Cine"), {}, {}});
        }) << 3 << QStringList{"10:00 Cine"}
                               << " " << true;
        QTest::newRow("moved to another week") << DiaryWrite([](Diary &d, qint64 n) {
            Entry entry = *d.entries().find(n);
            entry.date = entry.date.addDays(7);
            d.entries().update(entry);
        }) << 2 << QStringList{} << " " << false;
        QTest::newRow("removed") << DiaryWrite([](Diary &d, qint64 n) { d.entries().remove(n); }) << 2 << QStringList{}
                                 << " " << false;
        QTest::newRow("day text") << DiaryWrite([thursday](Diary &d, qint64) {
            d.days().save({thursday, QStringLiteral("Boda"), false});
        }) << 3 << QStringList{} << " - Boda"
                                  << true;
    }
    void writesShowWithoutActivation()
    {
        QFETCH(DiaryWrite, write);
        QFETCH(int, day);
        QFETCH(QStringList, lines);
        QFETCH(QString, dayText);
        QFETCH(bool, todayHasEntries);
        const qint64 numero = m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("09:00"), QStringLiteral("Médico"));
        week().RefreshWeek();
        write(m_main->diary(), numero);
        QCOMPARE(visibleLines(day), lines);
        QCOMPARE(week().Label4[day]->text(), dayText);
        QCOMPARE(m_main->diary().TodayHasEntries, todayHasEntries);
    }

    void navigationMovesByWeeks()
    {
        showActive();
        QTest::mouseClick(week().Image4, Qt::LeftButton);
        QCOMPARE(m_main->diary().SelectedDate, QDate(2024, 4, 10));
        QVERIFY(week().Image9->isVisible());
        QVERIFY(week().Command1->hasFocus());
        QTest::mouseClick(week().Image9, Qt::LeftButton);
        QCOMPARE(m_main->diary().SelectedDate, QDate(2024, 4, 3));
        QVERIFY(!week().Image9->isVisible());
        QTest::mouseClick(week().Image3, Qt::LeftButton);
        QTest::mouseClick(week().Image3, Qt::LeftButton);
        QCOMPARE(m_main->diary().SelectedDate, QDate(2024, 3, 20));
        QVERIFY(week().Image10->isVisible());
        QTest::mouseClick(week().Image10, Qt::LeftButton);
        QCOMPARE(m_main->diary().SelectedDate, QDate(2024, 4, 3));
        QVERIFY(!week().Image10->isVisible());
    }

    // The next week's lines are laid out and drawn while the program waits, as they will be
    // painted: the click that shows them lays out none, and copies the pixels painting would give.
    void nextWeekIsLaidOutAhead()
    {
        for (int week = 1; week <= 2; ++week)
            for (const char *text : {"Dentista %1", "Farmacia de guardia %1, la de la plaza mayor, con la receta"})
                m_agenda->addEntry(QDate(2024, 4, 2).addDays(7 * week), QStringLiteral("09:00"),
                                   QString::fromUtf8(text).arg(week));
        showActive();
        QListWidget *list = week().List1[1];
        const auto *tuesday = qobject_cast<const EntryLineDelegate *>(list->itemDelegate());
        for (int click = 1; click <= 2; ++click) {
            QTRY_COMPARE(tuesday->linesShaped(), 2 * click);
            QTest::mouseClick(week().Image4, Qt::LeftButton);
            QTRY_COMPARE(tuesday->linesDrawnAhead(), 2 * click);
            QCOMPARE(tuesday->linesShaped(), 2 * click);
            // The day's panel: its header, drawn ahead too, and its lines.
            QWidget *panel = week().Picture2[1];
            const QRect day = panel->rect().translated(panel->mapTo(m_main, QPoint()));
            const QImage copied = m_main->screen()->grabWindow(m_main->winId()).toImage().copy(day);
            panel->repaint();
            QCOMPARE(m_main->screen()->grabWindow(m_main->winId()).toImage().copy(day), copied);
            QCOMPARE(tuesday->linesDrawnAhead(), 2 * click);
        }
    }

    // A list whose colours are the same in an active window and an inactive one does not paint
    // its lines again when its window is activated or left.
    void activationPaintsListsOnlyWhereColoursDiffer_data()
    {
        QTest::addColumn<bool>("inactiveDiffers");
        QTest::newRow("same colours") << false;
        QTest::newRow("inactive text of its own") << true;
    }
    void activationPaintsListsOnlyWhereColoursDiffer()
    {
        QFETCH(bool, inactiveDiffers);
        m_agenda->addEntry(QDate(2024, 4, 1), QStringLiteral("09:00"), QStringLiteral("Dentista"));
        QListWidget *monday = week().List1[0];
        if (inactiveDiffers) {
            QPalette palette = monday->palette();
            palette.setColor(QPalette::Inactive, QPalette::Text, Qt::darkGray);
            monday->setPalette(palette);
        }
        showActive();
        struct Paints : QObject
        {
            int count = 0;
            bool eventFilter(QObject *, QEvent *event) override
            {
                count += event->type() == QEvent::Paint;
                return false;
            }
        } paints;
        monday->viewport()->installEventFilter(&paints);
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        showActive();
        QApplication::processEvents();
        QCOMPARE(paints.count > 0, inactiveDiffers);
    }

    // A start copies the lines the last start kept of the same week, where a probe line is still
    // drawn as it was kept; a file whose probe is drawn otherwise, or that is not one of the
    // program's, is drawn anew. Either way the list shows what painting it shows.
    void aStartCopiesTheLinesTheLastKept_data()
    {
        QTest::addColumn<FileChange>("change");
        QTest::addColumn<bool>("copied");
        QTest::newRow("as kept") << FileChange([](QByteArray &) {}) << true;
        // The probe's pixels follow its 8-byte magic, its 24-byte header and its key.
        QTest::newRow("probe drawn otherwise") << FileChange([](QByteArray &file) {
            const quint32 keyBytes = *reinterpret_cast<const quint32 *>(file.constData() + 8);
            file[8 + 24 + ((keyBytes + 7) & ~7u) + 1] ^= 0x10;
        }) << false;
        QTest::newRow("a line of an impossible size")
            << FileChange([](QByteArray &file) { std::fill(file.begin() + 12, file.begin() + 20, char(0x7f)); })
            << false;
        QTest::newRow("not ours") << FileChange([](QByteArray &file) { file.fill('x'); }) << false;
    }
    void aStartCopiesTheLinesTheLastKept()
    {
        QFETCH(FileChange, change);
        QFETCH(bool, copied);
        QTemporaryDir cache;
        ArtCache::setFolder(cache.path());
        const auto noCache = qScopeGuard([] { ArtCache::setFolder({}); });
        const QString kept = ArtCache::folder() + QStringLiteral("/semana.lineas");
        m_agenda->addEntry(QDate(2024, 4, 1), QStringLiteral("09:00"), QStringLiteral("Dentista"));
        for (int start = 1; start <= 2; ++start) {
            m_program.reset();
            m_program = std::make_unique<Application>(m_agenda->context);
            m_main = &m_program->mainWindow();
            QVERIFY(m_program->Form_Load());
            showActive();
            QTRY_VERIFY(QFileInfo(kept).size() > 0);
            if (start == 1) {
                QFile file(kept);
                QVERIFY(file.open(QIODevice::ReadWrite));
                QByteArray bytes = file.readAll();
                change(bytes);
                QVERIFY(file.seek(0) && file.write(bytes) == bytes.size());
            }
        }
        QListWidget *monday = week().List1[0];
        const auto *delegate = qobject_cast<const EntryLineDelegate *>(monday->itemDelegate());
        QCOMPARE(delegate->linesFromKept(), copied ? 1 : 0);
        const QRect lines = monday->viewport()->rect().translated(monday->viewport()->mapTo(m_main, QPoint()));
        const QImage shown = m_main->screen()->grabWindow(m_main->winId()).toImage().copy(lines);
        monday->viewport()->repaint();
        QCOMPARE(m_main->screen()->grabWindow(m_main->winId()).toImage().copy(lines), shown);
    }

    // The next week read ahead is read again when its entries were written since, by this
    // program or by another.
    void nextWeekReadAheadShowsLaterWrites_data()
    {
        QTest::addColumn<bool>("anotherProgram");
        QTest::newRow("this program") << false;
        QTest::newRow("another program") << true;
    }
    void nextWeekReadAheadShowsLaterWrites()
    {
        QFETCH(bool, anotherProgram);
        const QDate tuesday(2024, 4, 9);
        const qint64 numero = m_agenda->addEntry(tuesday, QStringLiteral("09:00"), QStringLiteral("Dentista"));
        showActive();
        const auto *delegate = qobject_cast<const EntryLineDelegate *>(week().List1[1]->itemDelegate());
        QTRY_COMPARE(delegate->linesShaped(), 1);
        if (anotherProgram) {
            sqlite3 *other = nullptr;
            QCOMPARE(sqlite3_open(m_agenda->databaseFile().toUtf8().constData(), &other), SQLITE_OK);
            const QByteArray copy = "INSERT INTO notas (fecha, hora, texto) SELECT fecha, '10:00', 'Farmacia' "
                                    "FROM notas WHERE numero = " +
                QByteArray::number(numero);
            QCOMPARE(sqlite3_exec(other, copy.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(other);
        } else {
            m_agenda->addEntry(tuesday, QStringLiteral("10:00"), QStringLiteral("Farmacia"));
        }
        QTest::mouseClick(week().Image4, Qt::LeftButton);
        QCOMPARE(visibleLines(1), (QStringList{"09:00 Dentista", "10:00 Farmacia"}));
    }

    // A week shown after another holds its own lines alone, from its first, none of them chosen,
    // whatever the week before held and wherever the user had left it.
    void movingWeeksShowsOnlyTheNewLines_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("chosen");
        QTest::newRow("fewer") << 30 << 2 << false;
        QTest::newRow("more") << 2 << 30 << false;
        QTest::newRow("as many") << 30 << 30 << false;
        QTest::newRow("as many, one chosen") << 30 << 30 << true;
        QTest::newRow("none after") << 3 << 0 << false;
    }
    void movingWeeksShowsOnlyTheNewLines()
    {
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(bool, chosen);
        const QDate tuesday(2024, 4, 2);
        QStringList expected;
        for (int k = 0; k < before + after; ++k) {
            const QDate day = k < before ? tuesday : tuesday.addDays(7);
            const QString time = QTime(7, 0).addSecs(60 * 15 * k).toString(QStringLiteral("hh:mm"));
            const QString text = QStringLiteral("Línea %1").arg(k);
            m_agenda->addEntry(day, time, text);
            if (k >= before)
                expected << time + QLatin1Char(' ') + text;
        }
        showActive();
        QListWidget *list = week().List1[1];
        list->scrollToBottom();
        if (chosen)
            list->setCurrentRow(list->count() - 1);
        QTest::mouseClick(week().Image4, Qt::LeftButton);
        QCOMPARE(visibleLines(1), expected);
        QCOMPARE(list->verticalScrollBar()->value(), list->verticalScrollBar()->minimum());
        QVERIFY(!list->currentItem());
        QVERIFY(list->selectedItems().isEmpty());
    }

    // A day's header shows its caption where and as a label the keyboard can reach would.
    void headersDrawAsLabels_data()
    {
        QTest::addColumn<int>("day");
        QTest::newRow("today") << 2;
        QTest::newRow("another day") << 0;
    }
    void headersDrawAsLabels()
    {
        QFETCH(int, day);
        showActive();
        ClickLabel *header = week().Label3[day];
        ClickLabel label(header->parentWidget());
        label.setFont(header->font());
        label.setPalette(header->palette());
        label.resize(header->size());
        label.setText(header->text());
        QCOMPARE(header->grab().toImage(), label.grab().toImage());
    }

    // A line too long for its list ends in an ellipsis where the list shows it, short of its
    // scroll bar, not cut at the edge.
    void aLongLineEndsWhereTheListShowsIt()
    {
        const QDate monday(2024, 4, 1);
        m_agenda->addEntry(monday, QStringLiteral("08:00"), QStringLiteral("Revisióndelcochenuevo").repeated(8));
        for (int hour = 9; hour < 24; ++hour)
            m_agenda->addEntry(monday, QStringLiteral("%1:00").arg(hour), QStringLiteral("otra"));
        showActive();
        QListWidget *list = week().List1[0];
        QVERIFY(list->verticalScrollBar()->isVisible());
        const QRect shown = list->visualItemRect(list->item(0)) & list->viewport()->rect();
        const QImage line = list->viewport()->grab(shown).toImage();
        const auto inkedFrom = [&line](int left) {
            for (int x = left; x < line.width(); ++x)
                for (int y = 0; y < line.height(); ++y)
                    if (qGray(line.pixel(x, y)) < 128)
                        return true;
            return false;
        };
        QVERIFY(inkedFrom(0));
        QVERIFY(!inkedFrom(line.width() - 2));
    }

    void listTooltipAndFocusColours()
    {
        m_agenda->addEntry(QDate(2024, 4, 1), QStringLiteral("09:00"), QStringLiteral("Médico"));
        showActive();
        QListWidget *monday = week().List1[0];
        week().List1_Click(0, monday->item(0));
        QCOMPARE(monday->toolTip(), QStringLiteral("09:00 Médico"));
        monday->setFocus();
        QCOMPARE(monday->viewport()->palette().color(QPalette::Base), WeekView::FocusedList);
        week().List1[1]->setFocus();
        QCOMPARE(monday->viewport()->palette().color(QPalette::Base), WeekView::OtherPanel);
    }

private:
    void showActive()
    {
        m_main->show();
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main));
    }
    WeekView &week() { return m_main->week(); }
    QStringList visibleLines(int day)
    {
        QStringList lines;
        for (int row = 0; row < week().List1[day]->count(); ++row)
            lines << EntryLine::Visible(week().List1[day]->item(row)->text());
        return lines;
    }

    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Application> m_program;
    Form1 *m_main = nullptr;
};

QTEST_MAIN(TestWeekView)
#include "tst_weekview.moc"
