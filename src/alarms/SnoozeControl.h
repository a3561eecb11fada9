#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QScrollBar;

// "Posponer" and the minutes it puts the alarms off by, set with a small up/down bar stepped as
// the alarm window's repetition is: the up arrow adds a minute.
class SnoozeControl final : public QWidget
{
    Q_OBJECT

public:
    explicit SnoozeControl(QWidget *parent = nullptr);

    int minutes() const;
    void setMinutes(int minutes);

    static constexpr int DefaultMinutes = 5;
    static constexpr int MinMinutes = 1;
    static constexpr int MaxMinutes = 120;

    QPushButton *snoozeButton = nullptr;
    QLabel *snoozeMinutes = nullptr;
    QScrollBar *snoozeScroll = nullptr;

signals:
    void snoozeWanted(int minutes);
};
