#include "Form6.h"

#include "AlarmLine.h"
#include "AlarmScan.h"
#include "AlarmWrites.h"
#include "SnoozeControl.h"

#include "data/AppContext.h"
#include "data/Clock.h"
#include "data/DateText.h"
#include "data/Diary.h"
#include "data/EntryStore.h"
#include "data/Messenger.h"
#include "data/Notifier.h"
#include "data/SnoozeChoice.h"
#include "data/SoundPlayer.h"
#include "data/store/Criterion.h"
#include "widgets/PictureBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

Form6::Form6(AppContext &context, Diary &diary, QWidget *parent)
    : QWidget(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                  Qt::WindowStaysOnTopHint)
    , m_context(context)
    , m_diary(diary)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Alarma de Quillomar"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();

    if (Notifier *notifier = m_context.notifier) {
        connect(notifier, &Notifier::actionInvoked, this, [this](const QString &name, const QString &action) {
            if (action == QLatin1String(Notifier::SnoozeAction))
                snoozeAlarm(name);
            else if (action == QLatin1String(Notifier::OpenAction))
                openAlarm(name);
        });
        connect(notifier, &Notifier::dismissed, this, &Form6::dismissAlarm);
    }

    Timer1.setInterval(200);
    Timer2.setInterval(60000);
    connect(&Timer1, &QTimer::timeout, this, &Form6::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &Form6::Timer2_Timer);
}

Form6::~Form6()
{
    // The program is ending with the window open: nobody is left to act on its notices.
    if (!m_unloaded)
        withdrawNotices();
}

void Form6::buildControls()
{
    QPalette paper = palette();
    paper.setColor(QPalette::Window, QColor(0xfb, 0xf6, 0xe8));
    paper.setColor(QPalette::WindowText, QColor(0x3a, 0x24, 0x16));
    setPalette(paper);
    setAutoFillBackground(true);

    Image1 = new PictureBox(QStringLiteral("alarm-bell"), this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(48, 48);
    // The layout keeps the bell's place while it blinks off, so nothing beside it jumps.
    QSizePolicy keepPlace = Image1->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    Image1->setSizePolicy(keepPlace);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    Frame1->setFixedSize(320, 120);
    auto *lines = new QWidget(Frame1);
    lines->setObjectName(QStringLiteral("alarmLines"));
    lines->setAutoFillBackground(false);
    m_lines = new QVBoxLayout(lines);
    m_lines->setContentsMargins(0, 0, 0, 0);
    m_lines->addStretch();
    // Several alarms, or a long task text, scroll inside the frame: the window keeps its size.
    auto *scroll = new QScrollArea(Frame1);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(lines);
    scroll->viewport()->setAutoFillBackground(false);
    auto *frameLayout = new QVBoxLayout(Frame1);
    frameLayout->setContentsMargins(6, 6, 6, 6);
    frameLayout->addWidget(scroll);

    Check1 = new QCheckBox(this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setAccessibleName(QStringLiteral("La alarma acústica volverá a sonar en"));
    Check1->setChecked(true);

    Label3 = new QLabel(QStringLiteral("La Alarma acústica volverá a sonar cada"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setBuddy(Check1);

    Label2 = new QLabel(QStringLiteral("1"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label2->setMinimumWidth(Label2->fontMetrics().horizontalAdvance(QStringLiteral("999")) + 2);

    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setAccessibleName(QStringLiteral("Minutos entre repeticiones del sonido"));
    VScroll1->setRange(scrollFromNumber(MaxRepeatMinutes), scrollFromNumber(1));
    VScroll1->setSingleStep(1);
    VScroll1->setPageStep(1);
    VScroll1->setValue(scrollFromNumber(1));
    VScroll1->setFixedSize(17, 34);
    connect(VScroll1, &QScrollBar::valueChanged, this, &Form6::VScroll1_Change);

    Label1 = new QLabel(QStringLiteral("minutos."), this);
    Label1->setObjectName(QStringLiteral("Label1"));

    snooze = new SnoozeControl(this);
    snooze->setObjectName(QStringLiteral("snooze"));
    snooze->setMinutes(SnoozeChoice::read(m_context.paths, SnoozeControl::DefaultMinutes));
    connect(snooze, &SnoozeControl::snoozeWanted, this, &Form6::snoozeClicked);

    auto *top = new QHBoxLayout;
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addWidget(Frame1);
    auto *repeat = new QHBoxLayout;
    repeat->addWidget(Check1);
    repeat->addWidget(Label3);
    repeat->addWidget(Label2);
    repeat->addWidget(VScroll1);
    repeat->addWidget(Label1);
    repeat->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(top);
    layout->addLayout(repeat);
    layout->addWidget(snooze);
}

QString Form6::soundFile() const
{
    return m_context.paths.soundFile;
}

bool Form6::showsTask() const
{
    return std::any_of(m_alarms.cbegin(), m_alarms.cend(),
                       [](const DueAlarm &alarm) { return alarm.kind == DueAlarm::Kind::Task; });
}

QString Form6::shownText() const
{
    QStringList texts;
    for (const AlarmLine *line : Label4)
        texts << line->alarmText->text();
    return texts.join(QStringLiteral("\n\n"));
}

void Form6::showAlarms()
{
    // A line may be the one whose button is being clicked: it goes once the click is over.
    for (AlarmLine *line : std::as_const(Label4)) {
        line->hide();
        m_lines->removeWidget(line);
        line->deleteLater();
    }
    Label4.clear();
    for (auto it = m_alarms.crbegin(); it != m_alarms.crend(); ++it) {
        auto *line = new AlarmLine(it->text, it->alarmTime, m_lines->parentWidget());
        const QString name = it->name();
        connect(line, &AlarmLine::dismissWanted, this, [this, name] { dismissAlarm(name); });
        connect(line, &AlarmLine::snoozeWanted, this, [this, name] { snoozeAlarm(name); });
        connect(line, &AlarmLine::openWanted, this, [this, name] { openAlarm(name); });
        m_lines->insertWidget(Label4.size(), line);
        Label4.append(line);
    }
}

void Form6::announce(const DueAlarm &alarm)
{
    m_alarms.append(alarm);
    showAlarms();
    postNotice(alarm);
    // Rung here rather than on activation alone: a window that comes up while the program sits
    // hidden behind the widget may not be given the focus, and the alarm must still be heard.
    ring();

    // A task makes the window modal. So does a dialog of the program that is open modally: a
    // modeless window would be shown behind its block, and could not be closed until it ends.
    const QWidget *modal = QApplication::activeModalWidget();
    const bool wantModal = showsTask() || (modal && modal != this);
    if (!isVisible()) {
        setWindowModality(wantModal ? Qt::ApplicationModal : Qt::NonModal);
        placeOnScreen();
        show();
        Timer1.start();
    } else if (wantModal && windowModality() != Qt::ApplicationModal) {
        // Modality only changes while the window is hidden; it comes back where it was.
        const QPoint at = pos();
        hide();
        setWindowModality(Qt::ApplicationModal);
        show();
        move(at);
    }
    raise();
    activateWindow();
}

void Form6::postNotice(const DueAlarm &alarm)
{
    if (!m_context.notifier)
        return;
    // The entry's own time and day, as the week shows it; a task's alarm as the window shows it.
    QString summary = alarm.text;
    QString body;
    if (alarm.kind != DueAlarm::Kind::Task) {
        if (const std::optional<Entry> entry = m_diary.entries().find(alarm.entryKey)) {
            summary = QStringLiteral("%1 %2").arg(entry->time, alarm.text);
            body = DateText::spanishLocale().toString(entry->date, QLocale::LongFormat);
        }
    }
    m_context.notifier->post(alarm.name(), summary, body);
}

bool Form6::takeOut(const QString &name, DueAlarm *alarm)
{
    if (m_unloaded)
        return false; // closed: done with them all already
    const auto it =
        std::find_if(m_alarms.begin(), m_alarms.end(), [&name](const DueAlarm &shown) { return shown.name() == name; });
    if (it == m_alarms.end())
        return false;
    *alarm = *it;
    m_alarms.erase(it);
    if (m_context.notifier)
        m_context.notifier->withdraw(name);
    if (m_alarms.isEmpty()) {
        // Nothing is left to clear on closing.
        m_unloaded = true;
        Timer1.stop();
        Timer2.stop();
        close();
        return true;
    }
    showAlarms();
    // The keyboard goes on from the newest line still shown.
    Label4.first()->dismissButton->setFocus();
    return true;
}

void Form6::dismissAlarm(const QString &name)
{
    DueAlarm alarm;
    if (!takeOut(name, &alarm))
        return;
    AlarmWrites::clearFor(m_diary, {alarm}, m_context.messenger);
}

void Form6::snoozeAlarm(const QString &name)
{
    DueAlarm alarm;
    const int minutes = snooze->minutes();
    if (!takeOut(name, &alarm))
        return;
    SnoozeChoice::write(m_context.paths, minutes);
    AlarmWrites::snoozeFor(m_diary, {alarm}, m_context.clock->now(), minutes, m_context.messenger);
}

void Form6::openAlarm(const QString &name)
{
    DueAlarm alarm;
    if (!takeOut(name, &alarm))
        return;
    AlarmWrites::open(m_diary, alarm, m_context.messenger);
}

void Form6::placeOnScreen()
{
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void Form6::ring()
{
    playSound();
    RepeatCount = 0;
    Timer2.start();
    m_announcedAt = m_context.clock->now();
    m_announcementRang = true;
}

void Form6::playSound()
{
    if (m_context.sound)
        m_context.sound->play(soundFile());
}

void Form6::Form_Activate()
{
    if (m_announcementRang) {
        m_announcementRang = false;
        const qint64 since = m_announcedAt.secsTo(m_context.clock->now());
        if (since >= 0 && since < AnnouncementGraceSeconds)
            return;
    }
    playSound();
}

void Form6::Timer1_Timer()
{
    BlinkCount = (BlinkCount + 1) % 5;
    if (!Image1->isHidden() && BlinkCount == 2)
        Image1->hide();
    else if (Image1->isHidden())
        Image1->show();
}

void Form6::Timer2_Timer()
{
    ++RepeatCount;
    if (RepeatCount >= RepeatMinutes) {
        if (Check1->isChecked())
            playSound();
        RepeatCount = 0;
    }
}

void Form6::VScroll1_Change(int value)
{
    RepeatMinutes = numberFromScroll(value);
    Label2->setText(QString::number(RepeatMinutes));
}

void Form6::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    Timer1.stop();
    Timer2.stop();

    withdrawNotices();
    AlarmWrites::clearFor(m_diary, m_alarms, m_context.messenger);
}

void Form6::withdrawNotices()
{
    if (m_context.notifier)
        for (const DueAlarm &alarm : std::as_const(m_alarms))
            m_context.notifier->withdraw(alarm.name());
}

void Form6::snoozeClicked(int minutes)
{
    SnoozeChoice::write(m_context.paths, minutes);
    withdrawNotices();
    AlarmWrites::snoozeFor(m_diary, m_alarms, m_context.clock->now(), minutes, m_context.messenger);
    // Moved alarms are not cleared on closing, and those that could not be moved keep theirs.
    m_unloaded = true;
    Timer1.stop();
    Timer2.stop();
    close();
}

void Form6::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void Form6::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    QWidget::closeEvent(event);
}
