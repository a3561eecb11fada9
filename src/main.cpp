#include "data/AppContext.h"
#include "data/Clock.h"
#include "data/DateText.h"
#include "data/Diary.h"
#include "data/Module1.h"
#include "data/interchange/Interchange.h"
#include "data/sync/DavModule.h"
#include "data/sync/SyncRunner.h"
#include "mainwindow/Application.h"
#include "mainwindow/Form1.h"
#include "print/PdfCommand.h"
#include "sync/SyncCommand.h"
#include "widgets/ArtCache.h"
#include "widgets/DBusNotifier.h"
#include "widgets/FontWarmup.h"
#include "widgets/QtKeyring.h"
#include "widgets/QtMessenger.h"
#include "widgets/QtSoundPlayer.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <optional>

namespace {

void loadQtTranslation(QTranslator &translator)
{
    if (translator.load(DateText::spanishLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator);
}

// The unknown option as the user wrote it, dashes and all.
QString typedOption(const QString &name)
{
    const QStringList arguments = QCoreApplication::arguments();
    for (const QString &argument : arguments) {
        const QString option = argument.section(QLatin1Char('='), 0, 0);
        if (option == QLatin1Char('-') + name || option == QLatin1String("--") + name)
            return option;
    }
    return QLatin1String("--") + name;
}

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

// An import or export asked for on the command line, on the agenda the program would open.
int interchange(const QString &importFile, const QString &exportFile)
{
    const AppPaths paths = AppPaths::forProgramFolder(QCoreApplication::applicationDirPath());
    Settings settings;
    Module1::LoadSettings(settings, paths.settingsFile, QSize(), paths.defaultDataFolder);
    const QString agenda = paths.databaseFile(settings.DataFolder);
    Diary diary;
    if (const QString why = diary.open(agenda); !why.isEmpty()) {
        print(stderr, QStringLiteral("quillomar: no se puede abrir la agenda %1: %2.\n").arg(agenda, why));
        return 1;
    }
    Interchange files(diary);
    if (!exportFile.isEmpty()) {
        int items = 0;
        const StoreResult done = files.exportTo(exportFile, QDateTime::currentDateTime(), &items);
        if (!done) {
            print(stderr, QStringLiteral("quillomar: no se puede exportar a %1: %2.\n").arg(exportFile, done.why()));
            return 1;
        }
        print(stdout, QStringLiteral("Exportado %1: %2 elementos.\n").arg(exportFile).arg(items));
        return 0;
    }
    const Interchange::Prepared prepared = Interchange::prepare(importFile, QDate::currentDate());
    if (!prepared.error.isEmpty()) {
        print(stderr, QStringLiteral("quillomar: %1\n").arg(Interchange::refusal(importFile, prepared)));
        return 1;
    }
    Interchange::Counts counts;
    if (const StoreResult done = files.apply(prepared.plan, &counts); !done) {
        print(stderr, QStringLiteral("quillomar: no se puede importar %1: %2.\n").arg(importFile, done.why()));
        return 1;
    }
    print(stdout, Interchange::summary(importFile, prepared.plan, counts) + QLatin1Char('\n'));
    return 0;
}

// Help, version and a mistyped option are answered on the terminal before any window system is
// reached, so that they work over ssh or in a text console. Returns the exit status when the
// program should end here. A PDF asked for is left in pdf, to be written once the options are read.
std::optional<int> answerCommandLine(int argc, char *argv[], std::optional<PdfCommand> &pdf)
{
    if (argc < 2)
        return std::nullopt;
    QCoreApplication core(argc, argv);
    QTranslator translator;
    loadQtTranslation(translator);

    QCommandLineParser parser;
    // Qt's own options are written with one dash ("-platform xcb"); QApplication takes them later.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Muestra esta ayuda y termina."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Muestra la versión de Quillomar y termina."));
    const QCommandLineOption importOption(QStringLiteral("import"),
                                          QStringLiteral("Importa un calendario (.ics) o unos contactos (.vcf) y "
                                                         "termina."),
                                          QStringLiteral("ARCHIVO"));
    const QCommandLineOption exportOption(QStringLiteral("export"),
                                          QStringLiteral("Exporta la agenda y las tareas (.ics) o los teléfonos "
                                                         "(.vcf) y termina."),
                                          QStringLiteral("ARCHIVO"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(importOption);
    parser.addOption(exportOption);
    const QList<QCommandLineOption> printing = {
        {QStringLiteral("pdf"),
         QStringLiteral("Escribe en ARCHIVO un PDF, sin ventanas (por omisión, la semana de hoy)."),
         QStringLiteral("ARCHIVO")},
        {QStringLiteral("semana"), QStringLiteral("La semana que contiene esa fecha."), QStringLiteral("DD/MM/AAAA")},
        {QStringLiteral("mes"), QStringLiteral("El calendario de ese mes."), QStringLiteral("MM/AAAA")},
        {QStringLiteral("tareas"), QStringLiteral("La lista de tareas.")},
        {QStringLiteral("telefonos"), QStringLiteral("Todas las fichas de teléfonos.")},
        {QStringLiteral("notas"), QStringLiteral("Incluye las notas largas de las entradas.")},
        {QStringLiteral("papel"), QStringLiteral("A4 (por omisión) o Carta."), QStringLiteral("PAPEL")},
        {QStringLiteral("orientacion"),
         QStringLiteral("vertical o apaisada (por omisión, apaisadas la semana y el mes, verticales las listas)."),
         QStringLiteral("ORIENTACIÓN")},
    };
    parser.addOptions(printing);
    // Taken off the command line before this parser (and Qt) sees it; here for the help.
    const QCommandLineOption syncOption(QStringLiteral("sync"),
                                        QStringLiteral("Sincroniza con el servidor de calendarios, sin ventanas, y "
                                                       "termina."));
    const QCommandLineOption forceOption(QStringLiteral("force"),
                                         QStringLiteral("Con --sync: borra también lo que la sincronización "
                                                        "retendría para preguntar."));
    parser.addOption(forceOption);
    for (const char *name : {"platform", "platformtheme", "display", "style", "stylesheet", "qwindowgeometry",
                             "qwindowtitle", "qwindowicon"}) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("valor"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char *name : {"reverse", "nograb", "dograb"}) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    const QString program = QStringLiteral("quillomar");
    const QString seeHelp = QStringLiteral(" Véase «%1 --help».\n").arg(program);
    if (!parser.parse(QCoreApplication::arguments())) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            print(stderr,
                  QStringLiteral("%1: opción desconocida «%2».%3").arg(program, typedOption(unknown.first()), seeHelp));
        } else {
            print(stderr, QStringLiteral("%1: %2%3").arg(program, parser.errorText(), seeHelp));
        }
        return 2;
    }
    if (parser.isSet(help)) {
        print(stdout,
              QStringLiteral("Uso: %1 [opciones]\n"
                             "Agenda personal: la semana, el calendario, las tareas, los teléfonos y las "
                             "alarmas.\n\n"
                             "Opciones:\n"
                             "  -h, --help     %2\n"
                             "  -v, --version  %3\n\n"
                             "Calendarios y contactos:\n")
                  .arg(program, help.description(), version.description()));
        const auto list = [](const QList<QCommandLineOption> &options) {
            for (const QCommandLineOption &option : options) {
                const QString name = QStringLiteral("--") + option.names().first() +
                    (option.valueName().isEmpty() ? QString() : QLatin1Char(' ') + option.valueName());
                print(stdout, QStringLiteral("  %1 %2\n").arg(name, -26).arg(option.description()));
            }
        };
        list({importOption, exportOption});
        print(stdout, QStringLiteral("\nImpresión en PDF:\n"));
        list(printing);
        print(stdout, QStringLiteral("\nSincronización:\n"));
        list({syncOption, forceOption});
        return 0;
    }
    if (parser.isSet(version)) {
        print(stdout, QStringLiteral("Quillomar %1\n").arg(QStringLiteral(QUILLOMAR_VERSION)));
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        print(stderr,
              QStringLiteral("%1: argumento inesperado «%2».%3")
                  .arg(program, parser.positionalArguments().first(), seeHelp));
        return 2;
    }
    if (parser.isSet(forceOption)) {
        print(stderr, QStringLiteral("%1: «--force» solo va con «--sync».%2").arg(program, seeHelp));
        return 2;
    }
    bool printOption = false;
    for (const QCommandLineOption &option : printing)
        printOption = printOption || parser.isSet(option);
    const bool interchangeOption = parser.isSet(importOption) || parser.isSet(exportOption);
    if (parser.isSet(importOption) && parser.isSet(exportOption)) {
        print(stderr, QStringLiteral("%1: «--import» y «--export» no van juntos.%2").arg(program, seeHelp));
        return 2;
    }
    if (interchangeOption && printOption) {
        print(stderr,
              QStringLiteral("%1: «--import» y «--export» no van con la impresión en PDF.%2").arg(program, seeHelp));
        return 2;
    }
    if (interchangeOption)
        return interchange(parser.value(importOption), parser.value(exportOption));
    if (printOption) {
        PdfCommand command;
        const QString wrong =
            PdfCommand::parse(parser.value(printing[0]), parser.value(printing[1]), parser.value(printing[2]),
                              parser.isSet(printing[3]), parser.isSet(printing[4]), parser.isSet(printing[5]),
                              parser.value(printing[6]), parser.value(printing[7]), &command);
        if (!wrong.isEmpty()) {
            print(stderr, QStringLiteral("%1: %2%3").arg(program, wrong, seeHelp));
            return 2;
        }
        pdf = command;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[])
{
    bool force = false;
    if (SyncCommand::takeFromArguments(argc, argv, &force)) {
        if (argc > 1) {
            print(stderr, QStringLiteral("quillomar: «--sync» no va con otras opciones. Véase «quillomar --help».\n"));
            return 2;
        }
        return SyncCommand::run(argc, argv, force);
    }
    std::optional<PdfCommand> pdf;
    if (const std::optional<int> status = answerCommandLine(argc, argv, pdf))
        return *status;
    if (pdf)
        return pdf->run(argc, argv);

    // Window positions are the program's own business: on a Wayland session run through
    // XWayland, where a window may place itself, unless the user chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    // The font configuration is read beside the connection to the window system.
    FontWarmup fonts;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillomar"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLOMAR_VERSION));
    // Docks and window lists match the windows to the menu entry by this id (and by the X11
    // class, which is the application name).
    QGuiApplication::setDesktopFileName(QStringLiteral(QUILLOMAR_APP_ID));
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
    DBusNotifier notifier(QStringLiteral(QUILLOMAR_APP_ID));
    QtKeyring keyring;
    AppContext context;
    context.paths = AppPaths::forProgramFolder(QApplication::applicationDirPath());
    // The cover and the drawings as the last start drew them, read back instead of drawn again.
    ArtCache::setFolder(context.paths.cacheFolder);
    context.clock = &clock;
    context.messenger = &messenger;
    context.sound = &sound;
    context.notifier = &notifier;
    context.keyring = &keyring;

    fonts.wait();
    Application program(context);
    // The network module is loaded at the first pass, never at start-up.
    SyncRunner sync(program.diary(), DavModule::connector());
    context.sync = &sync;
    if (!program.Form_Load())
        return 0;
    program.mainWindow().show();
    program.mainWindow().activateWindow();
    return QApplication::exec();
}
