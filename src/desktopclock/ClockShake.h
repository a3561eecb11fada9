// ClockShake: the desktop clock's shake, ten quick trips of the card to the right and back.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <vector>

class QWidget;

// A shake is a few frames of a short timer that stops when the shake is over, and ends where it
// began. Where the desktop shows through what the card leaves unpainted, the card moves inside
// its own window, widened for the moment: the window system and the compositor then hear of two
// changes of size instead of a move per frame. Elsewhere the window itself moves.
class ClockShake final : public QObject
{
public:
    // Shakes the top-level `window`, every child of which is part of the card's picture and
    // which paints nothing of its own.
    explicit ClockShake(QWidget &window);

    // Shakes the window from where it stands; `inside`: the card moves within the window.
    void start(bool inside);
    // Ends a shake at once, with everything back where it began.
    void stop();
    bool active() const { return m_timer.isActive(); }
    // How far right of its place the card is drawn inside the window, in pixels.
    int cardShift() const;
    // The window's width without the room a shake inside it takes.
    int restWidth() const;

private:
    // A child of the window while the card shakes inside it.
    struct Part
    {
        QPointer<QWidget> widget;
        bool beyond = false; // outside the window at rest: kept outside the widened window
        bool wasOpaque = false;
    };

    int reach() const; // how far the card goes out, in pixels
    void showStep();
    void shiftParts(int shift);
    void restoreParts();

    QWidget &m_window;
    QTimer m_timer;
    int m_step = 0;
    QPoint m_base;
    bool m_inside = false; // the card moves within the window, not the window
    int m_restWidth = 0; // the window's width before it was widened for the shake
    int m_reach = 0; // the reach of the shake under way, in pixels
    int m_shift = 0; // how far right of their places the parts stand now
    std::vector<Part> m_parts; // left to right
};
