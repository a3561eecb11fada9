// Times start-up on an existing agenda: quillomar_bench_startup FOLDER [WEEKS]
// (run quillomar_bench FOLDER, or quillomar_make_agenda, first to build a large agenda there).
// From the creation of the main window to the week shown, on the offscreen platform; then, when
// WEEKS is given, the median of that many clicks on "Semana Siguiente", each to the week painted,
// a second after the start (run it under callgrind, --toggle-collect='medianMs*', to see where a
// click goes).
#include "agenda/WeekView.h"
#include "data/AppContext.h"
#include "data/Clock.h"
#include "data/Messenger.h"
#include "data/SoundPlayer.h"
#include "mainwindow/Application.h"
#include "mainwindow/Form1.h"
#include "widgets/ImageButton.h"

#include "Median.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {
class Quiet final : public Messenger, public SoundPlayer
{
public:
    Button ask(const QString &text, const QString &, Icon, unsigned) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return Ok;
    }
    void play(const QString &) override {}
};
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QTemporaryDir program;
    SystemClock clock;
    Quiet quiet;
    AppContext context;
    context.paths = AppPaths::forProgramFolder(program.path());
    context.paths.defaultDataFolder = QString::fromLocal8Bit(argv[1]);
    context.paths.lockFile = QDir(program.path()).filePath(QStringLiteral("lock"));
    context.clock = &clock;
    context.messenger = &quiet;
    context.sound = &quiet;

    QElapsedTimer timer;
    timer.start();
    Application quillomar(context);
    quillomar.Form_Load();
    Form1 &window = quillomar.mainWindow();
    window.show();
    window.Form_Activate();
    QApplication::processEvents();
    std::printf("start-up to the shown week: %.1f ms\n", timer.nsecsElapsed() / 1e6);

    if (argc > 2) {
        // As a user would, the clicks come after the program has settled: the next week's lines
        // are laid out a little after the week is painted.
        QEventLoop settle;
        QTimer::singleShot(1000, &settle, &QEventLoop::quit);
        settle.exec();
        ImageButton *next = window.week().Image4;
        const QPointF middle = QRectF(next->rect()).center();
        const double click = medianMs(std::atoi(argv[2]), [&] {
            QMouseEvent press(QEvent::MouseButtonPress, middle, next->mapToGlobal(middle), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, middle, next->mapToGlobal(middle), Qt::LeftButton,
                                Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(next, &press);
            QApplication::sendEvent(next, &release);
            QApplication::processEvents();
        });
        std::printf("click on Semana Siguiente to the week painted: %.2f ms\n", click);
    }
    return 0;
}
