#include "agenda/WeekView.h"
#include "desktopclock/Form9.h"
#include "mainwindow/Application.h"
#include "mainwindow/Form1.h"
#include "mainwindow/TabStrip.h"
#include "support/TestAgenda.h"
#include "widgets/ImageButton.h"
#include "widgets/PictureBox.h"
#include "widgets/ResizeGrip.h"
#include "widgets/SectionPanel.h"
#include "widgets/TabShape.h"
#include "widgets/Twips.h"

#include <QLabel>
#include <QListWidget>
#include <QtTest>

class TestChrome : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        m_program = std::make_unique<Application>(m_agenda->context);
        m_main = &m_program->mainWindow();
        QVERIFY(m_program->Form_Load());
        m_main->resize(900, 640);
        m_main->show();
    }
    void cleanup()
    {
        m_program.reset();
        m_agenda.reset();
    }

    void sectionsSwitchByTheirTabs()
    {
        QTest::mouseClick(m_main->tabs().ImagenI[0], Qt::LeftButton); // the calendar's tab on the right edge
        QCOMPARE(m_main->openSection(), 1);
        QVERIFY(m_main->findChild<QWidget *>(QStringLiteral("PictureCalendario"))->isVisible());
        QVERIFY(m_main->Markers[1]->isVisible());
        QVERIFY(m_main->Picture1->isVisible());
        QCOMPARE(m_main->Label2->text(), QStringLiteral("Calendario"));
        QVERIFY(!m_main->week().Label1[0]->isVisible());
        QVERIFY(!m_main->week().Image3->isVisible());
        // Tabs up to the selected one lie on the left edge, the others on the right.
        for (int j = 0; j < 5; ++j)
            QCOMPARE(m_main->tabs().SolapaI[j]->isVisible(), j <= 1);
        for (int k = 0; k < 4; ++k)
            QCOMPARE(m_main->tabs().ImagenI[k]->isVisible(), k >= 1);

        // The open section's own tab does nothing.
        m_main->Label2->setText(QStringLiteral("sin tocar"));
        m_main->Image7_Click(1);
        QCOMPARE(m_main->Label2->text(), QStringLiteral("sin tocar"));

        m_main->Image7_Click(3);
        QCOMPARE(m_main->openSection(), 3);
        QVERIFY(m_main->findChild<QWidget *>(QStringLiteral("PictureTareas"))->isVisible());
        QVERIFY(!m_main->findChild<QWidget *>(QStringLiteral("PictureCalendario"))->isVisible());
        QCOMPARE(m_main->Label2->text(), QStringLiteral("Tareas"));

        m_main->Image7_Click(4);
        QCOMPARE(m_main->openSection(), 4);
        QVERIFY(!m_main->Picture1->isVisible());
        QVERIFY(!m_main->findChild<QWidget *>(QStringLiteral("PictureTareas"))->isVisible());
        QVERIFY(m_main->week().Label1[0]->isVisible());
        QVERIFY(m_main->week().Image3->isVisible() && m_main->week().Image4->isVisible());
        for (int j = 0; j < 5; ++j)
            QVERIFY(m_main->tabs().SolapaI[j]->isVisible());
    }

    void theWeekTabAlwaysSwitches()
    {
        m_main->diary().SelectedDate = m_agenda->clock.today().addDays(21);
        m_main->Image7_Click(4);
        QVERIFY(m_main->week().Image9->isVisible()); // the current-week button comes back
    }

    void imageButtonsAreAnnounced()
    {
        const QList<ImageButton *> buttons = m_main->findChildren<ImageButton *>();
        QVERIFY(buttons.size() >= 20);
        for (ImageButton *button : buttons) {
            QVERIFY2(!button->accessibleName().isEmpty(), qPrintable(button->objectName()));
            QCOMPARE(button->accessibleName(), button->toolTip());
        }
        QCOMPARE(m_main->findChild<ImageButton *>(QStringLiteral("Image5(0)"))->toolTip(), QStringLiteral("Cerrar"));
        QCOMPARE(m_main->findChild<ImageButton *>(QStringLiteral("Image7(2)"))->toolTip(),
                 QStringLiteral("Teléfonos y Direcciones"));
        QCOMPARE(m_main->findChild<ImageButton *>(QStringLiteral("Image12(6)"))->toolTip(),
                 QStringLiteral("Añadir Entrada"));
    }

    void maximiseAndRestoreSwapTheirButtons()
    {
        QVERIFY(m_main->Image5[1]->isVisible());
        QVERIFY(!m_main->Image5[2]->isVisible());
        QTest::mouseDClick(m_main->findChild<QWidget *>(QStringLiteral("Image1")), Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY(m_main->isMaximized());
        QVERIFY(!m_main->Image5[1]->isVisible());
        QVERIFY(m_main->Image5[2]->isVisible());
        QTest::mouseClick(m_main->Image5[2], Qt::LeftButton);
        QVERIFY(!m_main->isMaximized());
        QVERIFY(m_main->Image5[1]->isVisible());
        QTest::mouseClick(m_main->Image5[1], Qt::LeftButton);
        QVERIFY(m_main->isMaximized());
    }

    void theGripStopsAtItsBound()
    {
        QWidget *grip = m_main->I2;
        const QPoint inside(4, 4);
        QTest::mousePress(grip, Qt::LeftButton, Qt::NoModifier, inside);
        QMouseEvent drag(QEvent::MouseMove, QPointF(inside - QPoint(2000, 2000)),
                         grip->mapToGlobal(QPointF(inside - QPoint(2000, 2000))), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(grip, &drag);
        QCOMPARE(m_main->width(), m_main->px(7000) + grip->width());
        QCOMPARE(m_main->height(), m_main->px(5000) + grip->height());
    }

    void keepOnScreen()
    {
        const QRect screen = Twips::screenPixels(m_main->screen());
        m_main->resize(400, 300);
        m_main->move(screen.right() - 100, screen.bottom() - 50);
        m_main->KeepOnScreen();
        QCOMPARE(m_main->x(), screen.x() + screen.width() - 400);
        QCOMPARE(m_main->y(), screen.y() + screen.height() - 300);
        m_main->move(screen.x() - 80, screen.y() - 30);
        m_main->KeepOnScreen();
        QCOMPARE(m_main->pos(), screen.topLeft());
    }

    void layoutFollowsTheWindow_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("ordinary") << QSize(1000, 700);
        QTest::newRow("odd thirds") << QSize(931, 611);
        QTest::newRow("tiny") << QSize(120, 90);
    }

    void layoutFollowsTheWindow()
    {
        QFETCH(QSize, size);
        m_main->resize(size);
        const WeekView &week = m_main->week();
        const int monday = week.Picture2[0]->height();
        QVERIFY(std::abs(week.Picture2[5]->height() + week.Picture2[6]->height() - monday) <= 1);
        QCOMPARE(week.Picture2[6]->y(), week.Picture2[5]->y() + week.Picture2[5]->height());
        QVERIFY(week.Picture2[3]->x() > week.Picture2[0]->x() + week.Picture2[0]->width());
        for (QWidget *child : m_main->findChildren<QWidget *>()) {
            QVERIFY2(child->width() >= 0 && child->height() >= 0, qPrintable(child->objectName()));
        }
        // The right-hand tabs stand against the right edge.
        QCOMPARE(m_main->tabs().SolapaD[0]->x() + m_main->tabs().SolapaD[0]->width(), m_main->width());
        QCOMPARE(m_main->Image5[0]->x() + m_main->Image5[0]->width() + m_main->px(180), m_main->width());
    }

    void tasksTabBlinksOnlyWithPendingTasks()
    {
        ImageButton *icon = m_main->tabs().Image7[3];
        for (int tick = 0; tick < 40; ++tick) {
            m_main->tabs().Timer3_Timer();
            QVERIFY(icon->isVisible());
        }
        m_main->diary().PendingTasks = true;
        int hidden = 0;
        for (int tick = 0; tick < 48; ++tick) {
            m_main->tabs().Timer3_Timer();
            hidden += icon->isHidden() ? 1 : 0;
        }
        QCOMPARE(hidden, 3); // one tick in every sixteen
    }

    void dayTextsAreSweptOneAfterAnother()
    {
        for (int count = 0; count < 31; ++count) {
            m_main->Timer4_Timer();
            for (int i = 0; i < 7; ++i)
                QCOMPARE(m_main->week().Label4[i]->isHidden(), count == 3 * i);
        }
        m_main->Timer4_Timer(); // the cycle starts again
        QVERIFY(m_main->week().Label4[0]->isHidden());
    }

    void cerrarHidesBehindTheWidget()
    {
        m_main->resize(800, 560);
        QTRY_VERIFY(m_main->Timer4.isActive()); // the diary's turn has come
        QTest::mouseClick(m_main->Image5[0], Qt::LeftButton);
        QVERIFY(!m_main->isVisible());
        QVERIFY(m_main->widget() && m_main->widget()->isVisible());
        // Nothing of the hidden diary ticks beside the clock on the desktop.
        QVERIFY(!m_main->Timer4.isActive());
        QVERIFY(!m_main->tabs().Timer3.isActive());
        QCOMPARE(int(m_agenda->context.settings.MainWidth), qRound(m_main->tw(800)));
        m_main->widget()->ShowMainWindow();
        QVERIFY(m_main->isVisible());
        QVERIFY(m_main->Timer4.isActive());

        m_main->showMaximized();
        QTest::mouseClick(m_main->Image5[0], Qt::LeftButton);
        QCOMPARE(int(m_agenda->context.settings.MainWidth), qRound(m_main->tw(800))); // the normal size stays
    }

private:
    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Application> m_program;
    Form1 *m_main = nullptr;
};

QTEST_MAIN(TestChrome)
#include "tst_chrome.moc"
