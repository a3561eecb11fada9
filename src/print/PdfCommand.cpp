#include "PdfCommand.h"

#include "Printout.h"
#include "data/AppPaths.h"
#include "data/DateText.h"
#include "data/Diary.h"
#include "data/Module1.h"
#include "data/Settings.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QSize>
#include <cerrno>
#include <cstdio>

namespace {

void tell(const QString &text)
{
    std::fputs(QStringLiteral("quillomar: %1\n").arg(text).toLocal8Bit().constData(), stderr);
}

// A day or month as typed: one or two digits for the day and the month, four for the year.
QDate readDate(const QString &text, const QStringList &formats)
{
    for (const QString &format : formats)
        if (const QDate date = QDate::fromString(text.trimmed(), format); date.isValid())
            return date;
    return {};
}

} // namespace

QString PdfCommand::parse(const QString &file, const QString &week, const QString &month, bool tasks, bool phones,
                          bool notes, const QString &paper, const QString &orientation, PdfCommand *command)
{
    const int chosen = int(!week.isEmpty()) + int(!month.isEmpty()) + int(tasks) + int(phones);
    if (file.isEmpty())
        return QStringLiteral("falta «--pdf ARCHIVO»: las opciones de impresión escriben un PDF.");
    if (chosen > 1)
        return QStringLiteral("elija solo una de --semana, --mes, --tareas y --telefonos.");

    PrintRequest &request = command->request;
    request = PrintRequest();
    request.includeNotes = notes;
    if (!week.isEmpty()) {
        request.date = readDate(week, {QStringLiteral("d/M/yyyy")});
        if (!request.date.isValid())
            return QStringLiteral("«%1» no es una fecha válida para --semana (DD/MM/AAAA).").arg(week);
    } else if (!month.isEmpty()) {
        request.kind = PrintRequest::Kind::Month;
        request.date = readDate(QStringLiteral("1/") + month, {QStringLiteral("d/M/yyyy")});
        if (!request.date.isValid())
            return QStringLiteral("«%1» no es un mes válido para --mes (MM/AAAA).").arg(month);
    } else if (tasks) {
        request.kind = PrintRequest::Kind::Tasks;
    } else if (phones) {
        request.kind = PrintRequest::Kind::Phones;
    }

    QPageSize::PageSizeId size = QPageSize::A4;
    if (paper.compare(QStringLiteral("carta"), Qt::CaseInsensitive) == 0 ||
        paper.compare(QStringLiteral("letter"), Qt::CaseInsensitive) == 0)
        size = QPageSize::Letter;
    else if (!paper.isEmpty() && paper.compare(QStringLiteral("a4"), Qt::CaseInsensitive) != 0)
        return QStringLiteral("papel «%1» desconocido: use A4 o Carta.").arg(paper);
    QPageLayout::Orientation turn = Printout::orientation(request.kind);
    if (orientation.compare(QStringLiteral("vertical"), Qt::CaseInsensitive) == 0)
        turn = QPageLayout::Portrait;
    else if (orientation.compare(QStringLiteral("apaisada"), Qt::CaseInsensitive) == 0)
        turn = QPageLayout::Landscape;
    else if (!orientation.isEmpty())
        return QStringLiteral("orientación «%1» desconocida: use vertical o apaisada.").arg(orientation);
    command->layout = QPageLayout(QPageSize(size), turn, QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    command->file = file;
    return {};
}

int PdfCommand::run(int argc, char *argv[])
{
    // A PDF is drawn without any window: no display is needed, nor reached when there is one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QLocale::setDefault(DateText::spanishLocale());

    // A file that cannot be written is said before the agenda is even opened.
    {
        QSaveFile probe(file);
        errno = 0;
        if (!probe.open(QIODevice::WriteOnly)) {
            tell(Printout::couldNotWrite(file, probe.error(), errno));
            return 1;
        }
        probe.cancelWriting();
    }

    const AppPaths paths = AppPaths::forProgramFolder(QCoreApplication::applicationDirPath());
    Settings settings;
    Module1::LoadSettings(settings, paths.settingsFile, QSize(14400, 10800), paths.defaultDataFolder);
    const QString agenda = paths.databaseFile(settings.DataFolder);
    Diary diary;
    if (const QString failure = diary.open(agenda); !failure.isEmpty()) {
        tell(QStringLiteral("no se puede abrir la agenda «%1»: %2.").arg(agenda, failure));
        return 1;
    }
    request.today = QDate::currentDate();
    if (!request.date.isValid())
        request.date = request.today;
    if (const QString why = Printout::writePdf(diary, request, file, layout); !why.isEmpty()) {
        tell(why);
        return 1;
    }
    return 0;
}
