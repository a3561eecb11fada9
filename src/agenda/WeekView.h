#pragma once

#include "DayHeader.h"
#include "KeptLines.h"
#include "data/Diary.h"

#include <QDate>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>

class ClickLabel;
class Diary;
struct AppContext;
class Form2;
class Form3;
class ImageButton;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// The week agenda: seven day panels, Monday to Sunday, with each day's header, holiday and day
// text, and the list of the day's entries; the two month captions and the week buttons.
// Every ShowWeek rebuilds all of it from the agenda, and so does every change of the diary's
// entries or days that falls in the week on show.
class WeekView final : public QWidget
{
    Q_OBJECT

public:
    WeekView(Diary &diary, AppContext &context, QWidget *parent);
    ~WeekView() override;

    // Places the day panels, captions and week buttons on the two pages of a window height high
    // (all in twips): the pages start at leftPage and rightPage, below topMargin, pageWidth wide,
    // each day a third high (Saturday and Sunday share one).
    void LayoutWeek(double leftPage, double rightPage, double topMargin, double pageWidth, double third,
                    double windowHeight);
    // Where a section's title page (left) and panel (right) cover the week, in this widget's pixels.
    QRect sectionPage(bool right) const;
    // Shows or hides what belongs to the week agenda alone: the month captions and week buttons.
    void setWeekControlsShown(bool shown);

    void ShowWeek(const QDate &date);
    void RefreshWeek();
    void ShowCurrentWeekButtons();
    void ShowCurrentWeekButtons(const QDate &selected);
    // Shows the week of SelectedDate asked for from a section (a found entry, a chosen day), its
    // arrows set as that way of arriving sets them; previous is the day shown before.
    void arriveFrom(const QDate &previous, Diary::Arrival arrival);
    static QString CapitalizeFirst(const QString &text);

    void Image3_Click();
    void Image4_Click();
    void Image9_Click();
    void Image10_Click();
    void List1_Click(int index, QListWidgetItem *item);
    void List1_GotFocus(int index);
    void List1_LostFocus(int index);
    void List1_MouseDown(int index, int y);
    void List1_DblClick(int index, const QString &line);
    void Image12_Click(int index);
    void Label3_Click(int index) { OpenDayStatus(index); }
    void OpenDayStatus(int index);
    // The day status dialog of panel index, set from the day's rows, ready to run.
    std::unique_ptr<Form3> prepareDayStatus(int index);

    // The week's colours.
    static const QColor HolidayColour;
    static const QColor WorkdayColour;
    static const QColor TodayPanel;
    static const QColor TodaysWeekPanel;
    static const QColor OtherPanel;
    static const QColor FocusedList;

    QDate WeekStart;
    std::array<QWidget *, 7> Picture2{};
    std::array<DayHeader *, 7> Label3{};
    std::array<QLabel *, 7> Label4{};
    std::array<QListWidget *, 7> List1{};
    std::array<ImageButton *, 7> Image12{};
    std::array<QLabel *, 2> Label1{};
    ImageButton *Image3 = nullptr;
    ImageButton *Image4 = nullptr;
    ImageButton *Image9 = nullptr;
    ImageButton *Image10 = nullptr;
    QPushButton *Command1 = nullptr;

    // The Date text "dd/mm/yyyy" of panel index, kept in its header: how the panel finds its day.
    QString dayTag(int index) const;

    // The sweep over the day text lines, one step a second: over a cycle of 31 steps the day
    // texts of Monday to Sunday disappear one after another for one step each, three steps apart.
    void SweepDayTexts();
    int SweepCount = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    // ShowWeek without moving the keyboard focus.
    void fillWeek(const QDate &date);
    // A change of the agenda that shows in the week on show is read again at once.
    void diaryChanged(const DiaryChange &change);
    // Selects the line of the entry wanted (Diary::showEntry) where the week shows it. It stays
    // wanted through the week being read again, until the user moves away from it.
    void selectWantedEntry();
    qint64 m_wantedEntry = -1;
    bool showsChange(const DiaryChange &change);
    void buildDay(int index);
    static void setTextColour(QWidget *widget, const QColor &colour);
    static void setBackground(QWidget *widget, const QColor &colour);

    Form2 &entryDialog();
    double entryLeft(int index) const;

    double tw(int pixels) const;
    int px(double twips) const;

    // Lays out the lines of the week after the one on show, once that is painted, so that
    // "Semana Siguiente" finds them ready; read through a cursor of its own, which moves no
    // other window's.
    void shapeNextWeek();
    RecordCursor m_ahead;
    // The lines of the week read ahead, day by day, and the file's state they were read in: that
    // week, when shown while the file is unchanged, is filled from them without reading again.
    struct AheadWeek
    {
        QDate start;
        QString file;
        RecordCursor::ContentStamp stamp;
        std::array<QStringList, 7> lines;
    };
    std::optional<AheadWeek> m_aheadWeek;
    // The entry lines of day, as the day's list holds them and in its order, read through cursor.
    static QStringList entryLines(RecordCursor &cursor, const QDate &day);
    // The header of day, today being today.
    static QString dayCaption(const QDate &day, const QDate &today);
    // Shows lines, in their order, in a day's list.
    static void showLines(QListWidget &list, const QStringList &lines);
    bool m_aheadWanted = false;
    static constexpr int AheadDelayMs = 250;
    // The lines of today's week on show, kept for the next start's first picture (once the next
    // week's are laid out); what this start read of the last one's is let go then.
    void keepShownWeek();
    KeptLines m_kept;

    Diary &m_diary;
    AppContext &m_context;
    // The entry strip is made on the first press in a list, placed there, and shown by the
    // double click that follows; it is made afresh after every use.
    std::unique_ptr<Form2> m_form2;
    bool m_filling = false;
};
