#include "WeekView.h"

#include "DayHeader.h"
#include "DayList.h"
#include "EntryLineDelegate.h"
#include "Form2.h"
#include "Form3.h"
#include "data/AppContext.h"
#include "data/Clock.h"
#include "data/DateText.h"
#include "data/DayStatus.h"
#include "data/DayStore.h"
#include "data/Diary.h"
#include "data/EntryLine.h"
#include "data/EntryStore.h"
#include "data/Schema.h"
#include "data/store/Criterion.h"
#include "widgets/ArtCache.h"
#include "widgets/ClickLabel.h"
#include "widgets/ImageButton.h"
#include "widgets/Theme.h"
#include "widgets/Twips.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSet>
#include <QTimer>
#include <algorithm>
#include <cmath>

const QColor WeekView::HolidayColour = Theme::Holiday;
const QColor WeekView::WorkdayColour(0, 0, 255);
const QColor WeekView::TodayPanel(255, 0, 0);
const QColor WeekView::TodaysWeekPanel(224, 224, 224);
const QColor WeekView::OtherPanel(255, 255, 255);
const QColor WeekView::FocusedList(255, 224, 192);

WeekView::WeekView(Diary &diary, AppContext &context, QWidget *parent)
    : QWidget(parent)
    , m_kept(ArtCache::folder().isEmpty() ? QString() : ArtCache::folder() + QStringLiteral("/semana.lineas"))
    , m_diary(diary)
    , m_context(context)
{
    setObjectName(QStringLiteral("WeekView"));
    for (int i = 0; i < 7; ++i)
        buildDay(i);
    connect(&m_diary, &Diary::changed, this, &WeekView::diaryChanged);
    connect(&m_diary, &Diary::entryWanted, this, [this](qint64 numero) { m_wantedEntry = numero; });

    for (int k = 0; k < 2; ++k) {
        Label1[k] = new QLabel(QStringLiteral("Octubre 2004"), this);
        Label1[k]->setObjectName(QStringLiteral("Label1(%1)").arg(k));
        Label1[k]->setProperty("role", QStringLiteral("month"));
        Label1[k]->setFont(Theme::serifCaption(13, false, true));
    }
    Label1[1]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // The week buttons stand beside the pages, on the cover: they belong to the window itself, so
    // no piece of the cover lies over them.
    QWidget *cover = parent ? parent : this;
    Image3 = new ImageButton(QStringLiteral("week-previous"), QStringLiteral("Semana Anterior"), cover);
    Image3->setObjectName(QStringLiteral("Image3"));
    Image4 = new ImageButton(QStringLiteral("week-next"), QStringLiteral("Semana Siguiente"), cover);
    Image4->setObjectName(QStringLiteral("Image4"));
    Image9 = new ImageButton(QStringLiteral("week-current"), QStringLiteral("Semana Actual"), cover);
    Image9->setObjectName(QStringLiteral("Image9"));
    Image10 = new ImageButton(QStringLiteral("week-current"), QStringLiteral("Semana Actual"), cover);
    Image10->setObjectName(QStringLiteral("Image10"));
    Image9->hide();
    Image10->hide();
    connect(Image3, &ImageButton::clicked, this, &WeekView::Image3_Click);
    connect(Image4, &ImageButton::clicked, this, &WeekView::Image4_Click);
    connect(Image9, &ImageButton::clicked, this, &WeekView::Image9_Click);
    connect(Image10, &ImageButton::clicked, this, &WeekView::Image10_Click);

    // Takes the keyboard focus after a move between weeks, so that no day list holds it.
    Command1 = new QPushButton(this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAccessibleName(QStringLiteral("Semana"));
    Command1->setFlat(true);
    Command1->setGeometry(0, 0, 0, 0);
}

void WeekView::buildDay(int i)
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Picture2(%1)").arg(i));
    panel->setAutoFillBackground(true);
    setBackground(panel, OtherPanel);
    panel->setMouseTracking(true);
    Picture2[i] = panel;

    auto *header = new DayHeader(panel);
    header->setObjectName(QStringLiteral("Label3(%1)").arg(i));
    header->setProperty("role", QStringLiteral("dayHeader"));
    header->setFont(Theme::serifCaption(9, true, false));
    connect(header, &ClickLabel::clicked, this, [this, i] { Label3_Click(i); });
    Label3[i] = header;

    auto *dayText = new QLabel(QStringLiteral(" "), panel);
    dayText->setObjectName(QStringLiteral("Label4(%1)").arg(i));
    dayText->setProperty("role", QStringLiteral("dayText"));
    QFont small = dayText->font();
    small.setPointSize(7);
    small.setItalic(true);
    dayText->setFont(small);
    Label4[i] = dayText;

    auto *list = new DayList(panel);
    list->setObjectName(QStringLiteral("List1(%1)").arg(i));
    list->setFrameShape(QFrame::NoFrame);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setTextElideMode(Qt::ElideRight);
    // Every line is one line of the same type: the list measures one, not each of the day's.
    list->setUniformItemSizes(true);
    auto *delegate = new EntryLineDelegate(list);
    delegate->setKeptLines(&m_kept);
    list->setItemDelegate(delegate);
    list->setAutoFillBackground(true);
    // The list shows nothing of its panel's colour (its lines, and its scroll bar over what is
    // left): it keeps every colour it has now, so that a panel changing colour (into today's
    // week or out of it) does not paint its list and scroll bar again.
    QPalette own = list->palette();
    own.setResolveMask(~QPalette::ResolveMask(0));
    list->setPalette(own);
    setBackground(list->viewport(), OtherPanel);
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
    connect(list, &QListWidget::itemClicked, this, [this, i](QListWidgetItem *item) { List1_Click(i, item); });
    // Moving through the list with the keys shows the line's text as a click does.
    connect(list, &QListWidget::currentItemChanged, this, [this, i](QListWidgetItem *item) { List1_Click(i, item); });
    connect(list, &QListWidget::itemDoubleClicked, this,
            [this, i](QListWidgetItem *item) { List1_DblClick(i, item->text()); });
    List1[i] = list;

    auto *add = new ImageButton(QStringLiteral("add-entry"), QStringLiteral("Añadir Entrada"), panel);
    add->setObjectName(QStringLiteral("Image12(%1)").arg(i));
    connect(add, &ImageButton::clicked, this, [this, i] { Image12_Click(i); });
    Image12[i] = add;
}

WeekView::~WeekView() = default;

QString WeekView::CapitalizeFirst(const QString &text)
{
    if (text.isEmpty())
        return text;
    return text.left(1).toUpper() + text.mid(1);
}

QString WeekView::dayTag(int index) const
{
    return Label3[index]->property("Tag").toString();
}

void WeekView::RefreshWeek()
{
    m_diary.Data1.Refresh();
    m_diary.Data2.Refresh();
    m_diary.Data3.Refresh();
    ShowWeek(m_diary.SelectedDate);
}

void WeekView::ShowWeek(const QDate &date)
{
    fillWeek(date);
    if (isVisible())
        List1[date.dayOfWeek() - 1]->setFocus();
    selectWantedEntry();
}

void WeekView::selectWantedEntry()
{
    if (m_wantedEntry < 0)
        return;
    for (QListWidget *list : List1)
        for (int row = 0; row < list->count(); ++row)
            if (EntryLine::Number(list->item(row)->text()).toLongLong() == m_wantedEntry) {
                list->setCurrentRow(row);
                return;
            }
}

bool WeekView::showsChange(const DiaryChange &change)
{
    using Kind = DiaryChange::Kind;
    if (!WeekStart.isValid() || !(change.touches(Kind::Entries) || change.touches(Kind::Days)))
        return false;
    if (change.kind == Kind::Everything || change.key < 0)
        return true;
    const auto inWeek = [this](const QDate &day) {
        return day.isValid() && WeekStart.daysTo(day) >= 0 && WeekStart.daysTo(day) <= 6;
    };
    if (change.kind == Kind::Days)
        return inWeek(QDate::fromJulianDay(change.key));
    if (const std::optional<Entry> entry = m_diary.entries().find(change.key); entry && inWeek(entry->date))
        return true;
    // An entry listed here may have gone, or moved to another week.
    for (const QListWidget *list : List1)
        for (int row = 0; row < list->count(); ++row)
            if (EntryLine::Number(list->item(row)->text()).toLongLong() == change.key)
                return true;
    return false;
}

void WeekView::diaryChanged(const DiaryChange &change)
{
    // Any change of entries may fall in the week read ahead (the diary told of a file restored or
    // another one opened, too).
    if (change.touches(DiaryChange::Kind::Entries))
        m_aheadWeek.reset();
    // The holidays the week writes while it is being filled are already on show. A change read
    // again leaves the keyboard focus where the user has it.
    if (!m_filling && showsChange(change))
        fillWeek(WeekStart);
}

void WeekView::fillWeek(const QDate &date)
{
    const QScopedValueRollback filling(m_filling, true);
    const QLocale locale = DateText::spanishLocale();
    const QDate today = m_context.clock->today();
    Messenger *messenger = m_context.messenger;

    m_diary.TodayHasEntries = false;
    WeekStart = date.addDays(-(date.dayOfWeek() - 1));
    const bool weekHasToday = WeekStart.daysTo(today) >= 0 && WeekStart.daysTo(today) <= 6;
    // The lines read ahead are this week's as long as nothing has been written since (asked before
    // the days below mark their holidays).
    const bool readAhead = m_aheadWeek && m_aheadWeek->start == WeekStart && m_diary.Data1.isOpen() &&
        m_aheadWeek->file == m_diary.databaseFile() && m_aheadWeek->stamp == m_diary.Data1.contentStamp();

    for (int i = 0; i < 7; ++i) {
        const QDate day = WeekStart.addDays(i);
        const QString tag = DateText::fromDate(day);
        Label3[i]->setProperty("Tag", tag);
        const QString longDate = CapitalizeFirst(locale.toString(day, QLocale::LongFormat));
        Label3[i]->setToolTip(longDate);
        Label3[i]->setAccessibleDescription(longDate);

        const DayStatus status = DayStatus::read(m_diary.Data2, m_diary.Data3, day, messenger);
        const QString fixedText = status.fixedText.isEmpty() ? QString() : QStringLiteral(" ") + status.fixedText;
        const QString dayText = status.dayText.isEmpty() ? QString() : QStringLiteral("- ") + status.dayText;
        // A fixed holiday or Good Friday becomes a date of its own the first time it is shown. A
        // write that fails (a locked or read-only file) is left for the next time.
        if (!status.hasDayRow && status.fixedHoliday)
            m_diary.days().markHoliday(day);
        const QColor colour = status.isHoliday() ? HolidayColour : WorkdayColour;
        setTextColour(Label3[i], colour);
        setTextColour(Label4[i], colour);

        if (day == today)
            setBackground(Picture2[i], TodayPanel);
        else
            setBackground(Picture2[i], weekHasToday ? TodaysWeekPanel : OtherPanel);
        if (day == today) {
            Image9->hide();
            Image10->hide();
        }

        const QString caption = dayCaption(day, today);
        Label3[i]->setText(caption);
        Label3[i]->setAccessibleName(caption);
        Label4[i]->setText(fixedText + QStringLiteral(" ") + dayText);
        // The holiday and day text is read with the day it belongs to.
        const QString lineText = Label4[i]->text().trimmed();
        Label4[i]->setAccessibleName(lineText.isEmpty() ? QString() : caption + QStringLiteral(": ") + lineText);

        const QStringList lines = readAhead ? m_aheadWeek->lines[i] : entryLines(m_diary.Data1, day);
        showLines(*List1[i], lines);
        if (day == today && !lines.isEmpty())
            m_diary.TodayHasEntries = true;
    }

    Label1[0]->setText(CapitalizeFirst(locale.toString(WeekStart, QStringLiteral("MMMM yyyy"))));
    Label1[1]->setText(CapitalizeFirst(locale.toString(WeekStart.addDays(6), QStringLiteral("MMMM yyyy"))));
    m_aheadWeek.reset();
    m_aheadWanted = true;
}

QString WeekView::dayCaption(const QDate &day, const QDate &today)
{
    const QString header = DateText::spanishLocale().toString(day, QStringLiteral("dddd d"));
    return (day == today ? QStringLiteral("HOY ") : QString()) + CapitalizeFirst(header);
}

QStringList WeekView::entryLines(RecordCursor &cursor, const QDate &day)
{
    QStringList lines;
    const Criterion sameDay = Criterion::textEquals(Schema::Notas::Fecha, DateText::fromDate(day));
    for (bool found = cursor.FindFirst(sameDay); found; found = cursor.FindNext(sameDay))
        lines.append(EntryLine::Build(cursor.Text(Schema::Notas::Hora), !cursor.Text(Schema::Notas::Nota).isEmpty(),
                                      !cursor.Text(Schema::Notas::HoraAlarma).isEmpty(),
                                      cursor.Text(Schema::Notas::Texto), cursor.Number(Schema::Notas::Numero)));
    // In the order of a day's lines rather than in the collation order of the whole text, which
    // would load a collator for the week alone. No two lines are alike (each ends in its entry's
    // number): any sort gives the one order.
    std::sort(lines.begin(), lines.end(), EntryLine::sortsBefore);
    return lines;
}

void WeekView::showLines(QListWidget &list, const QStringList &lines)
{
    // A line the user has chosen goes with its week: the list starts afresh.
    if (list.currentItem() || list.selectionModel()->hasSelection())
        list.clear();
    // The lines on show take the new texts, and only the difference is added or taken away: the
    // list keeps its scroll bar's range where the number of lines stays, and relays nothing else.
    const int kept = std::min<int>(list.count(), lines.size());
    for (int row = 0; row < kept; ++row)
        list.item(row)->setText(lines.at(row));
    while (list.count() > lines.size())
        delete list.takeItem(list.count() - 1);
    for (qsizetype row = kept; row < lines.size(); ++row)
        list.addItem(lines.at(row));
    list.scrollToTop();
    // The list would place its new lines only as it paints, and then ask for its lines to be
    // painted again, a frame later: they are placed now.
    list.doItemsLayout();
}

void WeekView::shapeNextWeek()
{
    if (!m_diary.Data1.isOpen() || !WeekStart.isValid())
        return;
    m_ahead.DatabaseName = m_diary.databaseFile();
    m_ahead.RecordSource = Schema::Notas::Table;
    if (!m_ahead.Refresh())
        return;
    AheadWeek week{WeekStart.addDays(7), m_ahead.DatabaseName, m_ahead.contentStamp(), {}};
    const QDate today = m_context.clock->today();
    for (int i = 0; i < 7; ++i) {
        week.lines[i] = entryLines(m_ahead, week.start.addDays(i));
        // On the colour of a list without the focus: a move to another week leaves it to none.
        if (const auto *delegate = qobject_cast<const EntryLineDelegate *>(List1[i]->itemDelegate()))
            delegate->shapeAhead(*List1[i], week.lines[i], OtherPanel);
        // On the panel's colour in that week.
        const QDate day = week.start.addDays(i);
        const bool todaysWeek = week.start.daysTo(today) >= 0 && week.start.daysTo(today) <= 6;
        Label3[i]->prepare(dayCaption(day, today),
                           day == today ? TodayPanel : (todaysWeek ? TodaysWeekPanel : OtherPanel));
    }
    m_aheadWeek = std::move(week);
    keepShownWeek();
}

void WeekView::keepShownWeek()
{
    // A start shows today's week, where today's list takes the focus once the window is active: its
    // lines are kept as it shows them then, too. Another week on show keeps nothing.
    const QDate today = m_context.clock->today();
    if (WeekStart.daysTo(today) < 0 || WeekStart.daysTo(today) > 6) {
        m_kept.forget();
        return;
    }
    const int focused = today.dayOfWeek() - 1;
    const auto linesToKeep = [this, focused](bool draw) {
        QList<KeptLines::Line> all;
        QSet<QString> keys;
        const auto add = [&](QList<KeptLines::Line> lines) {
            for (KeptLines::Line &line : lines)
                if (!keys.contains(line.key)) {
                    keys.insert(line.key);
                    all.append(std::move(line));
                }
        };
        for (int i = 0; i < 7; ++i) {
            const QListWidget *list = List1[i];
            const auto *delegate = qobject_cast<const EntryLineDelegate *>(list->itemDelegate());
            if (!delegate || list->count() == 0)
                continue;
            QStringList lines;
            for (int row = 0; row < list->count(); ++row)
                lines.append(list->item(row)->text());
            const int height = list->visualItemRect(list->item(0)).height();
            add(delegate->linesToKeep(*list, lines, OtherPanel, height, false, draw));
            if (i == focused)
                add(delegate->linesToKeep(*list, lines, FocusedList, height, true, draw));
        }
        return all;
    };
    // Written again only when what the next start would show first is not what was kept.
    if (!m_kept.file().isEmpty()) {
        QStringList keys;
        for (const KeptLines::Line &line : linesToKeep(false))
            keys.append(line.key);
        if (!m_kept.holdsExactly(keys)) {
            m_kept.forget();
            m_kept.keep(linesToKeep(true));
        }
    }
    m_kept.forget();
}

void WeekView::ShowCurrentWeekButtons()
{
    ShowCurrentWeekButtons(m_diary.SelectedDate);
}

void WeekView::ShowCurrentWeekButtons(const QDate &selected)
{
    const QDate today = m_context.clock->today();
    if (selected > today)
        Image9->show();
    if (selected.daysTo(today) > 7)
        Image10->show();
}

void WeekView::arriveFrom(const QDate &previous, Diary::Arrival arrival)
{
    // Leaving the section shows the arrows of the day that was shown before it.
    Image9->hide();
    Image10->hide();
    ShowCurrentWeekButtons(previous);
    const QDate date = m_diary.SelectedDate;
    const QDate today = m_context.clock->today();
    if (arrival == Diary::Arrival::ChosenDay) {
        // Shown before the week, which takes both away again when it holds today.
        (date < today ? Image10 : Image9)->show();
        Command1->setFocus();
        ShowWeek(date);
    } else {
        ShowWeek(date);
        if (date < today)
            Image10->show();
        else if (date > today)
            Image9->show();
    }
}

void WeekView::Image3_Click()
{
    m_diary.setSelectedDate(m_diary.SelectedDate.addDays(-7));
    ShowWeek(m_diary.SelectedDate);
    if (m_diary.SelectedDate < m_context.clock->today())
        Image10->show();
    Command1->setFocus();
}

void WeekView::Image4_Click()
{
    m_diary.setSelectedDate(m_diary.SelectedDate.addDays(7));
    ShowWeek(m_diary.SelectedDate);
    if (m_diary.SelectedDate > m_context.clock->today())
        Image9->show();
    Label1[0]->show();
    Label1[1]->show();
    Command1->setFocus();
}

void WeekView::Image9_Click()
{
    m_diary.setSelectedDate(m_context.clock->today());
    ShowWeek(m_diary.SelectedDate);
}

void WeekView::Image10_Click()
{
    m_diary.setSelectedDate(m_context.clock->today());
    ShowWeek(m_diary.SelectedDate);
}

void WeekView::List1_Click(int index, QListWidgetItem *item)
{
    const QString v = item ? item->text().left(255).trimmed() : QString();
    List1[index]->setToolTip(v == QStringLiteral(">>") ? QString() : v);
}

void WeekView::List1_GotFocus(int index)
{
    setBackground(List1[index]->viewport(), FocusedList);
}

void WeekView::List1_LostFocus(int index)
{
    setBackground(List1[index]->viewport(), OtherPanel);
    List1[index]->clearSelection();
    List1[index]->setCurrentItem(nullptr, QItemSelectionModel::NoUpdate);
}

bool WeekView::eventFilter(QObject *watched, QEvent *event)
{
    for (int i = 0; i < 7; ++i) {
        if (watched == List1[i]) {
            if (event->type() == QEvent::FocusIn) {
                List1_GotFocus(i);
            } else if (event->type() == QEvent::FocusOut) {
                // Another window taking the focus, or the diary hidden, is no move of the user's.
                if (static_cast<QFocusEvent *>(event)->reason() != Qt::ActiveWindowFocusReason &&
                    List1[i]->currentItem() &&
                    EntryLine::Number(List1[i]->currentItem()->text()).toLongLong() == m_wantedEntry)
                    m_wantedEntry = -1;
                List1_LostFocus(i);
            }
        } else if (watched == List1[i]->viewport() && event->type() == QEvent::Paint && m_aheadWanted) {
            m_aheadWanted = false;
            // Once the window system and the compositor have drawn this week too.
            QTimer::singleShot(AheadDelayMs, this, &WeekView::shapeNextWeek);
        } else if (watched == List1[i]->viewport() && event->type() == QEvent::MouseButtonPress) {
            m_wantedEntry = -1;
            List1_MouseDown(i, static_cast<QMouseEvent *>(event)->position().toPoint().y());
        }
    }
    return QWidget::eventFilter(watched, event);
}

void WeekView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The paper between the panels is part of the window: a double click there maximises or
    // restores it, as on the frame. On a day panel, its header, day text or a month caption it
    // does nothing.
    if (childAt(event->position().toPoint()))
        event->accept();
    else
        event->ignore();
}

namespace {
// The colour a widget was given by the week, kept on it: a palette set again, even the same,
// repaints the widget and everything in it. (The colour the widget shows is no guide: one it
// inherits would follow its panel's next change, where one given to it stays.)
bool alreadyGiven(QWidget *widget, const char *role, const QColor &colour)
{
    if (widget->property(role).value<QColor>() == colour)
        return true;
    widget->setProperty(role, colour);
    return false;
}
} // namespace

void WeekView::setTextColour(QWidget *widget, const QColor &colour)
{
    if (alreadyGiven(widget, "weekTextColour", colour))
        return;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

void WeekView::setBackground(QWidget *widget, const QColor &colour)
{
    if (alreadyGiven(widget, "weekBackground", colour))
        return;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Base, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

Form2 &WeekView::entryDialog()
{
    if (!m_form2)
        m_form2 = std::make_unique<Form2>(m_diary, m_context, window());
    return *m_form2;
}

double WeekView::tw(int pixels) const
{
    return Twips::fromPixels(pixels, screen());
}

int WeekView::px(double twips) const
{
    return Twips::toPixels(twips, screen());
}

void WeekView::LayoutWeek(double leftPage, double rightPage, double topMargin, double pageWidth, double third,
                          double windowHeight)
{
    const double PW = pageWidth;
    const double T = third;
    const double TM = topMargin;
    const double lefts[7] = {leftPage, leftPage, leftPage, rightPage, rightPage, rightPage, rightPage};
    const double heights[7] = {T, T, T, T, T, std::floor(T / 2), T - std::floor(T / 2)};
    const double tops[7] = {TM, TM + T, TM + 2 * T, TM, TM + T, TM + 2 * T, TM + 2 * T + std::floor(T / 2)};
    const qreal headerPoints = std::max(7.0, windowHeight / 4000 + 6);
    for (int i = 0; i < 7; ++i) {
        QWidget *panel = Picture2[i];
        panel->setGeometry(px(lefts[i]), px(tops[i]), px(PW), px(tops[i] + heights[i]) - px(tops[i]));
        QFont headerFont = Label3[i]->font();
        headerFont.setPointSizeF(headerPoints);
        Label3[i]->setFont(headerFont);
        const int headerHeight = QFontMetrics(headerFont).height() + 2;
        // The day text line is kept legible even where 120 twips would be too small to read.
        const int dayTextHeight = std::max(px(120), QFontMetrics(Label4[i]->font()).height());
        const int listWidth = std::max(0, panel->width() - px(240));
        const int listHeight = std::max(0, panel->height() - headerHeight - dayTextHeight);
        Label3[i]->setGeometry(px(60), 0, std::max(0, listWidth - px(60)), headerHeight);
        List1[i]->setGeometry(0, headerHeight, listWidth, listHeight);
        Label4[i]->setGeometry(px(60), headerHeight + listHeight, std::max(0, listWidth - px(60)), dayTextHeight);
        const int add = std::min(px(240), std::max(0, panel->height()));
        Image12[i]->setGeometry(panel->width() - add, 1, add, add);
    }

    const int captionHeight = QFontMetrics(Label1[0]->font()).height() + 2;
    Label1[0]->setGeometry(px(lefts[0] + 120), px(TM) - captionHeight, px(PW), captionHeight);
    const double wednesdayBottom = tops[2] + heights[2];
    Label1[1]->setGeometry(px(lefts[6] - 120), px(wednesdayBottom - 60), px(PW), captionHeight);
    constexpr double button = 390;
    auto place = [this](QWidget *widget, double left, double top) {
        widget->setGeometry(px(left), px(top), px(button), px(button));
    };
    place(Image3, lefts[2] - 180 - button, wednesdayBottom - 200);
    place(Image9, lefts[2] - 180 - button, wednesdayBottom - 200 - button);
    place(Image4, lefts[6] + PW + 180, wednesdayBottom - 200);
    place(Image10, lefts[6] + PW + 180, wednesdayBottom - 200 - button);
}

QRect WeekView::sectionPage(bool right) const
{
    const QWidget *day = Picture2[right ? 3 : 0];
    const QLabel *caption = Label1[0];
    return QRect(day->x(), caption->y(), day->width(), 3 * Picture2[0]->height() + caption->height() + px(120));
}

void WeekView::setWeekControlsShown(bool shown)
{
    for (QWidget *control : {static_cast<QWidget *>(Label1[0]), static_cast<QWidget *>(Label1[1]),
                             static_cast<QWidget *>(Image3), static_cast<QWidget *>(Image4)})
        control->setVisible(shown);
    if (shown) {
        ShowCurrentWeekButtons();
    } else {
        Image9->hide();
        Image10->hide();
    }
}

double WeekView::entryLeft(int index) const
{
    return tw(window()->x()) + tw(Picture2[index]->x()) + tw(List1[index]->x()) + 100;
}

void WeekView::List1_MouseDown(int index, int y)
{
    entryDialog().placeAt(entryLeft(index), tw(window()->y()) + tw(Picture2[index]->y()) + tw(y) + 360);
}

void WeekView::List1_DblClick(int index, const QString &line)
{
    m_diary.setSelectedDate(DateText::toDate(dayTag(index)));
    Form2 &dialog = entryDialog();
    dialog.Tag = EntryLine::Number(line);
    dialog.exec();
    m_form2.reset();
}

void WeekView::Image12_Click(int index)
{
    m_diary.setSelectedDate(DateText::toDate(dayTag(index)));
    m_form2 = std::make_unique<Form2>(m_diary, m_context, window());
    m_form2->Tag.clear();
    List1[index]->setFocus();
    const int lines = List1[index]->count();
    const QString defaultTime = lines > 1 ? List1[index]->item(lines - 1)->text().left(5) : QStringLiteral("08:00");
    m_form2->placeAt(entryLeft(index), tw(window()->y()) + tw(Picture2[index]->y()) + 360);
    m_form2->Text2->setText(defaultTime);
    m_form2->exec();
    m_form2.reset();
}

void WeekView::OpenDayStatus(int index)
{
    std::unique_ptr<Form3> dialog = prepareDayStatus(index);
    dialog->exec();
    ShowWeek(m_diary.SelectedDate);
}

std::unique_ptr<Form3> WeekView::prepareDayStatus(int index)
{
    auto owned = std::make_unique<Form3>(m_diary, m_context, window());
    Form3 &dialog = *owned;
    if (index == 6)
        dialog.Option1[1]->setChecked(true);
    const QString tag = dayTag(index);
    const QDate date = DateText::toDate(tag);
    if (const std::optional<Day> day = m_diary.days().find(date)) {
        dialog.Text2->setText(day->text);
        dialog.Option1[day->holiday ? 1 : 0]->setChecked(true);
    }
    if (const std::optional<YearlyDay> yearly = m_diary.days().findYearly(date)) {
        dialog.Text1->setText(yearly->text);
        if (yearly->alwaysHoliday) {
            dialog.Option1[1]->setChecked(true);
            dialog.Check1->setChecked(true);
        }
    }
    dialog.placeAt(tw(window()->x()) + tw(Picture2[index]->x()) + 100,
                   tw(window()->y()) + tw(Picture2[index]->y()) + 250);
    dialog.Tag = tag + QString::number(index);
    return owned;
}

void WeekView::SweepDayTexts()
{
    if (SweepCount > 30)
        SweepCount = 0;
    for (int i = 0; i < 7; ++i)
        Label4[i]->setVisible(SweepCount != 3 * i);
    ++SweepCount;
}
