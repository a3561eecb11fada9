#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QtTest>
#include <functional>

// Works a modal dialog from inside its own event loop, as a user would while it is open. Any
// dialog still open after a while is closed, so a fault fails the test instead of hanging it.
namespace ModalDriver {

inline constexpr int GiveUpMs = 10000;

// Closes whatever modal dialog is still open once GiveUpMs have passed.
inline void giveUpLater(QObject *context)
{
    QTimer::singleShot(GiveUpMs, context, [] {
        while (auto *open = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            open->done(QDialog::Rejected + 100);
    });
}

// Works the next modal dialog of type Dialog that opens (from the click that runs it), then
// closes it when closeAfter is set and the driver left it open.
template <typename Dialog> void whenOpens(const std::function<void(Dialog &)> &driver, bool closeAfter = false)
{
    QTimer::singleShot(0, qApp, [driver, closeAfter] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        QVERIFY2(dialog, "the expected dialog did not open");
        driver(*dialog);
        if (closeAfter && dialog->isVisible())
            dialog->close();
    });
    giveUpLater(qApp);
}

// Runs dialog modal while driver works it.
inline void run(QDialog &dialog, const std::function<void()> &driver)
{
    QTimer::singleShot(0, &dialog, driver);
    giveUpLater(&dialog);
    dialog.exec();
}

} // namespace ModalDriver
