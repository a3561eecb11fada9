// ClockFace: the desktop clock's card, with the time, the weekday and the date on it.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QWidget>
#include <array>

class Clock;
class PictureBox;
class QLabel;
class QMouseEvent;

// The card of the desktop clock: its picture `Image1`, the time with its blinking colon, the
// weekday and the date. The pointer on the picture or on a label is handed on to the window,
// which is moved or brought back by it; resting on the weekday or the date shows the long date.
class ClockFace final : public QWidget
{
    Q_OBJECT

public:
    ClockFace(Clock &clock, QWidget *parent);

    // The serif type of the card and of the settings panel beside it.
    static QFont faceFont(int pixelSize, bool bold);

    // Places the labels on the card for the screen it stands on: the weekday and the date on the
    // upper ruled bands, the time on the lowest.
    void layOut();
    void CenterLabel(QLabel *label);
    // The time, with the colon or without it; `now`: the clock's time, read by the caller.
    void showTime(bool colon);
    void showTime(bool colon, const QDateTime &now);
    // The weekday and the date, written again only when the day changed; whether it did.
    bool showToday();
    bool showToday(const QDate &today);

    PictureBox *Image1 = nullptr;
    std::array<QLabel *, 1> Label1{}; // time
    std::array<QLabel *, 1> Label2{}; // weekday
    std::array<QLabel *, 1> Label3{}; // date

signals:
    void pointerPressed(QMouseEvent *event);
    void pointerMoved(QMouseEvent *event);
    void pointerReleased(QMouseEvent *event);
    void doubleClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Clock &m_clock;
    QDate m_shownDay;
};
