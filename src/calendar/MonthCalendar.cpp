#include "MonthCalendar.h"

#include "data/AppContext.h"
#include "data/Clock.h"
#include "data/DateText.h"
#include "data/DayStatus.h"
#include "data/Diary.h"
#include "widgets/ClickLabel.h"
#include "widgets/Theme.h"
#include "widgets/Twips.h"

#include <QEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>

const QColor MonthCalendar::DayColour(0, 0, 128);

namespace {

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QString capitalizeFirst(const QString &text)
{
    return text.isEmpty() ? text : text.left(1).toUpper() + text.mid(1);
}

} // namespace

MonthCalendar::MonthCalendar(Diary &diary, AppContext &context, QWidget *parent)
    : Section(QStringLiteral("PictureCalendario"), parent)
    , m_diary(diary)
    , m_context(context)
{
    lmesyano = new ClickLabel(this);
    lmesyano->setObjectName(QStringLiteral("lmesyano"));
    lmesyano->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lmesyano->setFont(Theme::serif(20, true));
    lmesyano->setAutoFillBackground(true);
    QPalette caption = lmesyano->palette();
    caption.setColor(QPalette::Window, QColor(64, 64, 64));
    caption.setColor(QPalette::WindowText, QColor(192, 192, 192));
    lmesyano->setPalette(caption);
    lmesyano->setAccessibleDescription(QStringLiteral("Volver al mes actual"));
    connect(lmesyano, &ClickLabel::clicked, this, &MonthCalendar::lmesyano_Click);

    CalendarScroll = new QScrollBar(Qt::Horizontal, this);
    CalendarScroll->setObjectName(QStringLiteral("CalendarScroll"));
    CalendarScroll->setRange(-1000, 1000);
    CalendarScroll->setSingleStep(1);
    CalendarScroll->setPageStep(12);
    CalendarScroll->setValue(0);
    // A drag of the thumb is one step of its whole distance, taken where it is let go.
    CalendarScroll->setTracking(false);
    CalendarScroll->setAccessibleName(QStringLiteral("Mes anterior o siguiente"));
    connect(CalendarScroll, &QScrollBar::valueChanged, this, &MonthCalendar::CalendarScroll_Change);

    // A day's holiday or text written anywhere shows at once in the month on show.
    connect(&m_diary, &Diary::changed, this, [this](const DiaryChange &change) {
        if (!isVisible() || !change.touches(DiaryChange::Kind::Days))
            return;
        const QDate day = change.key < 0 ? QDate() : QDate::fromJulianDay(change.key);
        if (!day.isValid() || (day.year() == m_month.year() && day.month() == m_month.month()))
            ShowMonth();
    });

    for (int k = 0; k < 42; ++k) {
        auto *cell = new ClickLabel(this);
        cell->setObjectName(QStringLiteral("ldia(%1)").arg(k));
        cell->setAlignment(Qt::AlignCenter);
        cell->setFont(Theme::serif(12));
        cell->setMouseTracking(true);
        cell->installEventFilter(this);
        setTextColour(cell, k % 7 == 6 ? Theme::Holiday : DayColour);
        connect(cell, &ClickLabel::clicked, this, [this, k] { ldia_Click(k); });
        ldia[k] = cell;
    }
}

QString MonthCalendar::title() const
{
    return QStringLiteral("Calendario");
}

void MonthCalendar::ShowMonth()
{
    const QLocale locale = DateText::spanishLocale();
    const QDate selected = m_diary.SelectedDate;
    m_month = QDate(selected.year(), selected.month(), 1);
    lmesyano->setText(locale.toString(m_month, QStringLiteral("MMMM")).toUpper() + QLatin1Char(' ') +
                      locale.toString(m_month, QStringLiteral("yyyy")));
    lmesyano->setAccessibleName(lmesyano->text());

    const int first = m_month.dayOfWeek() - 1;
    const int days = m_month.daysInMonth();
    for (int k = 0; k < 42; ++k) {
        ClickLabel *cell = ldia[k];
        const int day = k - first + 1;
        if (day < 1 || day > days) {
            // A blank cell keeps its colour, and nothing of the day it last showed.
            if (k == m_lastHighlighted)
                setHighlighted(k, false);
            cell->clear();
            cell->setToolTip(QString());
            cell->setAccessibleName(QString());
            cell->setFocusPolicy(Qt::NoFocus);
            continue;
        }
        const QDate date(m_month.year(), m_month.month(), day);
        // Movable feasts are read quietly here: the week tells of a year Easter cannot be found for.
        const DayStatus status = DayStatus::read(m_diary.Data2, m_diary.Data3, date, nullptr);
        QString fixedPart;
        if (!status.fixedText.trimmed().isEmpty())
            fixedPart = QStringLiteral(" (") + status.fixedText + QLatin1Char(')');
        QString dayPart;
        if (!status.dayText.trimmed().isEmpty())
            dayPart = QStringLiteral(" - ") + status.dayText;
        setTextColour(cell, status.isHoliday() ? Theme::Holiday : DayColour);
        const QString tip = capitalizeFirst(locale.toString(date, QLocale::LongFormat)) + fixedPart + dayPart;
        cell->setToolTip(tip);
        // The full date names the day for a screen reader; it holds the number shown.
        cell->setAccessibleName(tip);
        cell->setFocusPolicy(Qt::TabFocus);
        cell->setText(QString::number(day));
    }
}

void MonthCalendar::CalendarScroll_Change()
{
    const int steps = CalendarScroll->value();
    m_diary.setSelectedDate(m_diary.SelectedDate.addDays(30 * steps));
    ShowMonth();
    {
        const QSignalBlocker quiet(CalendarScroll);
        CalendarScroll->setValue(0);
    }
}

void MonthCalendar::lmesyano_Click()
{
    m_diary.setSelectedDate(m_context.clock->today());
    ShowMonth();
    {
        const QSignalBlocker quiet(CalendarScroll);
        CalendarScroll->setValue(0);
    }
}

void MonthCalendar::ldia_Click(int index)
{
    // A blank cell stands for the first day of the month on show.
    const int day = ldia[index]->text().toInt();
    const QDate date = day > 0 ? QDate(m_month.year(), m_month.month(), day) : m_month;
    if (date.isValid())
        m_diary.showWeekOf(date, Diary::Arrival::ChosenDay);
}

void MonthCalendar::ldia_MouseMove(int index)
{
    if (ldia[index]->text().isEmpty())
        return;
    setHighlighted(index, true);
    if (index != m_lastHighlighted)
        setHighlighted(m_lastHighlighted, false);
    m_lastHighlighted = index;
}

void MonthCalendar::setHighlighted(int index, bool on)
{
    ClickLabel *cell = ldia[index];
    QFont font = cell->font();
    font.setBold(on);
    cell->setFont(font);
    cell->setFrameShape(on ? QFrame::Box : QFrame::NoFrame);
}

bool MonthCalendar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        const auto cell = std::find(ldia.begin(), ldia.end(), watched);
        if (cell != ldia.end())
            ldia_MouseMove(int(cell - ldia.begin()));
    }
    return Section::eventFilter(watched, event);
}

int MonthCalendar::px(double twips) const
{
    return std::max(0, Twips::toPixels(twips, screen()));
}

void MonthCalendar::LayoutCalendar()
{
    const double panelWidth = Twips::fromPixels(width(), screen());
    const double panelHeight = Twips::fromPixels(height(), screen());

    const double captionHeight = panelWidth / 6;
    const double captionTop = panelHeight / 20;
    lmesyano->setGeometry(0, px(captionTop), px(panelWidth), px(captionHeight));
    QFont captionFont = lmesyano->font();
    captionFont.setPointSizeF(std::max(8.0, captionHeight / 35));
    lmesyano->setFont(captionFont);

    const double barHeight = captionHeight / 2.5;
    CalendarScroll->setGeometry(0, px(captionTop + captionHeight - barHeight), px(panelWidth), px(barHeight));

    const double columnWidth = panelWidth / 7;
    const double rowPitch = std::max(0.0, (panelHeight - barHeight - captionHeight) / 6);
    const qreal cellPoints = std::max(7.0, rowPitch / 50);
    const double firstRow = captionTop + captionHeight + barHeight;
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 7; ++c) {
            ClickLabel *cell = ldia[7 * r + c];
            cell->setGeometry(px(c * columnWidth), px(firstRow + r * rowPitch), px(columnWidth - 10), px(rowPitch / 2));
            QFont font = cell->font();
            font.setPointSizeF(cellPoints);
            cell->setFont(font);
        }
    }
}
