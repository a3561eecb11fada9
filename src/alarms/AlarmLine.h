#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// One alarm in the alarm window: its text, in bold, and what can be done with it alone:
// "Quitar" (done with it), "Posponer" (by the window's minutes) and "Abrir" (go to its entry or
// task). The same three stand in the line's context menu.
class AlarmLine final : public QWidget
{
    Q_OBJECT

public:
    // when tells the alarm from another of the same text in the controls' accessible names.
    AlarmLine(const QString &text, const QString &when, QWidget *parent = nullptr);

    QLabel *alarmText = nullptr;
    QPushButton *dismissButton = nullptr;
    QPushButton *snoozeButton = nullptr;
    QPushButton *openButton = nullptr;

signals:
    void dismissWanted();
    void snoozeWanted();
    void openWanted();
};
