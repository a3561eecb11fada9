// CalendarFiles: "Importar…" and "Exportar…" of calendar and address files, on the book.
#pragma once

#include "data/AppContext.h"

#include <QObject>
#include <memory>

class Diary;
class FileChooser;
class QAction;
class QWidget;

// Brings a calendar (.ics) or address (.vcf) file into the diary and takes the diary out to one:
// "Importar…" and "Exportar…" in the book's context menu, and a .ics or .vcf file
// dropped anywhere on the window. Before an import writes anything the user sees what comes in
// and confirms; afterwards the week of the new entries is shown.
class CalendarFiles final : public QObject
{
    Q_OBJECT

public:
    CalendarFiles(Diary &diary, AppContext &context, QWidget &window);
    ~CalendarFiles() override;

    // Tests answer the file dialogs.
    void setFileChooser(FileChooser *chooser) { m_chooser = chooser; }

    void chooseImport();
    void chooseExport();
    // Reads path, tells what it brings and, once confirmed, writes it.
    void importFile(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Diary &m_diary;
    AppContext &m_context;
    QWidget &m_window;
    std::unique_ptr<FileChooser> m_ownChooser;
    FileChooser *m_chooser = nullptr;
};
