// Form2: the entry strip, in which one diary entry's time and short text are written.
#pragma once

#include "data/Entry.h"

#include <QDialog>
#include <QTimer>
#include <array>
#include <optional>

class Diary;
struct AppContext;
class ImageButton;
class QLineEdit;
class QScrollBar;
class QWidget;

// The entry strip: one line over a day of the week in which the user writes or changes one diary
// entry, its time and its short text, and from which its alarm and long note are reached. It
// reads and writes its entry through the diary's entry store. There is no cancel: every way of closing
// saves, and an entry whose short text is emptied is deleted.
//
// One strip lives as long as the main window; after each closing it is back in its first state,
// so every opening starts afresh (the opener then sets Tag and, for a new entry, the time).
class Form2 final : public QDialog
{
    Q_OBJECT

public:
    Form2(Diary &diary, AppContext &context, QWidget *parent);
    ~Form2() override;

    // "" for a new entry of main.SelectedDate; otherwise the entry's numero, ten-digit
    // zero-padded (as it ends an Entry line) or plain.
    QString Tag;
    // The entry's alarm time and long note as last loaded; empty when there are none.
    QString AlarmTime;
    QString LongNote;

    QLineEdit *Text2; // time box "HH:MM"
    QLineEdit *Text1; // short text box
    QScrollBar *VScroll1; // minutes spinner, right of the time box
    QScrollBar *VScroll2; // hours spinner, left of the time box
    // Elements 2 (save and close), 3 (alarm) and 4 (long note); this strip has no 0 and 1.
    std::array<ImageButton *, 5> Image1{};
    QTimer Timer1; // blinks the alarm button
    QTimer Timer2; // blinks the long-note button, keeps IdleCount at 0

    // Where the strip opens: desktop coordinates in twips.
    void placeAt(double leftTwips, double topTwips);

    // Loads the entry from the store; runs when the strip opens and again when the alarm or long
    // note dialog it opened has closed.
    void Form_Activate();
    enum class Saved {
        Done, // the store holds what the strip shows (or nothing had to be written)
        Refused, // a time too long for the store: nothing written, the strip stays open
        Failed, // a write did not reach the store; the user has been told
    };
    Saved SaveEntry();

    void Image1_Click(int index);
    void Timer1_Timer();
    void Timer2_Timer();

    static constexpr int StartPosition = 16000;
    static constexpr double HeightTwips = 285;

    void setVisible(bool visible) override;

public slots:
    void reject() override; // Escape or the window system's close: saves like the close button

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void Form_Resize();
    void VScroll1_Change(int position);
    void VScroll2_Change(int position);
    void Text2_LostFocus();
    void closeWithSave();
    void resetSpinners();
    void resetToDesign();
    void forgetEntry();
    void showAlarmToolTip();
    std::optional<Entry> findEntry();
    qint64 entryNumber() const;
    void openAlarmTime();
    void openLongNote();

    Diary &m_diary;
    AppContext &m_context;
    QWidget *m_buttons = nullptr; // the panel of the three image buttons
    int m_hoursMemory = 0;
    int m_minutesMemory = 0;
    int m_alarmBlink = 0;
    int m_noteBlink = 0;
    bool m_checkingTime = false;
};
