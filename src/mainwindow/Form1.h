#pragma once

#include "data/AppContext.h"
#include "data/RecordCursor.h"

#include <QDate>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class SingleInstance;

// The main window: the open diary. It owns what every section shares (the selected day, the six
// cursors on the agenda, the flags read across the program) and composes the sections.
class Form1 final : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(AppContext &context, QWidget *parent = nullptr);
    ~Form1() override;

    // Start-up. Returns false when the program must end at once (another copy is running).
    bool Form_Load();
    // Runs whenever the window becomes the program's active window.
    void Form_Activate();
    void StoreMainSize();

    AppContext &context() { return m_context; }
    QString databaseFile() const;

    QDate SelectedDate;
    RecordCursor Data1; // notas: week view, entry dialogs, text search
    RecordCursor Data4; // notas: alarms only
    RecordCursor Data2; // dias
    RecordCursor Data3; // festivosfijos
    RecordCursor Data5; // tareas
    RecordCursor DataTelefonos;

    bool TodayHasEntries = false;
    bool PendingTasks = false;

    QTimer Timer1; // the alarm scan, also while the window is hidden
    QTimer Timer3; // blinks the tasks tab while tasks are pending (200 ms)
    QTimer Timer4; // sweeps the day text lines, bounds IdleCount (1 s); enabled at activation

    // The smallest window the resize grip leaves, in twips.
    static constexpr int MinimumWidthTwips = 7000;
    static constexpr int MinimumHeightTwips = 5000;

    // Hooks the sections attach to activation: the week refresh and the task load.
    std::function<void()> onRefreshWeek;
    std::function<void()> onLoadTasks;

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void PlaceFromSettings();
    void OpenCursors();
    void Form_QueryUnload();

    AppContext &m_context;
    std::unique_ptr<SingleInstance> m_instance;
};
