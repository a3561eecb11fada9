#include "widgets/QtMessenger.h"

#include <QApplication>
#include <QMessageBox>

Messenger::Button QtMessenger::ask(const QString &text, const QString &title, Icon icon, unsigned buttons)
{
    return askWithDefault(text, title, icon, buttons, NoButton);
}

Messenger::Button QtMessenger::askWithDefault(const QString &text, const QString &title, Icon icon, unsigned buttons,
                                              Button defaultButton)
{
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    switch (icon) {
    case Icon::None:
        break;
    case Icon::Information:
        boxIcon = QMessageBox::Information;
        break;
    case Icon::Question:
        boxIcon = QMessageBox::Question;
        break;
    case Icon::Warning:
        boxIcon = QMessageBox::Warning;
        break;
    case Icon::Critical:
        boxIcon = QMessageBox::Critical;
        break;
    }
    QMessageBox::StandardButtons standard;
    if (buttons & Ok)
        standard |= QMessageBox::Ok;
    if (buttons & Cancel)
        standard |= QMessageBox::Cancel;
    if (buttons & Yes)
        standard |= QMessageBox::Yes;
    if (buttons & No)
        standard |= QMessageBox::No;
    if (!standard)
        standard = QMessageBox::Ok;

    QMessageBox box(boxIcon, title, text, standard, QApplication::activeWindow());
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    switch (defaultButton) {
    case Ok:
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case Cancel:
        box.setDefaultButton(QMessageBox::Cancel);
        break;
    case Yes:
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case No:
        box.setDefaultButton(QMessageBox::No);
        break;
    case NoButton:
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Ok;
    case QMessageBox::Cancel:
        return Cancel;
    case QMessageBox::Yes:
        return Yes;
    case QMessageBox::No:
        return No;
    default:
        // Closing the box without a button answers as its escape button would.
        if (buttons & Cancel)
            return Cancel;
        if (buttons & No)
            return No;
        return Ok;
    }
}
