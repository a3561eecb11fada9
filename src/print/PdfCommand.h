#pragma once

#include "PrintRequest.h"

#include <QPageLayout>
#include <QString>

// A PDF asked for on the command line ("quillomar --pdf FILE [--semana DD/MM/AAAA | --mes MM/AAAA
// | --tareas | --telefonos]"): what to print, where, on which paper. It is written without a
// display, from the agenda the program would open.
struct PdfCommand
{
    QString file;
    PrintRequest request; // an invalid date: today
    QPageLayout layout;

    // The command from the options' values (an empty text for an option not given). Returns an
    // empty text, or what is wrong in them, in the user's words.
    static QString parse(const QString &file, const QString &week, const QString &month, bool tasks, bool phones,
                         bool notes, const QString &paper, const QString &orientation, PdfCommand *command);

    // Writes the PDF and returns the program's exit status: 0 when it is written, 1 when it
    // cannot be (told on the error output).
    int run(int argc, char *argv[]);
};
