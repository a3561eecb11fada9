#pragma once

#include <QString>

class QWidget;

// The one way the program asks the user for a file. The real one is Qt's file dialog; tests
// answer with a name of their own or cancel.
class FileChooser
{
public:
    virtual ~FileChooser() = default;

    // The full name of the chosen file, or an empty text when the user cancelled.
    virtual QString openFileName(QWidget *parent, const QString &title) = 0;
    // A file to read, among those filter lets through ("Calendario (*.ics)", as Qt's file
    // dialog takes it); an empty text when the user cancelled.
    virtual QString fileToRead(QWidget *parent, const QString &title, const QString &filter)
    {
        Q_UNUSED(filter);
        return openFileName(parent, title);
    }
    // The full name of a file to write, suggested first; an empty text when the user cancelled.
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &suggested,
                                 const QString &filter) = 0;
};

class QtFileChooser final : public FileChooser
{
public:
    QString openFileName(QWidget *parent, const QString &title) override;
    QString fileToRead(QWidget *parent, const QString &title, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &suggested,
                         const QString &filter) override;
};
