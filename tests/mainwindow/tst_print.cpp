#include "data/CardStore.h"
#include "mainwindow/Application.h"
#include "mainwindow/Form1.h"
#include "mainwindow/TabStrip.h"
#include "support/TestAgenda.h"
#include "widgets/FileChooser.h"
#include "widgets/ImageButton.h"

#include <QCheckBox>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QToolBar>
#include <QtTest>

namespace {

class ChosenFile final : public FileChooser
{
public:
    QString openFileName(QWidget *, const QString &) override { return {}; }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override { return answer; }
    QString answer;
};

// Runs work on the next popup or modal window of type Window once it is up.
template <typename Window> void whenUp(const std::function<void(Window &)> &work)
{
    auto *poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, qApp, [poll, work] {
        QWidget *up =
            QApplication::activePopupWidget() ? QApplication::activePopupWidget() : QApplication::activeModalWidget();
        if (auto *window = qobject_cast<Window *>(up)) {
            poll->deleteLater();
            poll->stop();
            work(*window);
        }
    });
    poll->start(20);
    QTimer::singleShot(10000, poll, [poll] {
        poll->deleteLater();
        if (auto *open = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            open->reject();
    });
}

} // namespace

// Printing from the window: the book's context menu and Ctrl+P print, or export as a PDF, what
// the open section shows, through a preview.
class TestPrint : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Application> m_program;
    Form1 *m_main = nullptr;
    ChosenFile m_chooser;

private slots:
    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        m_program = std::make_unique<Application>(m_agenda->context);
        m_main = &m_program->mainWindow();
        QVERIFY(m_program->Form_Load());
        m_main->setFileChooser(&m_chooser);
        m_main->resize(900, 640);
        m_main->show();
        QVERIFY(QTest::qWaitForWindowActive(m_main));
    }
    void cleanup()
    {
        m_program.reset();
        m_agenda.reset();
    }

    void printsWhatTheOpenSectionShows_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<bool>("pdf");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("title");
        QTest::newRow("week, Ctrl+P") << 4 << false << ""
                                      << "Imprimir";
        QTest::newRow("tasks, menu") << 3 << true << ""
                                     << "Tareas";
        QTest::newRow("calendar, menu") << 1 << true << ""
                                        << "Calendario de abril de 2024";
        QTest::newRow("cards found, menu") << 2 << true << "garc"
                                           << "Teléfonos: búsqueda «garc»";
    }

    void printsWhatTheOpenSectionShows()
    {
        QFETCH(int, tab);
        QFETCH(bool, pdf);
        QFETCH(QString, typed);
        QFETCH(QString, title);
        Card card;
        card.fields[Card::Name] = QStringLiteral("Lucía García");
        QVERIFY(m_main->diary().cards().add(card));
        if (tab < 4)
            QTest::mouseClick(m_main->tabs().ImagenI[size_t(tab - 1)], Qt::LeftButton);
        if (!typed.isEmpty()) {
            QTest::keyClicks(QApplication::focusWidget(), typed);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        const QString file = QDir(m_agenda->folder()).filePath(QStringLiteral("vista"));
        m_chooser.answer = file;

        QString shownTitle;
        bool notesOffered = false;
        whenUp<QPrintPreviewDialog>([&](QPrintPreviewDialog &preview) {
            shownTitle = preview.windowTitle();
            notesOffered = preview.findChild<QCheckBox *>() != nullptr;
            auto *toolbar = preview.findChild<QToolBar *>();
            for (QAction *action : toolbar->actions())
                if (action->text() == QStringLiteral("Guardar PDF"))
                    QTest::mouseClick(toolbar->widgetForAction(action), Qt::LeftButton);
            if (preview.isVisible())
                preview.reject();
        });
        if (pdf) {
            whenUp<QMenu>([](QMenu &menu) {
                for (QAction *action : menu.actions())
                    if (action->text() == QStringLiteral("Exportar a PDF…"))
                        QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(action).center());
            });
            // A right click on the open section's title page, through the window as the pointer's is.
            QWidget *page = m_main->Picture1;
            QTest::mouseClick(m_main->windowHandle(), Qt::RightButton, {},
                              page->mapTo(m_main, QPoint(page->width() / 2, page->height() - 20)));
        } else {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::ControlModifier);
        }
        QTRY_VERIFY(!shownTitle.isEmpty());
        QCOMPARE(notesOffered, tab == 4);
        if (!pdf) {
            QCOMPARE(shownTitle, title);
            return;
        }
        QCOMPARE(shownTitle, QStringLiteral("Exportar a PDF"));
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {file + QStringLiteral(".pdf"), QStringLiteral("-")});
        QVERIFY(text.waitForFinished(20000));
        QVERIFY(QString::fromUtf8(text.readAllStandardOutput()).startsWith(title));
    }
};

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
