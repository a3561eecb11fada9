#pragma once

#include "data/AppContext.h"
#include "data/Diary.h"

#include <QPixmap>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>

class Form9;
class ImageButton;
class PictureBox;
class QLabel;
class QPainter;
class Section;
class SectionPanel;
class TabShape;
class WeekView;
class WindowDrag;

// The main window: the open diary. It shows the diary every section works on, draws the book's
// cover and pages with its own chrome, and composes the week view and the sections behind the
// index tabs. What happens on a page belongs to the section there.
class Form1 final : public QWidget
{
    Q_OBJECT

public:
    Form1(Diary &diary, AppContext &context, QWidget *parent = nullptr);
    ~Form1() override;

    // Places and sizes the window as the settings keep it (a step of the program's start-up).
    void PlaceFromSettings();
    // Runs whenever the window becomes the program's active window.
    void Form_Activate();
    void StoreMainSize();

    AppContext &context() { return m_context; }
    Diary &diary() { return m_diary; }
    WeekView &week() { return *m_week; }
    // The desktop widget, made the first time the diary is hidden behind it.
    Form9 *widget() const { return m_widget.get(); }
    // The section behind tab index (0 to 3), or null while none is registered there.
    Section *section(int index) const { return m_sections[index]; }

    QTimer Timer3; // blinks the tasks tab while tasks are pending (200 ms)
    QTimer Timer4; // sweeps the day text lines, bounds IdleCount (1 s); enabled at activation

    // The smallest window the resize grip leaves, in twips (the grip's own size comes on top).
    static constexpr int MinimumWidthTwips = 7000;
    static constexpr int MinimumHeightTwips = 5000;

    // Sections and chrome.
    void Image7_Click(int index);
    void ImagenI_Click(int index) { Image7_Click(index + 1); }
    void SelectTab(int n);
    void HideSectionPanels();
    void CloseSearch();
    void KeepOnScreen();
    void Image5_Click(int index);
    void ToggleMaximized();
    void Timer3_Timer();
    void Timer4_Timer();
    int openSection() const; // 0 to 3, or 4 for the week
    // Hides the diary behind the desktop widget.
    void ShowWidget();
    // Brings the diary back from the desktop widget.
    void ShowMainWindow();

    // Layout.
    void Form_Resize();

    std::array<PictureBox *, 29> Image1{};
    std::array<ImageButton *, 3> Image5{};
    PictureBox *Image6 = nullptr;
    PictureBox *Image11 = nullptr;
    PictureBox *I2 = nullptr;
    QWidget *Image2 = nullptr;
    std::array<TabShape *, 5> SolapaI{};
    std::array<TabShape *, 4> SolapaD{};
    std::array<ImageButton *, 5> Image7{};
    std::array<ImageButton *, 4> ImagenI{};
    QWidget *Picture1 = nullptr;
    QLabel *Label2 = nullptr;
    // The title page's picture of each section, by tab: ImageBuscador, ImageCalendario,
    // ImageTelefonos, ImageTareas.
    std::array<PictureBox *, 4> Markers{};

    int TabBlinkCount = 0;
    int SweepCount = 0;

    // Converts between the window's pixels and twips on its screen.
    int px(double twips) const;
    double tw(int pixels) const;

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildChrome();
    void BuildSections();
    void registerSection(int index, Section *section);
    void Form_QueryUnload();
    void storeMainPlace();
    void runPendingActivation();
    void I2_MouseDown(QMouseEvent *event);
    void I2_MouseMove(QMouseEvent *event);
    void LayoutSection(int index);
    void paintCover(QPainter &painter);
    void setGeometryTwips(QWidget *widget, double left, double top, double width, double height);
    void moveTwips(QWidget *widget, double left, double top);
    double leftTw(const QWidget *widget) const;
    double topTw(const QWidget *widget) const;
    double widthTw(const QWidget *widget) const;
    double heightTw(const QWidget *widget) const;

    Diary &m_diary;
    AppContext &m_context;
    std::unique_ptr<Form9> m_widget;
    WindowDrag *m_drag = nullptr;
    WeekView *m_week = nullptr;
    // The panels over the right page, by tab: a registered section's, or an empty page.
    std::array<SectionPanel *, 4> m_panels{};
    std::array<Section *, 4> m_sections{};
    QPoint m_gripGrab;
    // Form_Activate is due the next time the window is the program's active one: first on its
    // first show.
    bool m_activationPending = true;
    QPixmap m_cover;
};
