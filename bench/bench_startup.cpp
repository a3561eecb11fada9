// Times start-up on an existing agenda: quillomar_bench_startup FOLDER
// (run quillomar_bench FOLDER first to build the large agenda there). From the creation of the
// main window to the week shown, on the offscreen platform.
#include "data/AppContext.h"
#include "data/Clock.h"
#include "data/Messenger.h"
#include "data/SoundPlayer.h"
#include "mainwindow/Application.h"
#include "mainwindow/Form1.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
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
    return 0;
}
