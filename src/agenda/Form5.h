// Form5: the alarm strip, in which a diary entry's alarm time is set.
#pragma once

#include <QDialog>
#include <QTimer>
#include <array>

class Diary;
struct AppContext;
class ImageButton;
class QLabel;
class QLineEdit;
class QScrollBar;

// The alarm strip: one line under the entry strip, as wide as it, in which the user sets the
// time the entry's alarm rings. It writes the alarm time into that entry through the diary's
// entry store. Every way of closing saves; clearing an alarm is done in the entry strip.
class Form5 final : public QDialog
{
    Q_OBJECT

public:
    // entry: the numero of the entry the strip has just saved.
    Form5(Diary &diary, AppContext &context, const QWidget &strip, qint64 entry, QWidget *parent);
    ~Form5() override;

    QLabel *Label1;
    QLineEdit *Text2; // the alarm time; the opener puts the entry's time in it
    QScrollBar *VScroll1; // minutes spinner; starts at its bottom end
    std::array<ImageButton *, 3> Image1{}; // element 2: save and close
    QTimer Timer1; // keeps IdleCount at 0
    void Timer1_Timer();

    void Image1_Click(int index);
    // Writes the alarm time. False when the time is refused (the strip stays open).
    bool SaveAlarm();

    static constexpr int StartPosition = 32767;
    // Before the first step the spinner's remembered position is this middle value, so that the
    // first change (from the bottom end) counts as a step up.
    static constexpr int NoStepYet = 16000;

public slots:
    void reject() override; // Escape or the window system's close: saves like Image1(2)

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void Form_Resize();
    void VScroll1_Change(int position);

    Diary &m_diary;
    AppContext &m_context;
    qint64 m_entry;
    QWidget *m_buttons = nullptr;
    int m_memory = 0;
};
