#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QScrollBar;
class QToolButton;

// "Posponer" and the minutes it puts the alarms off by, set with a small up/down bar stepped as
// the alarm window's repetition is (the up arrow adds a minute), or chosen among the usual
// lengths from the list beside the button, which puts the alarms off at once.
class SnoozeControl final : public QWidget
{
    Q_OBJECT

public:
    explicit SnoozeControl(QWidget *parent = nullptr);

    int minutes() const { return m_minutes; }
    // Any length from MinMinutes up to a day; the bar shows at most MaxMinutes of it.
    void setMinutes(int minutes);

    static constexpr int DefaultMinutes = 5;
    static constexpr int MinMinutes = 1;
    static constexpr int MaxMinutes = 120;
    static constexpr int Day = 24 * 60;
    // The lengths offered beside the bar.
    static constexpr int Choices[] = {5, 10, 15, 30, 60, Day};

    QPushButton *snoozeButton = nullptr;
    QToolButton *snoozeChoices = nullptr;
    QLabel *snoozeMinutes = nullptr;
    QScrollBar *snoozeScroll = nullptr;

signals:
    void snoozeWanted(int minutes);

private:
    int m_minutes = DefaultMinutes;
};
