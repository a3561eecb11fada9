#include "mainwindow/Application.h"
#include "mainwindow/BookCover.h"
#include "mainwindow/CalendarFiles.h"
#include "mainwindow/Form1.h"
#include "support/TestAgenda.h"
#include "widgets/FileChooser.h"

#include <QMenu>
#include <QMimeData>
#include <QtTest>

// Calendar files from the window: the book's context menu, a file dropped on the window, the
// confirmation before anything is written, the week of what came in.
class TestCalendarFiles : public QObject
{
    Q_OBJECT

private:
    class Chooser final : public FileChooser
    {
    public:
        QString openFileName(QWidget *, const QString &) override { return answer; }
        QString fileToRead(QWidget *, const QString &, const QString &filter) override
        {
            filters << filter;
            return answer;
        }
        QString saveFileName(QWidget *, const QString &, const QString &, const QString &filter) override
        {
            filters << filter;
            return answer;
        }
        QString answer;
        QStringList filters;
    };

    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Application> m_program;
    Form1 *m_main = nullptr;
    Chooser m_chooser;

    static QString apple() { return QFINDTESTDATA("../data/interchange/apple.ics"); }

    int entries() { return int(m_agenda->cursor(QStringLiteral("notas"))->RecordCount()); }

    // Right-clicks the leather below the spine and picks the menu's item with the keys.
    void pickFromTheBooksMenu(const QString &item)
    {
        auto *cover = m_main->findChild<BookCover *>();
        QTimer::singleShot(0, this, [item] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY2(menu, "no menu opened");
            for (int i = 0; i < 8 && !(menu->activeAction() && menu->activeAction()->text() == item); ++i)
                QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        // Through the window, as the window system hands a click on: that is what opens the menu.
        QTest::mouseClick(m_main->windowHandle(), Qt::RightButton, {},
                          cover->mapTo(m_main, QPoint(cover->width() / 2, cover->height() - 4)));
    }

private slots:
    void initTestCase() { qputenv("TZ", "Europe/Madrid"); }

    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        m_program = std::make_unique<Application>(m_agenda->context);
        m_main = &m_program->mainWindow();
        QVERIFY(m_program->Form_Load());
        m_main->resize(900, 640);
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main));
        m_chooser = Chooser();
        m_main->calendarFiles().setFileChooser(&m_chooser);
        m_agenda->messenger.clear();
    }
    void cleanup()
    {
        m_program.reset();
        m_agenda.reset();
    }

    // Importing from the menu asks for a calendar or address file, tells what comes in, and shows
    // the week of the entries once written.
    void importFromTheBooksMenu()
    {
        m_chooser.answer = apple();
        pickFromTheBooksMenu(QStringLiteral("Importar…"));
        QTRY_COMPARE(entries(), 3);
        QVERIFY(m_chooser.filters.first().contains(QStringLiteral("*.ics")) &&
                m_chooser.filters.first().contains(QStringLiteral("*.vcf")));
        QVERIFY2(m_agenda->messenger.texts().first().contains(QStringLiteral("3 entradas")),
                 qPrintable(m_agenda->messenger.texts().join(u'\n')));
        // All three lie before today: the week of the last one.
        QCOMPARE(m_main->diary().SelectedDate, QDate(2024, 1, 17));
    }

    void exportFromTheBooksMenu()
    {
        m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("10:00"), QStringLiteral("Dentista"));
        m_chooser.answer = m_agenda->folder() + QStringLiteral("/salida.ics");
        pickFromTheBooksMenu(QStringLiteral("Exportar…"));
        QTRY_VERIFY(QFileInfo::exists(m_chooser.answer));
        QFile file(m_chooser.answer);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("SUMMARY:Dentista"));
    }

    // A file dropped on the window is imported once the user confirms, and only then.
    void aDroppedFileIsImportedOnceConfirmed_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("written");
        QTest::newRow("confirmed") << int(Messenger::Yes) << 3;
        QTest::newRow("declined") << int(Messenger::No) << 0;
    }

    void aDroppedFileIsImportedOnceConfirmed()
    {
        QFETCH(int, answer);
        QFETCH(int, written);
        m_agenda->messenger.answerNext(Messenger::Button(answer));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(apple())});
        const QPoint at = m_main->rect().center();
        QWidget *target = m_main->childAt(at) ? m_main->childAt(at) : m_main;
        const QPoint local = target->mapFrom(m_main, at);
        QDragEnterEvent enter(local, Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(local, Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QTRY_COMPARE(m_agenda->messenger.shown.size(), written ? 2 : 1);
        QCOMPARE(entries(), written);
    }
};

QTEST_MAIN(TestCalendarFiles)
#include "tst_calendarfiles.moc"
