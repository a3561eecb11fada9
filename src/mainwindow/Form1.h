#pragma once

#include "data/AppContext.h"
#include "data/RecordCursor.h"

#include <QDate>
#include <QPixmap>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class AlarmScan;
class Form9;
class ImageButton;
class PictureBox;
class QLabel;
class QPainter;
class SectionPanel;
class SingleInstance;
class TabShape;
class WeekView;

// The main window: the open diary. It owns what every section shares (the selected day, the six
// cursors on the agenda, the flags read across the program), draws the book's cover and pages,
// carries its own chrome, and composes the sections.
class Form1 final : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(AppContext &context, QWidget *parent = nullptr);
    ~Form1() override;

    // Start-up. Returns false when the program must end at once (another copy is running).
    bool Form_Load();
    // Runs whenever the window becomes the program's active window.
    void Form_Activate();
    void StoreMainSize();

    AppContext &context() { return m_context; }
    QString databaseFile() const;
    WeekView &week() { return *m_week; }
    AlarmScan *alarmScan() const { return m_alarmScan.get(); }
    // The desktop widget, made the first time the diary is hidden behind it.
    Form9 *widget() const { return m_widget.get(); }

    QDate SelectedDate;
    RecordCursor Data1; // notas: week view, entry dialogs, text search
    RecordCursor Data4; // notas: alarms only
    RecordCursor Data2; // dias
    RecordCursor Data3; // festivosfijos
    RecordCursor Data5; // tareas
    RecordCursor DataTelefonos;

    bool TodayHasEntries = false;
    bool PendingTasks = false;

    QTimer Timer1; // the alarm scan, also while the window is hidden
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
    void ShowCurrentWeekButtons();
    void CloseSearch();
    void KeepOnScreen();
    void Image5_Click(int index);
    void ToggleMaximized();
    void Timer3_Timer();
    void Timer4_Timer();
    int openSection() const; // 0 to 3, or 4 for the week

    // Layout.
    void Form_Resize();
    void LayoutSearch();
    void LayoutCalendar();
    void LayoutPhones();
    void LayoutTasks();

    // Hooks of the sections that come in later: the task load and the calendar.
    std::function<void()> onLoadTasks;
    std::function<void()> onShowMonth;
    std::function<void()> onLoadPhoneNames;
    std::function<void()> onLayoutSection; // the open section's own controls
    // Hides the diary behind the desktop widget.
    void ShowWidget();

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
    PictureBox *ImageBuscador = nullptr;
    PictureBox *ImageCalendario = nullptr;
    PictureBox *ImageTelefonos = nullptr;
    PictureBox *ImageTareas = nullptr;
    SectionPanel *PictureBuscador = nullptr;
    SectionPanel *PictureCalendario = nullptr;
    SectionPanel *PictureTelefonos = nullptr;
    SectionPanel *PictureTareas = nullptr;

    int TabBlinkCount = 0;
    int SweepCount = 0;

    // Converts between the window's pixels and twips on its screen.
    int px(double twips) const;
    double tw(int pixels) const;

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildChrome();
    void BuildSections();
    void PlaceFromSettings();
    void OpenCursors();
    void Form_QueryUnload();
    void DragMainWindow(QMouseEvent *event);
    void FinishDrag();
    void I2_MouseDown(QMouseEvent *event);
    void I2_MouseMove(QMouseEvent *event);
    void LayoutSectionCommon(PictureBox *marker, SectionPanel *panel);
    void paintCover(QPainter &painter);
    void setGeometryTwips(QWidget *widget, double left, double top, double width, double height);
    void moveTwips(QWidget *widget, double left, double top);
    double leftTw(const QWidget *widget) const;
    double topTw(const QWidget *widget) const;
    double widthTw(const QWidget *widget) const;
    double heightTw(const QWidget *widget) const;

    AppContext &m_context;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<AlarmScan> m_alarmScan;
    std::unique_ptr<Form9> m_widget;
    WeekView *m_week = nullptr;
    QPoint m_gripGrab;
    QPoint m_manualDragOffset;
    bool m_manualDrag = false;
    bool m_systemDrag = false;
    QTimer m_dragSettle;
    QPixmap m_cover;
};
