// Form6: the alarm window "Alarma de Quillomar", which rings the alarms that fall due.
#pragma once

#include "DueAlarm.h"

#include <QDateTime>
#include <QList>
#include <QTimer>
#include <QWidget>

class AlarmLine;
class PictureBox;
class QCheckBox;
class QFrame;
class QLabel;
class QScrollBar;
class QVBoxLayout;
class Diary;
class SnoozeControl;
struct AppContext;

// The alarm window "Alarma de Quillomar". It lists every alarm announced since it opened, the
// newest on top, rings the alarm sound and repeats it every few minutes while Check1 is ticked,
// and blinks its bell. Closing it clears the alarm of every diary entry it announced, and removes
// the put-off reminders it announced, so that none rings again; tasks keep their rows as they are.
// Each alarm can also be dealt with alone, on its line or from its notice on the desktop (posted
// as it is announced, withdrawn when it leaves the window): "Quitar" as closing does, "Posponer"
// by the window's minutes, "Abrir" goes to its entry or task and is done with it.
//
// A diary alarm shows the window modeless. A task alarm, or any alarm while a dialog of the
// program is open modally, makes it modal for the whole program, without waiting on it: the
// scan goes on, so alarms that come while it is open are added here and none is lost.
class Form6 final : public QWidget
{
    Q_OBJECT

public:
    // The alarms are cleared, or put off, in diary.
    Form6(AppContext &context, Diary &diary, QWidget *parent = nullptr);
    ~Form6() override;

    // Adds an alarm to the list, shows the window (modal once it holds a task) and rings.
    void announce(const DueAlarm &alarm);
    const QList<DueAlarm> &alarms() const { return m_alarms; }
    bool showsTask() const;
    // The texts of the alarms as the window reads, from the top, a blank line between them.
    QString shownText() const;

    // Every time the window becomes the active one, it rings once more.
    void Form_Activate();
    void Timer1_Timer();
    void Timer2_Timer();
    void VScroll1_Change(int value);
    void Form_Unload();
    // Puts every alarm shown off by minutes and closes the window; they ring again then.
    void snoozeClicked(int minutes);
    // One alarm, by its name (DueAlarm::name); the window closes with the last.
    void dismissAlarm(const QString &name);
    void snoozeAlarm(const QString &name);
    void openAlarm(const QString &name);

    QString soundFile() const;

    QFrame *Frame1 = nullptr;
    // One line per alarm, the newest on top.
    QList<AlarmLine *> Label4;
    PictureBox *Image1 = nullptr;
    QCheckBox *Check1 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label2 = nullptr;
    QScrollBar *VScroll1 = nullptr;
    QLabel *Label1 = nullptr;
    SnoozeControl *snooze = nullptr;
    QTimer Timer1; // blinks Image1 (200 ms)
    QTimer Timer2; // counts the minutes for the repetition (60 s)

    int RepeatMinutes = 1;
    int RepeatCount = 0;
    int BlinkCount = 0;

    static constexpr int MaxRepeatMinutes = 999;
    // The window's activation that follows an announcement within this many seconds is the
    // announcement's own and does not ring a second time.
    static constexpr int AnnouncementGraceSeconds = 2;

    // VScroll1 holds the number negated: a scroll bar's top end is its minimum, and the number
    // grows towards the top (the up arrow adds a minute).
    static int numberFromScroll(int value) { return -value; }
    static int scrollFromNumber(int number) { return -number; }

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void showAlarms();
    void ring();
    void playSound();
    void placeOnScreen();
    void postNotice(const DueAlarm &alarm);
    // Takes the alarm out of the window and its notice off the desktop; the window closes with
    // the last one. False when the window no longer holds it.
    bool takeOut(const QString &name, DueAlarm *alarm);
    void withdrawNotices();

    AppContext &m_context;
    Diary &m_diary;
    QList<DueAlarm> m_alarms;
    QVBoxLayout *m_lines = nullptr;
    QDateTime m_announcedAt;
    bool m_announcementRang = false;
    bool m_unloaded = false;
};
