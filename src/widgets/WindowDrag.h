#pragma once

#include <QObject>
#include <QPoint>
#include <QTimer>

class QMouseEvent;
class QWidget;

// Moving a frameless window by a part of itself. Where the window system can, it carries the
// window itself; elsewhere the window follows the pointer here. Either way the drag lasts until
// the button is really let go, however the window system reports the move (during it, or only
// once at its end), and only then is the window kept on its screen and its place told, once.
// A drag of a window that is not in its normal state (maximised by a double click meanwhile)
// tells nothing.
class WindowDrag final : public QObject
{
    Q_OBJECT

public:
    explicit WindowDrag(QWidget &window);

    // The left button is held on a part of the window that moves it: the drag begins. pressedAt,
    // when given, is where the button went down (a drag that begins on the first move).
    void begin(QMouseEvent *event);
    void begin(QMouseEvent *event, const QPoint &pressedAt);
    // Whether a finished drag first brings the window back onto its screen (the default).
    void setKeepsOnScreen(bool keeps) { m_keepsOnScreen = keeps; }
    // Moves and releases on the part that began the drag (the window-system drag needs none).
    void pointerMoved(QMouseEvent *event);
    void pointerReleased(QMouseEvent *event);
    // Ends a drag without telling a place (the program moves the window itself, say).
    void cancel();

    bool active() const { return m_mode != Mode::None; }
    bool carriedBySystem() const { return m_mode == Mode::System; }

signals:
    // The drag is over and the window, kept on its screen, stands where the user left it.
    void finished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Mode { None, System, Manual };
    void finish();

    QWidget &m_window;
    Mode m_mode = Mode::None;
    QPoint m_grabOffset;
    // While the window system carries the window, the program sees none of the pointer: whether
    // the button is still held is asked of the window system here.
    QTimer m_buttonWatch;
    static constexpr int SettleMs = 150;
    bool m_keepsOnScreen = true;
};
