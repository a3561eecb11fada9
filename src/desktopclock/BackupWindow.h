// BackupWindow: "Copias de seguridad", the agenda's safety copies, one of which it can put back.
#pragma once

#include "data/AgendaBackups.h"

#include <QDialog>
#include <atomic>

class Diary;
class QLabel;
class QPushButton;
class QThread;
class QTreeWidget;
struct AppContext;

// "Copias de seguridad": the agenda's safety copies, newest first, each with its date and how
// many diary entries, tasks and cards it holds, or "dañada" once the check of the copies (run
// behind the list, as it reads every page of each) finds it damaged; "Restaurar" puts the chosen
// one in place of the agenda after the user confirms. The window closes accepted once a copy has
// been restored.
class BackupWindow final : public QDialog
{
    Q_OBJECT

public:
    BackupWindow(Diary &diary, AppContext &context, QWidget *parent = nullptr);
    ~BackupWindow() override;

    void Restaurar_Click();
    const QList<AgendaBackups::Copy> &listed() const { return m_copies; }

    QLabel *folderLabel = nullptr;
    QTreeWidget *copyList = nullptr;
    QPushButton *restoreButton = nullptr;
    QPushButton *closeButton = nullptr;

    static QString describe(const AgendaBackups::Copy &copy);

signals:
    // Every copy listed has been checked.
    void copiesChecked();

private:
    void listCopies();
    void checkCopies();
    void stopChecking();
    void showChecked(int generation, int row, const QString &why);

    Diary &m_diary;
    AppContext &m_context;
    AgendaBackups m_backups;
    QList<AgendaBackups::Copy> m_copies;
    QThread *m_checker = nullptr;
    std::atomic_bool m_stopChecking = false;
    int m_generation = 0; // of the list, so a check of an earlier one marks nothing
};
