#include "data/Module1.h"
#include "desktopclock/ClockFace.h"
#include "desktopclock/Form9.h"
#include "desktopclock/SettingsPanel.h"
#include "mainwindow/Application.h"
#include "mainwindow/Form1.h"
#include "support/TestAgenda.h"
#include "widgets/ImageButton.h"
#include "widgets/PictureBox.h"
#include "widgets/Twips.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

class TestWidget : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Application> m_program;
    Form1 *m_main = nullptr;
    std::unique_ptr<Form9> m_widget;
    int m_quits = 0;

    Settings &settings() { return m_agenda->context.settings; }

    // The widget as the main window's "Cerrar" leaves it, with the settings the test has set.
    Form9 &openWidget()
    {
        m_widget = std::make_unique<Form9>(m_main->diary(), m_main->context());
        m_widget->quitProgram = [this] { ++m_quits; };
        QObject::connect(m_widget.get(), &Form9::mainWindowWanted, m_main, &Form1::ShowMainWindow);
        m_widget->show();
        return *m_widget;
    }

    QRect screenArea() const { return Twips::screenPixels(m_widget->screen()); }
    int twips(int value) const { return Twips::toPixels(value, m_widget->screen()); }

    static void sendMouse(QWidget *target, QEvent::Type type, QPoint local, Qt::MouseButton button,
                          Qt::MouseButtons held)
    {
        QMouseEvent event(type, QPointF(local), QPointF(target->mapToGlobal(local)), button, held, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }

    static void rightClick(QWidget *target)
    {
        QTest::mousePress(target, Qt::RightButton, {}, QPoint(5, 5));
        QTest::mouseRelease(target, Qt::RightButton, {}, QPoint(5, 5));
    }

private slots:
    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        m_agenda->clock.set(QDateTime(QDate(2024, 4, 3), QTime(10, 7, 30))); // a Wednesday
        m_program = std::make_unique<Application>(m_agenda->context);
        m_main = &m_program->mainWindow();
        QVERIFY(m_program->Form_Load());
        settings().Alpha = 80;
        settings().Delay = 15;
        settings().WidgetLeft = 1500;
        settings().WidgetTop = 750;
        m_quits = 0;
    }

    void cleanup()
    {
        m_widget.reset();
        m_program.reset();
        m_agenda.reset();
    }

    void creationShowsTheSettingsAndPlacesTheCard()
    {
        Form9 &w = openWidget();
        QCOMPARE(w.Picture1->txtalpha->text(), QStringLiteral("80"));
        QCOMPARE(w.Picture1->VScroll1->value(), 80);
        QCOMPARE(w.Picture1->Text2->text(), QStringLiteral("15"));
        QCOMPARE(w.Picture1->VScroll2->value(), 15);
        QCOMPARE(w.appliedOpacity(), 204);
        QVERIFY(w.Picture1->Check1->isChecked());
        QCOMPARE(w.windowTitle(), QStringLiteral("Quillomar"));
        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);

        const QRect primary = Twips::screenPixels(QGuiApplication::primaryScreen());
        QCOMPARE(w.pos(), primary.topLeft() + QPoint(twips(1500), twips(750)));
        // The client area is the card, the panel waits just beyond its right edge.
        QCOMPARE(w.size(), w.face()->Image1->size());
        QCOMPARE(w.face()->Image1->pos(), QPoint(0, 0));
        QCOMPARE(w.Picture1->geometry(), QRect(w.face()->Image1->width(), 0, w.Picture1->width(), w.height()));

        QCOMPARE(w.face()->Label2[0]->y(), twips(240));
        QCOMPARE(w.face()->Label3[0]->y(), twips(480));
        QCOMPARE(w.face()->Label1[0]->y(), w.height() - twips(480));
        for (QLabel *label : {w.face()->Label1[0], w.face()->Label2[0], w.face()->Label3[0]})
            QCOMPARE(label->x() * 2 + label->width(), w.width());

        QCOMPARE(w.Picture1->Image2->toolTip(), QStringLiteral("Cambiar Ruta Datos"));
        QCOMPARE(w.Picture1->Image3->accessibleName(), QStringLiteral("Salida del Programa"));
        QCOMPARE(w.Picture1->Image5[0]->objectName(), QStringLiteral("Image5(0)"));
        QCOMPARE(w.Picture1->Image5[0]->accessibleName(), QStringLiteral("Cerrar"));
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("Label5"))->text(), QStringLiteral("Configuración"));
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("Label4(0)"))->text(), QStringLiteral("Transparencia (%):"));
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("Label4(1)"))->text(), QStringLiteral("Demora Cierre (seg.):"));
        QCOMPARE(w.Picture1->Check1->text(), QStringLiteral("Vibra si hay algo hoy"));
    }

    void opacityFromTheText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("opacity");
        QTest::newRow("80 %") << "80" << 204;
        QTest::newRow("100 %") << "100" << 255;
        QTest::newRow("1 %") << "1" << 3;
        QTest::newRow("90 %, 229.5 to even") << " 90 " << 230;
        QTest::newRow("50.5 rounds to 50") << "50.5" << 128;
        QTest::newRow("0 is not 1-100") << "0" << 178;
        QTest::newRow("101 is not 1-100") << "101" << 178;
        QTest::newRow("0.5 rounds to 0") << "0.5" << 178;
        QTest::newRow("negative") << "-40" << 178;
        QTest::newRow("words") << "mucho" << 178;
        QTest::newRow("number and words") << "80 %" << 178;
        QTest::newRow("empty") << "" << 178;
        QTest::newRow("not a number") << "nan" << 178;
    }

    void opacityFromTheText()
    {
        QFETCH(QString, text);
        QFETCH(int, opacity);
        Form9 &w = openWidget();
        w.Picture1->txtalpha->setText(text);
        w.ApplyOpacity(false);
        QCOMPARE(w.appliedOpacity(), opacity);
        QCOMPARE(qRound(w.windowOpacity() * 255), opacity);

        w.ApplyOpacity(true);
        QCOMPARE(w.appliedOpacity(), 255);
        QCOMPARE(w.windowOpacity(), 1.0);
    }

    void spinnersChangeTheSettings()
    {
        Form9 &w = openWidget();
        w.Picture1->VScroll1->setValue(100);
        QCOMPARE(w.Picture1->txtalpha->text(), QStringLiteral("100"));
        QCOMPARE(settings().Alpha, 100);
        QCOMPARE(w.appliedOpacity(), 255);
        w.Picture1->VScroll1->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(settings().Alpha, 99);
        QCOMPARE(w.Picture1->txtalpha->text(), QStringLiteral("99"));

        w.Picture1->VScroll2->setValue(42);
        QCOMPARE(w.Picture1->Text2->text(), QStringLiteral("42"));
        QCOMPARE(settings().Delay, 42);
    }

    void settingsOutsideTheSpinnersAreBroughtIn_data()
    {
        QTest::addColumn<int>("alpha");
        QTest::addColumn<int>("delay");
        QTest::addColumn<int>("shownAlpha");
        QTest::addColumn<int>("shownDelay");
        QTest::newRow("below") << 5 << 2 << 10 << 5;
        QTest::newRow("zero") << 0 << 0 << 10 << 5;
        QTest::newRow("negative") << -300 << -1 << 10 << 5;
        QTest::newRow("above") << 250 << 5000 << 100 << 999;
        QTest::newRow("at the ends") << 10 << 999 << 10 << 999;
    }

    void settingsOutsideTheSpinnersAreBroughtIn()
    {
        QFETCH(int, alpha);
        QFETCH(int, delay);
        QFETCH(int, shownAlpha);
        QFETCH(int, shownDelay);
        settings().Alpha = qint16(alpha);
        settings().Delay = qint16(delay);
        Form9 &w = openWidget();
        QCOMPARE(w.Picture1->VScroll1->value(), shownAlpha);
        QCOMPARE(w.Picture1->txtalpha->text(), QString::number(shownAlpha));
        QCOMPARE(int(settings().Alpha), shownAlpha);
        QCOMPARE(w.appliedOpacity(), qRound(Module1::RoundHalfEven(shownAlpha * 2.55)));
        QCOMPARE(w.Picture1->VScroll2->value(), shownDelay);
        QCOMPARE(w.Picture1->Text2->text(), QString::number(shownDelay));
        QCOMPARE(int(settings().Delay), shownDelay);
    }

    void keptOnScreen_data()
    {
        QTest::addColumn<QPoint>("offset"); // from the top-left corner of the screen, in card sizes
        QTest::addColumn<QPoint>("expected");
        // Coordinates: -1 before the screen, 0 inside it, 1 past its end; the expected corner
        // is 0 for the screen's start, 1 for the card touching its end, 2 for left as it was.
        QTest::newRow("inside") << QPoint(0, 0) << QPoint(2, 2);
        QTest::newRow("off the left") << QPoint(-1, 0) << QPoint(0, 2);
        QTest::newRow("off the top") << QPoint(0, -1) << QPoint(2, 0);
        QTest::newRow("off the right") << QPoint(1, 0) << QPoint(1, 2);
        QTest::newRow("off the bottom") << QPoint(0, 1) << QPoint(2, 1);
        QTest::newRow("off the bottom right") << QPoint(1, 1) << QPoint(1, 1);
        QTest::newRow("off the top left") << QPoint(-1, -1) << QPoint(0, 0);
    }

    void keptOnScreen()
    {
        QFETCH(QPoint, offset);
        QFETCH(QPoint, expected);
        Form9 &w = openWidget();
        const QRect screen = screenArea();
        const auto place = [&](int where, int start, int length, int size) {
            if (where < 0)
                return start - size / 2;
            if (where > 0)
                return start + length - size / 2;
            return start + 30;
        };
        const QPoint from(place(offset.x(), screen.x(), screen.width(), w.width()),
                          place(offset.y(), screen.y(), screen.height(), w.height()));
        const auto result = [&](int code, int start, int length, int size, int was) {
            return code == 0 ? start : code == 1 ? start + length - size : was;
        };
        const QPoint to(result(expected.x(), screen.x(), screen.width(), w.width(), from.x()),
                        result(expected.y(), screen.y(), screen.height(), w.height(), from.y()));

        w.move(from);
        w.KeepWidgetOnScreen();
        QCOMPARE(w.pos(), to);

        // The clock's tick pulls a card back too, within half a second.
        w.move(from);
        w.Timer1_Timer();
        QCOMPARE(w.pos(), to);
    }

    void rightClickOpensThePanelAndIdlenessClosesIt()
    {
        settings().Delay = 5;
        Form9 &w = openWidget();
        m_agenda->context.IdleCount = 3;
        rightClick(w.face()->Image1);
        QCOMPARE(w.width(), w.face()->Image1->width() + w.Picture1->width());
        QCOMPARE(m_agenda->context.IdleCount, 0);
        QVERIFY(w.Picture1->isVisible());

        for (int second = 1; second <= 5; ++second) {
            w.Timer3_Timer();
            QCOMPARE(w.width(), w.face()->Image1->width() + w.Picture1->width());
        }
        w.Timer3_Timer(); // Delay + 1 seconds without the user
        QCOMPARE(w.width(), w.face()->Image1->width());
        QCOMPARE(w.appliedOpacity(), 204);

        // The main window's bound starts the count again; the closing repeats and changes nothing.
        m_agenda->context.IdleCount = 0;
        for (int second = 1; second <= 6; ++second)
            w.Timer3_Timer();
        QCOMPARE(w.width(), w.face()->Image1->width());
        QCOMPARE(w.appliedOpacity(), 204);
        QCOMPARE(qRound(w.windowOpacity() * 255), 204);
    }

    void activityOnThePanelKeepsItOpen()
    {
        settings().Delay = 5;
        Form9 &w = openWidget();
        rightClick(w.face()->Label1[0]);
        QCOMPARE(w.width(), w.face()->Image1->width() + w.Picture1->width());
        for (int second = 1; second <= 4; ++second)
            w.Timer3_Timer();
        QTest::keyClick(w.Picture1->VScroll1, Qt::Key_Down); // the user sets the transparency
        QCOMPARE(settings().Alpha, 81);
        QCOMPARE(m_agenda->context.IdleCount, 0);
        for (int second = 1; second <= 5; ++second)
            w.Timer3_Timer();
        QCOMPARE(w.width(), w.face()->Image1->width() + w.Picture1->width());
        w.Timer3_Timer();
        QCOMPARE(w.width(), w.face()->Image1->width());
    }

    void closeButtonClosesThePanel()
    {
        Form9 &w = openWidget();
        QVERIFY(!w.Timer3.isActive()); // the idle count runs for the open panel alone
        rightClick(w.face()->Label3[0]);
        QCOMPARE(w.width(), w.face()->Image1->width() + w.Picture1->width());
        QVERIFY(w.Timer3.isActive());
        QTest::mouseClick(w.Picture1->Image5[0], Qt::LeftButton);
        QCOMPARE(w.width(), w.face()->Image1->width());
        QVERIFY(!w.Timer3.isActive());
        QCOMPARE(m_quits, 0);
    }

    void openingThePanelKeepsItOnScreen()
    {
        Form9 &w = openWidget();
        const QRect screen = screenArea();
        w.move(screen.right() + 1 - w.width(), screen.y() + 10);
        rightClick(w.face()->Image1);
        QCOMPARE(w.width(), w.face()->Image1->width() + w.Picture1->width());
        QCOMPARE(w.x() + w.width(), screen.right() + 1);
    }

    void shaking_data()
    {
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("todayHasEntries");
        QTest::addColumn<bool>("composited");
        QTest::addColumn<bool>("shakes");
        QTest::newRow("entries today, card moves in its window") << true << true << true << true;
        QTest::newRow("entries today, the window moves") << true << true << false << true;
        QTest::newRow("box cleared") << false << true << true << false;
        QTest::newRow("no entries today") << true << false << true << false;
        QTest::newRow("neither") << false << false << false << false;
    }

    void shaking()
    {
        QFETCH(bool, checked);
        QFETCH(bool, todayHasEntries);
        QFETCH(bool, composited);
        QFETCH(bool, shakes);
        Form9 &w = openWidget();
        w.desktopComposites = [composited] { return composited; };
        w.Picture1->Check1->setChecked(checked);
        m_main->diary().TodayHasEntries = todayHasEntries;
        const QRect start = w.geometry();
        // The card above the blinking time, as it looks at rest.
        const QRect still(0, 0, start.width(), w.face()->Label1[0]->y());
        const QImage atRest = w.grab().toImage().copy(still);
        bool seenShifted = false;
        bool seenBack = false;

        QElapsedTimer elapsed;
        elapsed.start();
        w.Timer2_Timer();
        QCOMPARE(w.isShaking(), shakes);
        int furthest = 0;
        while (w.isShaking() && elapsed.elapsed() < 2000) {
            QTest::qWait(5);
            // Where the card stands on the desktop: only ever right of its place, on its line.
            QCOMPARE(w.y(), start.y());
            const int card = w.x() + w.cardShift() - start.x();
            QVERIFY(card >= 0);
            furthest = std::max(furthest, card);
            if (composited)
                QCOMPARE(w.pos(), start.topLeft());
            if (w.isShaking()) // the window leaves room for the card's trips
                QCOMPARE(w.width(), start.width() + (composited ? twips(400) : 0));
            if (w.cardShift() > 0 && !seenShifted) {
                // The card is drawn whole at its shifted place, with the desktop showing beside it.
                seenShifted = true;
                const QImage shot = w.grab().toImage();
                QCOMPARE(shot.copy(still.translated(w.cardShift(), 0)), atRest);
                QCOMPARE(shot.pixelColor(w.cardShift() / 2, still.center().y()).alpha(), 0);
            }
            if (composited && w.isShaking() && w.cardShift() == 0 && !seenBack) {
                // Back in its place, the card leaves the room of its trips to the desktop.
                seenBack = true;
                const QImage shot = w.grab().toImage();
                QCOMPARE(shot.pixelColor(start.width() + twips(400) / 2, still.center().y()).alpha(), 0);
            }
        }
        QVERIFY(!w.isShaking());
        QVERIFY2(elapsed.elapsed() < 1000, qPrintable(QString::number(elapsed.elapsed())));
        QCOMPARE(furthest > 0, shakes);
        QCOMPARE(seenShifted, shakes && composited);
        QCOMPARE(seenBack, shakes && composited);
        QVERIFY(furthest <= twips(400));
        QCOMPARE(w.geometry(), start);
        QCOMPARE(w.cardShift(), 0);
        QCOMPARE(w.face()->pos(), QPoint(0, 0));
        QCOMPARE(w.Picture1->x(), w.face()->width());
        QCOMPARE(settings().WidgetLeft, 1500); // a shake is not a move of the user's
    }

    void aShakeEndsWhereTheCardStoodWhenItBegan_data()
    {
        QTest::addColumn<bool>("composited");
        QTest::addColumn<bool>("panelOpen");
        QTest::newRow("the window moves") << false << false;
        QTest::newRow("card moves in its window") << true << false;
        QTest::newRow("card and open panel move in their window") << true << true;
    }

    void aShakeEndsWhereTheCardStoodWhenItBegan()
    {
        QFETCH(bool, composited);
        QFETCH(bool, panelOpen);
        Form9 &w = openWidget();
        w.desktopComposites = [composited] { return composited; };
        m_main->diary().TodayHasEntries = true;
        if (panelOpen)
            rightClick(w.face()->Image1);
        w.move(w.pos() + QPoint(37, 11)); // placed anew since the card was made
        const QRect start = w.geometry();
        w.Timer2_Timer();
        QTest::qWait(60);
        QVERIFY(w.isShaking());
        if (panelOpen) {
            // The user has gone: the idle count closes the panel in the middle of a shake.
            settings().Delay = 5;
            m_agenda->context.IdleCount = 5;
            w.Timer3_Timer();
            QCOMPARE(w.geometry(), QRect(start.topLeft(), w.face()->Image1->size()));
        } else {
            QTest::mousePress(w.face()->Image1, Qt::RightButton, {}, QPoint(5, 5)); // the user stops it
            QCOMPARE(w.pos(), start.topLeft());
            QCOMPARE(w.width(), w.face()->Image1->width() + w.Picture1->width()); // and opens the panel
        }
        QVERIFY(!w.isShaking());
        QCOMPARE(w.cardShift(), 0);

        w.hide();
        w.Timer2_Timer();
        QVERIFY(!w.isShaking()); // nobody sees a hidden card tremble
    }

    void aBlinkDuringAShakeRepaintsTheTimeAlone()
    {
        Form9 &w = openWidget();
        w.desktopComposites = [] { return true; };
        m_main->diary().TodayHasEntries = true;
        const QRect time = w.face()->Label1[0]->geometry();
        QImage restTime[2];
        for (QImage &shown : restTime) {
            w.Timer1_Timer();
            shown = w.grab(time).toImage();
        }
        w.Timer2_Timer();
        while (w.isShaking() && w.cardShift() == 0)
            QTest::qWait(1);
        QVERIFY(w.isShaking());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest); // the frame is on screen

        QRegion painted;
        struct Painted : QObject
        {
            QRegion *region;
            QWidget *window;
            bool eventFilter(QObject *watched, QEvent *event) override
            {
                if (event->type() == QEvent::Paint)
                    *region += static_cast<QPaintEvent *>(event)->region().translated(
                        static_cast<QWidget *>(watched)->mapTo(window, QPoint()));
                return false;
            }
        } watch;
        watch.region = &painted;
        watch.window = &w;
        for (QWidget *child : w.findChildren<QWidget *>())
            child->installEventFilter(&watch);
        const int shift = w.cardShift();
        w.Timer1_Timer();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        QVERIFY(w.isShaking());
        QCOMPARE(w.cardShift(), shift);
        // The card shows the new time at the frame's place; nothing else of it is painted again.
        QCOMPARE(w.grab(time.translated(shift, 0)).toImage(), restTime[0]);
        QVERIFY(!painted.isEmpty());
        QVERIFY(painted.subtracted(QRegion(time) + time.translated(shift, 0)).isEmpty());
    }

    void atRestNoTimerFiresMoreThanTwiceASecond()
    {
        Form9 &w = openWidget();
        m_main->diary().TodayHasEntries = false;
        QSet<QObject *> own{&w, &w.Timer1, &w.Timer2, &w.Timer3};
        for (QObject *child : w.findChildren<QObject *>())
            own.insert(child);
        QHash<QObject *, int> fired;
        struct Counter : QObject
        {
            QSet<QObject *> *own;
            QHash<QObject *, int> *fired;
            bool eventFilter(QObject *watched, QEvent *event) override
            {
                if (event->type() == QEvent::Timer && own->contains(watched))
                    ++(*fired)[watched];
                return false;
            }
        } counter;
        counter.own = &own;
        counter.fired = &fired;
        qApp->installEventFilter(&counter);
        QTest::qWait(3000);
        qApp->removeEventFilter(&counter);
        QVERIFY(fired.value(&w.Timer1) >= 5); // the clock did run
        for (auto it = fired.cbegin(); it != fired.cend(); ++it)
            QVERIFY2(it.value() <= 7, qPrintable(it.key()->objectName() + QString::number(it.value())));
        QVERIFY(!w.isShaking());
    }

    void closingByTheWindowSystemBringsTheMainWindowBack()
    {
        m_main->hide();
        Form9 &w = openWidget();
        QSignalSpy wanted(&w, &Form9::mainWindowWanted);
        QVERIFY(w.close()); // Alt+F4 or a panel's close
        QCOMPARE(wanted.count(), 1);
        QVERIFY(!w.isVisible());
        QVERIFY(m_main->isVisible());
    }

    void clockBlinksAndFollowsTheDay()
    {
        Form9 &w = openWidget();
        QCOMPARE(w.face()->Label1[0]->text(), QStringLiteral("10:07"));
        QCOMPARE(w.face()->Label2[0]->text(), QStringLiteral("Miércoles"));
        QCOMPARE(w.face()->Label3[0]->text(), QStringLiteral("3/4/24"));

        QStringList shown;
        for (int tick = 0; tick < 4; ++tick) {
            w.Timer1_Timer();
            shown << w.face()->Label1[0]->text();
        }
        QCOMPARE(shown, QStringList({"10 07", "10:07", "10 07", "10:07"}));

        m_agenda->clock.set(QDateTime(QDate(2024, 4, 4), QTime(0, 0, 1)));
        w.Timer1_Timer();
        QCOMPARE(w.face()->Label1[0]->text(), QStringLiteral("00 00"));
        QCOMPARE(w.face()->Label2[0]->text(), QStringLiteral("Jueves"));
        QCOMPARE(w.face()->Label3[0]->text(), QStringLiteral("4/4/24"));
    }

    void theTimeLooksAsAPlainLabelOverTheCard()
    {
        Form9 &w = openWidget();
        QLabel *time = w.face()->Label1[0];
        const QRect place = time->geometry();
        for (const QTime &now : {QTime(10, 7, 30), QTime(10, 7, 31), QTime(10, 8, 0), QTime(10, 8, 1)}) {
            m_agenda->clock.set(QDateTime(QDate(2024, 4, 3), now));
            w.Timer1_Timer();
            QCoreApplication::processEvents();
            QImage expected = w.face()->Image1->grab(place).toImage();
            QLabel plain(time->text());
            plain.setFont(time->font());
            plain.setPalette(time->palette());
            plain.setAlignment(time->alignment());
            plain.resize(place.size());
            plain.render(&expected, QPoint(), QRegion(), QWidget::RenderFlags());
            QCOMPARE(w.face()->grab(place).toImage(), expected);
        }
    }

    void tooltipsShowTheLongDateInCapitals()
    {
        Form9 &w = openWidget();
        for (QLabel *label : {w.face()->Label2[0], w.face()->Label3[0]}) {
            sendMouse(label, QEvent::MouseMove, QPoint(3, 3), Qt::NoButton, Qt::NoButton);
            QCOMPARE(label->toolTip(), QStringLiteral("MIÉRCOLES, 3 DE ABRIL DE 2024"));
        }
        m_agenda->clock.setToday(QDate(2024, 12, 25));
        sendMouse(w.face()->Label3[0], QEvent::MouseMove, QPoint(3, 3), Qt::NoButton, Qt::NoButton);
        QCOMPARE(w.face()->Label3[0]->toolTip(), QStringLiteral("MIÉRCOLES, 25 DE DICIEMBRE DE 2024"));
    }

    void draggingMovesAndStoresThePlace_data()
    {
        QTest::addColumn<QString>("handle");
        QTest::newRow("by the card") << "Image1";
        QTest::newRow("by the time") << "Label1(0)";
        QTest::newRow("by the date") << "Label3(0)";
    }

    void draggingMovesAndStoresThePlace()
    {
        QFETCH(QString, handle);
        Form9 &w = openWidget();
        QWidget *target = w.findChild<QWidget *>(handle);
        QVERIFY(target);
        const QPoint start = w.pos();
        const QPoint grab(10, 5);
        sendMouse(target, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
        sendMouse(target, QEvent::MouseMove, grab + QPoint(1, 0), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(w.pos(), start); // a trembling hand is not a drag
        sendMouse(target, QEvent::MouseMove, grab + QPoint(60, 30), Qt::NoButton, Qt::LeftButton);
        sendMouse(target, QEvent::MouseButtonRelease, grab + QPoint(60, 30), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(w.pos(), start + QPoint(60, 30));

        const QScreen *primary = QGuiApplication::primaryScreen();
        const QPoint origin = Twips::screenPixels(primary).topLeft();
        QCOMPARE(settings().WidgetLeft, Module1::ToSetting(Twips::fromPixels(w.x() - origin.x(), primary)));
        QCOMPARE(settings().WidgetTop, Module1::ToSetting(Twips::fromPixels(w.y() - origin.y(), primary)));
        QVERIFY(settings().WidgetLeft > 1500);
    }

    void aDragOffTheScreenIsStoredThenPulledBack()
    {
        Form9 &w = openWidget();
        const QRect screen = screenArea();
        const QPoint grab(10, 5);
        const QPoint beyond(screen.x() - w.x() - 40, 0); // 40 pixels past the left edge
        sendMouse(w.face()->Image1, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
        sendMouse(w.face()->Image1, QEvent::MouseMove, grab + beyond, Qt::NoButton, Qt::LeftButton);
        sendMouse(w.face()->Image1, QEvent::MouseButtonRelease, grab + beyond, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(w.x(), screen.x());
        QVERIFY(settings().WidgetLeft < 0);
    }

    void doubleClickBringsTheMainWindowBack()
    {
        m_main->hide();
        Form9 &w = openWidget();
        QVERIFY(!m_main->Timer4.isActive());
        QTest::mouseDClick(w.face()->Label2[0], Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QVERIFY(m_main->isVisible());
        QVERIFY(m_main->Timer4.isActive());
        QTRY_VERIFY(m_main->isActiveWindow()); // its activation refreshes the week

        m_main->hide();
        w.show();
        QTest::mouseDClick(w.face()->Image1, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QVERIFY(m_main->isVisible());
    }

    void activationResetsIdlenessAndPullsTheCardUp()
    {
        Form9 &w = openWidget();
        const QRect screen = screenArea();
        w.move(screen.x() + 20, screen.bottom() - 5);
        m_agenda->context.IdleCount = 9;
        w.activateWindow();
        QTRY_VERIFY(w.isActiveWindow());
        QCOMPARE(m_agenda->context.IdleCount, 0);
        QCOMPARE(w.y() + w.height(), screen.bottom() + 1);
        QCOMPARE(w.x(), screen.x() + 20);
    }

    void exitWritesTheSettingsAndEnds()
    {
        Form9 &w = openWidget();
        const QString file = m_agenda->context.paths.settingsFile;
        QVERIFY(!QFile::exists(file)); // nothing changed since start, nothing written yet
        rightClick(w.face()->Image1);
        QTest::mouseClick(w.Picture1->Image3, Qt::LeftButton);
        QCOMPARE(m_quits, 1);
        QVERIFY(QFile::exists(file));
        Settings reread;
        Module1::LoadSettings(reread, file, QSize(19200, 14400), QStringLiteral("/ninguna"));
        QCOMPARE(reread, settings());
        QVERIFY(m_agenda->messenger.shown.isEmpty());
    }

    void exitTellsWhenTheSettingsCannotBeWritten()
    {
        m_agenda->context.paths.settingsFile = m_agenda->folder() + QStringLiteral("/falta/quillomar.cfg");
        Form9 &w = openWidget();
        w.Image3_Click();
        QCOMPARE(m_agenda->messenger.shown.size(), 1);
        const auto &shown = m_agenda->messenger.shown.first();
        QVERIFY(shown.text.contains(m_agenda->context.paths.settingsFile));
        QCOMPARE(shown.icon, Messenger::Icon::Critical);
        QCOMPARE(m_quits, 1); // the program ends either way
    }
};

QTEST_MAIN(TestWidget)
#include "tst_widget.moc"
