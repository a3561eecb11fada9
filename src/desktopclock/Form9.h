#pragma once

#include "widgets/x11/ServerFrames.h"

#include <QDate>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class Diary;
class WindowDrag;
class FileChooser;
class ImageButton;
class PictureBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QScrollBar;
struct AppContext;

// The desktop clock that stands in for the main window while it is hidden: the time, the weekday
// and the date over a card, translucent, draggable, shaking while today has entries, with a small
// settings panel on its right that the widget widens itself to show.
class Form9 final : public QWidget
{
    Q_OBJECT

public:
    Form9(Diary &diary, AppContext &context);
    ~Form9() override;

    void ShowMainWindow();
    void ApplyOpacity(bool off);
    void CenterLabel(QLabel *label);
    void OpenSettingsPanel();
    void CloseSettingsPanel();
    void KeepWidgetOnScreen();
    void ShakeWidget();
    bool isShaking() const { return m_shakeTimer.isActive(); }
    // How far right of its place the card is drawn inside the window during a shake, in pixels.
    int cardShift() const;

    // Timer handlers, public so the program's timers can be driven without waiting.
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();

    void VScroll1_Change();
    void VScroll2_Change();
    void Image2_Click();
    void Image3_Click();

    // The opacity last asked of the window system, 0 to 255.
    int appliedOpacity() const { return m_appliedOpacity; }
    bool ColonShown = true;

    // How the program ends: at once, without running any window's closing handlers.
    std::function<void()> quitProgram;
    // Whether the desktop shows through what the card leaves unpainted. Then a shake moves the
    // card inside its own window, widened for the moment, instead of moving the window: the
    // window system and the compositor hear of two changes of size instead of a move per frame.
    std::function<bool()> desktopComposites;

signals:
    // A double click on the card, or the window system closing it: the diary comes back.
    void mainWindowWanted();

public:
    // The file dialog of the data folder choice; the widget's own Qt dialog unless replaced.
    void setFileChooser(FileChooser *chooser);

    QTimer Timer1; // the clock (500 ms)
    QTimer Timer2; // shaking (10 s)
    QTimer Timer3; // inactivity count and closing of the settings panel (1 s)

    PictureBox *Image1 = nullptr;
    std::array<QLabel *, 1> Label1{}; // time
    std::array<QLabel *, 1> Label2{}; // weekday
    std::array<QLabel *, 1> Label3{}; // date
    QWidget *Picture1 = nullptr; // the settings panel
    QLabel *Label5 = nullptr;
    std::array<QLabel *, 2> Label4{};
    QLineEdit *txtalpha = nullptr;
    QScrollBar *VScroll1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QScrollBar *VScroll2 = nullptr;
    QCheckBox *Check1 = nullptr;
    ImageButton *Image2 = nullptr;
    ImageButton *Image3 = nullptr;
    std::array<ImageButton *, 1> Image5{};

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildFace();
    void buildPanel();
    void Form_Load();
    void Form_Activate();
    void showTime();
    void showToday();
    void setDelayControls();
    void saveAndQuit();

    void pointerPressed(QMouseEvent *event);
    void pointerMoved(QMouseEvent *event);
    void pointerReleased(QMouseEvent *event);
    void endDrag();
    void storeWidgetPosition();

    QPoint twipsToScreen(int left, int top) const;
    void moveTo(const QPoint &position);

    Diary &m_diary;
    AppContext &m_context;
    std::unique_ptr<FileChooser> m_ownChooser;
    FileChooser *m_chooser = nullptr;

    int m_appliedOpacity = 255;
    void setOpacity(int opacity);
    QDate m_shownDay;

    // Dragging by the card or by any of its labels; every drag keeps the place it ends at.
    WindowDrag *m_drag;
    bool m_pressed = false;
    QPoint m_pressGlobal;

    // A shake is a few frames of a short timer that stops when the shake is over.
    QTimer m_shakeTimer;
    int m_shakeStep = 0;
    QPoint m_shakeBase;
    bool m_shakeInside = false; // the card moves within the window, not the window
    int m_shakeRestWidth = 0; // the window's width before it was widened for the shake
    class ShakeCover;
    ShakeCover *m_shakeCover = nullptr; // the card's picture, drawn over the window while it shakes
    ServerFrames m_shakeFrames; // the same picture kept by the display server, where it can be
    void takeFaceSnapshot();
    int shakeReach() const; // how far the card goes out, in pixels
    QImage faceSnapshot() const;
    void showShakeStep();
    void stopShaking();
    int restWidth() const;
};
