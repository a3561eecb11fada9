#include "widgets/FileChooser.h"

#include <QFileDialog>

QString QtFileChooser::openFileName(QWidget *parent, const QString &title)
{
    // No filter and no starting folder: any file of the new folder will do.
    return QFileDialog::getOpenFileName(parent, title);
}

QString QtFileChooser::fileToRead(QWidget *parent, const QString &title, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

QString QtFileChooser::saveFileName(QWidget *parent, const QString &title, const QString &suggested,
                                    const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, suggested, filter);
}
