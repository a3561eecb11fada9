// Form9: the desktop clock, which stands in for the main window while it is hidden.
#pragma once

#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class ClockFace;
class ClockShake;
class Diary;
class FileChooser;
class QLabel;
class SettingsPanel;
class WindowDrag;
struct AppContext;

// The time, the weekday and the date over a card, translucent, draggable, shaking while today
// has entries, with a small settings panel on its right that the widget widens itself to show.
// The card is its face, the panel its `Picture1`; the window moves, shakes, keeps to the screen
// and counts the user's absence.
class Form9 final : public QWidget
{
    Q_OBJECT

public:
    Form9(Diary &diary, AppContext &context);
    ~Form9() override;

    void ShowMainWindow();
    void ApplyOpacity(bool off);
    void OpenSettingsPanel();
    void CloseSettingsPanel();
    void KeepWidgetOnScreen();
    void ShakeWidget();
    bool isShaking() const;
    // How far right of its place the card is drawn inside the window during a shake, in pixels.
    int cardShift() const;

    // Timer handlers, public so the program's timers can be driven without waiting.
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();

    void Image2_Click();
    void Image3_Click();

    // The opacity last asked of the window system, 0 to 255.
    int appliedOpacity() const { return m_appliedOpacity; }
    bool ColonShown = true;

    // How the program ends: at once, without running any window's closing handlers.
    std::function<void()> quitProgram;
    // Whether the desktop shows through what the card leaves unpainted: then a shake moves the
    // card inside its own window rather than the window.
    std::function<bool()> desktopComposites;

signals:
    // A double click on the card, or the window system closing it: the diary comes back.
    void mainWindowWanted();

public:
    // The file dialog of the data folder choice; the widget's own Qt dialog unless replaced.
    void setFileChooser(FileChooser *chooser);

    ClockFace *face() const { return m_face; }

    QTimer Timer1; // the clock (500 ms)
    QTimer Timer2; // shaking (10 s)
    QTimer Timer3; // inactivity count and closing of the settings panel (1 s, while it is open)

    SettingsPanel *Picture1 = nullptr; // the settings panel

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void pullOnScreen(bool leftAndTop);
    void Form_Load();
    void Form_Activate();
    void openBackups();
    void saveAndQuit();

    void pointerPressed(QMouseEvent *event);
    void pointerMoved(QMouseEvent *event);
    void pointerReleased(QMouseEvent *event);
    void endDrag();
    void storeWidgetPosition();

    QPoint twipsToScreen(int left, int top) const;
    void moveTo(const QPoint &position);
    void setOpacity(int opacity);

    Diary &m_diary;
    AppContext &m_context;
    std::unique_ptr<FileChooser> m_ownChooser;
    FileChooser *m_chooser = nullptr;

    ClockFace *m_face = nullptr;
    ClockShake *m_shake = nullptr;
    int m_appliedOpacity = 255;

    // Dragging by the card or by any of its labels; every drag keeps the place it ends at.
    WindowDrag *m_drag;
    bool m_pressed = false;
    QPoint m_pressGlobal;
};
