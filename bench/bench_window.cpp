// The yardstick for start-up and for a click: a plain Qt window at X Y W H (the program's own
// place and size) holding a label and a button; the button changes the label's text.
// bench/startup.sh starts it and clicks it beside the program.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 5)
        return 2;
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setWindowTitle(QStringLiteral("bench-window"));
    window.setGeometry(atoi(argv[1]), atoi(argv[2]), atoi(argv[3]), atoi(argv[4]));
    QPushButton next(QStringLiteral("Siguiente"), &window);
    next.setGeometry(10, 10, 120, 30);
    QLabel label(QStringLiteral("Lunes 7"), &window);
    label.setGeometry(10, 50, 300, 30);
    int week = 7;
    QObject::connect(&next, &QPushButton::clicked, &label,
                     [&] { label.setText(QStringLiteral("Lunes %1").arg(week += 7)); });
    window.show();
    return QApplication::exec();
}
