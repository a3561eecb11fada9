// The main window's printing: "Imprimir…" and "Exportar a PDF…" of what the open section shows,
// from the book's context menu and Ctrl+P.
#include "Form1.h"

#include "data/Clock.h"
#include "data/Messenger.h"
#include "phonebook/PhoneBook.h"
#include "print/PrintText.h"
#include "print/Printout.h"
#include "widgets/Section.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QShortcut>
#include <QToolBar>

void Form1::BuildPrinting()
{
    auto *print = new QShortcut(QKeySequence::Print, this);
    connect(print, &QShortcut::activated, this, [this] { printOpenSection(false); });
}

void Form1::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    QAction *print = menu.addAction(QStringLiteral("Imprimir…"));
    print->setShortcut(QKeySequence::Print);
    print->setShortcutVisibleInContextMenu(true);
    QAction *pdf = menu.addAction(QStringLiteral("Exportar a PDF…"));
    // What else the window offers on its book (the calendar files' import and export).
    menu.addSeparator();
    menu.addActions(actions());
    QAction *chosen = menu.exec(event->globalPos());
    if (chosen == print || chosen == pdf)
        printOpenSection(chosen == pdf);
}

PrintRequest Form1::printRequest() const
{
    PrintRequest request;
    request.date = m_diary.SelectedDate;
    request.today = m_context.clock->today();
    switch (openSection()) {
    case 1:
        request.kind = PrintRequest::Kind::Month;
        break;
    case 2:
        request.kind = PrintRequest::Kind::Phones;
        if (const auto *book = qobject_cast<const PhoneBook *>(m_sections[2]))
            request.phoneSearch = book->shownSearch();
        break;
    case 3:
        request.kind = PrintRequest::Kind::Tasks;
        break;
    default:
        break;
    }
    return request;
}

void Form1::printOpenSection(bool toPdf)
{
    PrintRequest request = printRequest();
    QString file;
    if (toPdf) {
        const QString suggested = QDir::home().filePath(Printout::title(request) + QStringLiteral(".pdf"));
        file = m_chooser->saveFileName(this, QStringLiteral("Exportar a PDF"), suggested,
                                       QStringLiteral("Documentos PDF (*.pdf)"));
        if (file.isEmpty())
            return;
        if (QFileInfo(file).suffix().isEmpty())
            file += QStringLiteral(".pdf");
    }

    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(Printout::orientation(request.kind));
    printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    printer.setDocName(Printout::title(request));
    if (toPdf)
        printer.setOutputFormat(QPrinter::PdfFormat);
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(toPdf ? QStringLiteral("Exportar a PDF") : QStringLiteral("Imprimir"));
    QString failure;
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [&](QPrinter *target) { failure = Printout::paint(m_diary, request, *target); });

    QToolBar *toolbar = preview.findChild<QToolBar *>();
    if (toolbar && request.kind == PrintRequest::Kind::Week) {
        auto *notes = new QCheckBox(QStringLiteral("Incluir notas"), toolbar);
        toolbar->addWidget(notes);
        connect(notes, &QCheckBox::toggled, &preview, [&](bool on) {
            request.includeNotes = on;
            if (auto *pages = preview.findChild<QPrintPreviewWidget *>())
                pages->updatePreview();
        });
    }
    if (toolbar && toPdf) {
        // The PDF is written by the program, whole or not at all, instead of by the printer's own
        // output, which would leave half a file behind a failure.
        const QString printText = QCoreApplication::translate("QPrintPreviewDialog", "Print");
        for (QAction *action : toolbar->actions())
            if (action->text() == printText)
                action->setVisible(false);
        QAction *save = toolbar->addAction(QStringLiteral("Guardar PDF"));
        connect(save, &QAction::triggered, &preview, [&] {
            const QString why = Printout::writePdf(m_diary, request, file, printer.pageLayout());
            if (why.isEmpty())
                preview.accept();
            else
                m_context.messenger->tell(PrintText::capitalizeFirst(why), QStringLiteral("Atención"),
                                          Messenger::Icon::Warning);
        });
    }
    preview.exec();
    if (!failure.isEmpty())
        m_context.messenger->tell(PrintText::capitalizeFirst(failure), QStringLiteral("Atención"),
                                  Messenger::Icon::Warning);
}
