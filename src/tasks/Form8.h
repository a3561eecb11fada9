// Form8: the task dialog, a new or changed task handed back to the task list.
#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <functional>

struct AppContext;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class Spinner;

// The task dialog: a task's date and time, its description, whether it is done, and an optional
// alarm day and time stepped by three spinners. It never touches the agenda: "Guardar" packs
// what it shows into the task hand-over (see TaskHandOver) and closes, and the task list writes
// the row. Closed any other way it hands over nothing.
//
// A dialog is made for each showing, so each starts from its first state.
class Form8 final : public QDialog
{
    Q_OBJECT

public:
    Form8(AppContext &context, QWidget *parent);
    ~Form8() override;

    // Text1(0) date, (1) time, (2) description, (3) alarm day, (4) alarm time. Element 2 is a
    // multi-line box, the others are one line.
    std::array<QLineEdit *, 5> Text1{}; // element 2 is nullptr: see Description
    QPlainTextEdit *Description = nullptr; // Text1(2)
    QString text(int index) const;
    void setText(int index, const QString &text);

    QCheckBox *Check1 = nullptr; // "Realizada"
    QCheckBox *Check2 = nullptr; // "Alarma"
    QGroupBox *Frame1 = nullptr; // the alarm controls
    Spinner *VScroll1 = nullptr; // alarm day
    Spinner *VScroll2 = nullptr; // alarm minutes, right of the alarm time
    Spinner *VScroll3 = nullptr; // alarm hour, left of the alarm time
    QPushButton *Command1 = nullptr; // "Guardar"
    QTimer Timer1; // keeps IdleCount at 0 while the dialog is open

    // The task hand-over left by "Guardar"; empty when the dialog was closed without saving.
    QString handOver() const { return m_handOver; }
    // Tells whether a description already belongs to another task. Where set, such a description
    // is refused with the dialog kept open, so the user can change it without losing the rest.
    void setTaskRegistered(std::function<bool(const QString &description)> registered)
    {
        m_registered = std::move(registered);
    }

    void Form_Load();
    void Check2_Click();
    void VScroll1_Change(int value);
    void VScroll2_Change(int value);
    void VScroll3_Change(int value);
    // Hands the task over and closes, or tells what is missing and stays open.
    void SubmitTask();
    void Timer1_Timer();

    static constexpr int SpinnerStart = 16000;
    static constexpr double DesignWidth = 4575;
    static constexpr double DesignHeight = 3135;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Form_Resize();
    void keepBarOutOfDescription();
    void enableAlarm(bool enabled);
    QString today() const;
    bool refuse(int box, const QString &text);
    // The value a spinner last had, for telling which way it moved; 0 counts as its start.
    static int remembered(int memory) { return memory == 0 ? SpinnerStart : memory; }

    AppContext &m_context;
    QString m_handOver;
    std::function<bool(const QString &)> m_registered;
    std::array<QLabel *, 5> m_labels{};
    int m_memory1 = 0;
    int m_memory2 = 0;
    int m_memory3 = 0;
    bool m_filtering = false;
};
