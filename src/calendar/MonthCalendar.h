#pragma once

#include "widgets/Section.h"

#include <QDate>
#include <array>

class ClickLabel;
class Diary;
struct AppContext;
class QScrollBar;

// The month calendar: the month of the selected day as six weeks of day numbers, Sundays and
// holidays in red, each day's texts in its tooltip. Scrolling moves the selected day itself by
// 30 days a step; a day chosen opens its week.
class MonthCalendar final : public Section
{
    Q_OBJECT

public:
    MonthCalendar(Diary &diary, AppContext &context, QWidget *parent);

    QString title() const override;
    void layoutSection() override { LayoutCalendar(); }
    void enter() override { ShowMonth(); }

    void ShowMonth();
    void LayoutCalendar();
    void CalendarScroll_Change();
    void lmesyano_Click();
    void ldia_Click(int index);
    void ldia_MouseMove(int index);

    static const QColor DayColour;

    ClickLabel *lmesyano = nullptr;
    QScrollBar *CalendarScroll = nullptr;
    std::array<ClickLabel *, 42> ldia{};

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setHighlighted(int index, bool on);
    int px(double twips) const;

    Diary &m_diary;
    AppContext &m_context;
    // The first day of the month on show, which the day numbers belong to.
    QDate m_month;
    int m_lastHighlighted = 0;
};
