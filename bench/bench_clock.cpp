// The yardstick for the desktop clock at rest: a plain Qt window of the card's size and kind
// (frameless, on top, translucent, 80 % opaque) whose label shows the time with a colon that
// blinks twice a second. Every ten seconds it shakes as the program's clock does, written the
// plain Qt way: the window widens once by the reach (400 twips), the label goes out and back
// ten times, a frame every 25 ms, and the window narrows again. `--still` leaves out the shake.
// bench/rest.sh runs it beside the program.
#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTime>
#include <QTimer>
#include <QWidget>
#include <cmath>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool shakes = !QCoreApplication::arguments().contains(QStringLiteral("--still"));
    const QSize card(200, 120);

    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool);
    window.setWindowTitle(QStringLiteral("bench-clock"));
    window.setAttribute(Qt::WA_TranslucentBackground);
    window.setWindowOpacity(0.8);
    window.resize(card);
    QLabel clock(&window);
    clock.setAlignment(Qt::AlignCenter);
    clock.setAutoFillBackground(true);
    QPalette palette = clock.palette();
    palette.setColor(QPalette::Window, QColor(249, 241, 222));
    clock.setPalette(palette);
    clock.resize(card);

    bool colon = true;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &clock, [&] {
        colon = !colon;
        clock.setText(QTime::currentTime().toString(colon ? QStringLiteral("HH:mm") : QStringLiteral("HH mm")));
    });
    tick.start(500);
    clock.setText(QTime::currentTime().toString(QStringLiteral("HH:mm")));

    const int reach = int(std::lround(400 * window.screen()->logicalDotsPerInchX() / 1440));
    int step = 0;
    QTimer frame;
    frame.setInterval(25);
    QObject::connect(&frame, &QTimer::timeout, &clock, [&] {
        if (++step < 19) {
            clock.move(step % 2 == 0 ? reach : 0, 0);
            return;
        }
        frame.stop();
        clock.move(0, 0);
        window.setGeometry(QRect(window.pos(), card));
    });
    QTimer shake;
    QObject::connect(&shake, &QTimer::timeout, &clock, [&] {
        window.setGeometry(QRect(window.pos(), card + QSize(reach, 0)));
        step = 0;
        clock.move(reach, 0);
        frame.start();
    });
    if (shakes)
        shake.start(10000);

    window.show();
    return QApplication::exec();
}
