// Form3: the day status dialog, a date's holiday mark and texts.
#pragma once

#include <QDialog>
#include <QTimer>
#include <array>

class Diary;
struct AppContext;
class ImageButton;
class QCheckBox;
class QLineEdit;
class QRadioButton;

// The day status dialog: whether one date is a holiday or a working day, the date's own text,
// and a text and holiday that recur on its day and month every year, written through the diary's
// day store, which keeps no row that says nothing. Every way of closing saves.
//
// The opener pre-sets the controls from the store, then Tag, places the dialog and runs it; after
// each closing the dialog is back in its design state for the next opening.
class Form3 final : public QDialog
{
    Q_OBJECT

public:
    Form3(Diary &diary, AppContext &context, QWidget *parent);
    ~Form3() override;

    // The day's Date text "dd/mm/yyyy" followed by its weekday digit (0 Monday … 6 Sunday).
    QString Tag;
    std::array<QRadioButton *, 2> Option1{}; // 0 "Laborable", 1 "Festivo"
    QLineEdit *Text1; // the yearly text of this day and month
    QLineEdit *Text2; // this date's own text
    QCheckBox *Check1; // "Fijo": a holiday every year
    ImageButton *Image5;
    QTimer Timer1; // keeps IdleCount at 0
    void Timer1_Timer();

    // Where the dialog opens: desktop coordinates in twips.
    void placeAt(double leftTwips, double topTwips);

    void Option1_Click(int index);
    // Writes both tables and closes the dialog.
    void SaveDayStatus();
    // Laborable, Fijo unticked and disabled, both texts empty, no Tag.
    void resetToDesign();

public slots:
    void reject() override; // Escape or the window system's close: saves like Image5

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    Diary &m_diary;
    AppContext &m_context;
    bool m_refusing = false;
};
