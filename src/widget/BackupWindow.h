#pragma once

#include "data/AgendaBackups.h"

#include <QDialog>

class Diary;
class QLabel;
class QPushButton;
class QTreeWidget;
struct AppContext;

// "Copias de seguridad": the agenda's safety copies, newest first, each with its date and how
// many diary entries, tasks and cards it holds; "Restaurar" puts the chosen one in place of the
// agenda after the user confirms. The window closes accepted once a copy has been restored.
class BackupWindow final : public QDialog
{
    Q_OBJECT

public:
    BackupWindow(Diary &diary, AppContext &context, QWidget *parent = nullptr);

    void Restaurar_Click();
    const QList<AgendaBackups::Copy> &listed() const { return m_copies; }

    QLabel *folderLabel = nullptr;
    QTreeWidget *copyList = nullptr;
    QPushButton *restoreButton = nullptr;
    QPushButton *closeButton = nullptr;

    static QString describe(const AgendaBackups::Copy &copy);

private:
    void listCopies();

    Diary &m_diary;
    AppContext &m_context;
    AgendaBackups m_backups;
    QList<AgendaBackups::Copy> m_copies;
};
