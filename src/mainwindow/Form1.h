// Form1: the main window, the open week-to-view diary with its sections behind index tabs.
#pragma once

#include "data/AppContext.h"
#include "data/Diary.h"
#include "print/PrintRequest.h"
#include "widgets/FileChooser.h"

#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class BookCover;
class CalendarFiles;
class Form9;
class ImageButton;
class PictureBox;
class QLabel;
class ResizeGrip;
class Section;
class SectionPanel;
class TabStrip;
class WeekView;
class WindowDrag;

// The main window: the open diary. It composes the book's cover, the week view laid on it, the
// sections behind the index tabs and its own chrome (close, maximise, restore, the resize grip),
// and keeps the window's state: its place and size, the open section, its turn when it becomes
// the active window again. What happens on a page belongs to the section there.
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
    TabStrip &tabs() { return *m_tabs; }
    // Import and export of calendar and address files, from the book's context menu or a drop.
    CalendarFiles &calendarFiles() { return *m_calendarFiles; }
    // The desktop widget, made the first time the diary is hidden behind it.
    Form9 *widget() const { return m_widget.get(); }
    // The section behind tab index (0 to 3), or null while none is registered there or its tab
    // was never opened: a section's widgets are made when its tab is first opened.
    Section *section(int index) const { return m_sections[index]; }

    QTimer Timer4; // sweeps the day text lines, bounds IdleCount (1 s); enabled at activation

    // The smallest window the resize grip leaves, in twips (the grip's own size comes on top).
    static constexpr int MinimumWidthTwips = 7000;
    static constexpr int MinimumHeightTwips = 5000;
    QSize minimumSizeHint() const override;

    // Sections and chrome.
    void Image7_Click(int index);
    void HideSectionPanels();
    void CloseSearch();
    void KeepOnScreen();
    void Image5_Click(int index);
    void ToggleMaximized();
    void Timer4_Timer();
    int openSection() const; // 0 to 3, or 4 for the week
    // Hides the diary behind the desktop widget.
    void ShowWidget();
    // Brings the diary back from the desktop widget.
    void ShowMainWindow();

    // Layout.
    void Form_Resize();

    // Printing: what the open section shows, ready for paper (the text search, which has no page
    // of its own, prints the week under it), and its printing or export as a PDF through a
    // preview where paper and orientation can be changed.
    PrintRequest printRequest() const;
    void printOpenSection(bool toPdf);
    // Where the diary asks for the name of a file to write; Qt's file dialog unless set.
    void setFileChooser(FileChooser *chooser) { m_chooser = chooser; }

    std::array<ImageButton *, 3> Image5{};
    PictureBox *Image6 = nullptr;
    PictureBox *Image11 = nullptr;
    ResizeGrip *I2 = nullptr;
    QWidget *Picture1 = nullptr;
    QLabel *Label2 = nullptr;
    // The title page's picture of each section, by tab: ImageBuscador, ImageCalendario,
    // ImageTelefonos, ImageTareas.
    std::array<PictureBox *, 4> Markers{};

    // Converts between the window's pixels and twips on its screen.
    int px(double twips) const;
    double tw(int pixels) const;

signals:
    // Once, just after the week was first painted (and sent to the screen).
    void weekPainted();

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void BuildPrinting();
    void BuildChrome();
    void BuildSections();
    void registerSection(int index, std::function<Section *()> make);
    // The panel of tab index, made now if its section was never opened.
    SectionPanel *panel(int index);
    void Form_QueryUnload();
    void storeMainPlace();
    void runPendingActivation();
    void hideHoverMarker();
    void LayoutSection(int index);

    Diary &m_diary;
    AppContext &m_context;
    std::unique_ptr<Form9> m_widget;
    WindowDrag *m_drag = nullptr;
    BookCover *m_cover = nullptr;
    CalendarFiles *m_calendarFiles = nullptr;
    WeekView *m_week = nullptr;
    TabStrip *m_tabs = nullptr;
    // The panels over the right page, by tab: a registered section's, or an empty page; null
    // until the tab is first opened.
    std::array<SectionPanel *, 4> m_panels{};
    std::array<Section *, 4> m_sections{};
    std::array<std::function<Section *()>, 4> m_makeSection{};
    // Form_Activate is due the next time the window is the program's active one: first on its
    // first show.
    bool m_activationPending = true;
    QtFileChooser m_ownChooser;
    FileChooser *m_chooser = &m_ownChooser;
    bool m_weekPainted = false;
};
