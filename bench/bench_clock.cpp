// The yardstick for the desktop clock at rest: a plain Qt window whose label shows the time with
// a colon that blinks twice a second, and nothing else. bench/rest.sh runs it beside the program.
#include <QApplication>
#include <QLabel>
#include <QTime>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel clock;
    clock.setWindowTitle(QStringLiteral("bench-clock"));
    clock.setAlignment(Qt::AlignCenter);
    clock.resize(200, 120);
    bool colon = true;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &clock, [&] {
        colon = !colon;
        clock.setText(QTime::currentTime().toString(colon ? QStringLiteral("HH:mm") : QStringLiteral("HH mm")));
    });
    tick.start(500);
    clock.setText(QTime::currentTime().toString(QStringLiteral("HH:mm")));
    clock.show();
    return QApplication::exec();
}
