// SyncWindow: "Sincronización", the account the diary syncs with and its passes.
#pragma once

#include "data/sync/DavServer.h"
#include "data/sync/SyncAccount.h"
#include "data/sync/SyncReport.h"

#include <QDialog>

class Diary;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
struct AppContext;

// "Sincronización": the server's address, the user and the password; "Buscar calendarios" asks
// the server for its calendars and address books and offers one calendar for the entries, one
// that takes to-dos for the tasks and one address book; "Sincronizar ahora" keeps the choice and
// runs a pass. It shows the last pass's time and outcome, the progress of a pass under way
// (whoever started it) and the items the last pass kept twice. The password goes to the
// desktop's keyring; where none answers, the window says so and keeps it for this run only.
class SyncWindow final : public QDialog
{
    Q_OBJECT

public:
    SyncWindow(Diary &diary, AppContext &context, QWidget *parent = nullptr);

    QLineEdit *serverEdit = nullptr;
    QLineEdit *userEdit = nullptr;
    QLineEdit *passwordEdit = nullptr;
    QLabel *passwordNote = nullptr;
    QPushButton *findButton = nullptr;
    QComboBox *calendarCombo = nullptr;
    QComboBox *tasksCombo = nullptr;
    QComboBox *addressBookCombo = nullptr;
    QPushButton *syncButton = nullptr;
    QProgressBar *progressBar = nullptr;
    QLabel *statusLabel = nullptr;
    QListWidget *conflictList = nullptr;
    QPushButton *closeButton = nullptr;

    // The line that tells the last pass's time and outcome.
    static QString lastSyncText(const SyncAccount &account);

private:
    void findCollections();
    void syncNow();
    void showCollections(const DavAnswer &answer, const QList<DavCollection> &collections);
    void showFinished(const SyncReport &report);
    void showLastSync();
    void passwordRead(const QString &key, bool found, const QString &password, const QString &error);
    void keyringFailed(const QString &error);
    void setBusy(bool busy);
    // The account as the window shows it, the collections chosen included.
    void takeAccount();
    SyncTarget target() const;

    Diary &m_diary;
    AppContext &m_context;
    SyncAccount m_account;
    bool m_ownPass = false; // the pass under way was started here
    bool m_allowDeletions = false;
};
