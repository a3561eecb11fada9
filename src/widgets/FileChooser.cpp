#include "widgets/FileChooser.h"

#include <QFileDialog>

QString QtFileChooser::openFileName(QWidget *parent, const QString &title)
{
    // No filter and no starting folder: any file of the new folder will do.
    return QFileDialog::getOpenFileName(parent, title);
}
