#include "agenda/WeekView.h"
#include "mainwindow/Application.h"
#include "mainwindow/Form1.h"
#include "support/TestAgenda.h"
#include "widgets/ClickLabel.h"
#include "widgets/ImageButton.h"
#include "widgets/TabShape.h"
#include "widgets/Twips.h"

#include <QtTest>

// Every control a user can see is clickable where it is drawn: nothing decorative, no piece of the
// cover, lies over it at any size the window can take.
class TestClickable : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Application> m_program;
    Form1 *m_main = nullptr;

    static QList<QWidget *> clickables(QWidget &window)
    {
        QList<QWidget *> found;
        for (QWidget *w : window.findChildren<QWidget *>())
            if ((qobject_cast<ImageButton *>(w) || qobject_cast<ClickLabel *>(w) || qobject_cast<TabShape *>(w)) &&
                w->isVisibleTo(&window) && w->width() > 0 && w->height() > 0)
                found << w;
        return found;
    }

    // The widget that receives a press at the centre of target, as the window system would find it.
    static QWidget *underPointer(QWidget &window, QWidget *target)
    {
        const QPoint centre = target->mapTo(&window, target->rect().center());
        return window.childAt(centre);
    }

    static bool reaches(QWidget *hit, QWidget *target) { return hit && (hit == target || target->isAncestorOf(hit)); }

private slots:
    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        m_program = std::make_unique<Application>(m_agenda->context);
        m_main = &m_program->mainWindow();
        QVERIFY(m_program->Form_Load());
        m_main->show();
        QTRY_VERIFY(m_main->week().WeekStart.isValid()); // the first show draws the week
    }
    void cleanup()
    {
        m_program.reset();
        m_agenda.reset();
    }

    void everyControlReceivesTheClickAtItsCentre_data()
    {
        QTest::addColumn<QString>("size");
        QTest::addColumn<int>("section");
        for (const char *size : {"default", "maximised", "smallest"})
            for (int section : {4, 0, 3})
                QTest::addRow("%s, tab %d", size, section) << QString::fromLatin1(size) << section;
    }

    void everyControlReceivesTheClickAtItsCentre()
    {
        QFETCH(QString, size);
        QFETCH(int, section);
        if (size == QLatin1String("maximised")) {
            m_main->showMaximized();
        } else if (size == QLatin1String("smallest")) {
            const QScreen *screen = m_main->screen();
            m_main->resize(Twips::toPixels(Form1::MinimumWidthTwips + 240, screen),
                           Twips::toPixels(Form1::MinimumHeightTwips + 240, screen));
        }
        QTest::qWait(0);
        m_main->Image7_Click(section);
        const QList<QWidget *> controls = clickables(*m_main);
        QVERIFY(controls.size() > 10);
        QStringList covered;
        for (QWidget *control : controls) {
            // An open section's page lies over the week on purpose.
            if (section != 4 && m_main->week().isAncestorOf(control))
                continue;
            QWidget *hit = underPointer(*m_main, control);
            if (!reaches(hit, control))
                covered << control->objectName() + QStringLiteral(" under ") + (hit ? hit->objectName() : QString());
        }
        QVERIFY2(covered.isEmpty(), qPrintable(covered.join(QStringLiteral(", "))));
    }

    void aClickWhereTheNextWeekArrowIsDrawnShowsTheNextWeek()
    {
        WeekView &week = m_main->week();
        const QDate before = week.WeekStart;
        QWidget *hit = underPointer(*m_main, week.Image4);
        QVERIFY(hit);
        QTest::mouseClick(hit, Qt::LeftButton, {}, hit->rect().center());
        QCOMPARE(week.WeekStart, before.addDays(7));
    }
};

QTEST_MAIN(TestClickable)
#include "tst_clickable.moc"
