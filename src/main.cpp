#include "data/AppContext.h"
#include "data/Clock.h"
#include "data/DateText.h"
#include "mainwindow/Form1.h"
#include "widgets/QtMessenger.h"
#include "widgets/QtSoundPlayer.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    // Window positions are the program's own business: on a Wayland session run through
    // XWayland, where a window may place itself, unless the user chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillomar"));
    QApplication::setQuitOnLastWindowClosed(false);

    const QLocale spanish = DateText::spanishLocale();
    QLocale::setDefault(spanish);
    QTranslator qtTranslator;
    if (qtTranslator.load(spanish, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    SystemClock clock;
    QtMessenger messenger;
    QtSoundPlayer sound;
    AppContext context;
    context.paths = AppPaths::forProgramFolder(QApplication::applicationDirPath());
    context.clock = &clock;
    context.messenger = &messenger;
    context.sound = &sound;

    Form1 mainWindow(context);
    if (!mainWindow.Form_Load())
        return 0;
    mainWindow.show();
    mainWindow.activateWindow();
    return QApplication::exec();
}
