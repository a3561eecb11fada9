#include "Form6.h"

#include "AlarmScan.h"
#include "AlarmWrites.h"
#include "SnoozeControl.h"

#include "data/AppContext.h"
#include "data/Clock.h"
#include "data/Messenger.h"
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

    Timer1.setInterval(200);
    Timer2.setInterval(60000);
    connect(&Timer1, &QTimer::timeout, this, &Form6::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &Form6::Timer2_Timer);
}

Form6::~Form6() = default;

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
    Label4 = new QLabel(Frame1);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setTextFormat(Qt::PlainText);
    Label4->setWordWrap(true);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label4->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = Label4->font();
    bold.setBold(true);
    Label4->setFont(bold);
    // Several alarms, or a long task text, scroll inside the frame: the window keeps its size.
    auto *scroll = new QScrollArea(Frame1);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(Label4);
    scroll->viewport()->setAutoFillBackground(false);
    Label4->setAutoFillBackground(false);
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
    VScroll1->setAccessibleName(QStringLiteral("minutos"));
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

void Form6::showAlarms()
{
    QStringList texts;
    for (auto it = m_alarms.crbegin(); it != m_alarms.crend(); ++it)
        texts << it->text;
    Label4->setText(texts.join(QStringLiteral("\n\n")));
}

void Form6::announce(const DueAlarm &alarm)
{
    m_alarms.append(alarm);
    showAlarms();
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

    QString why;
    const QStringList notCleared = AlarmWrites::clearEntries(m_diary, m_alarms, &why);
    if (!notCleared.isEmpty() && m_context.messenger)
        m_context.messenger->tell(
            QStringLiteral("No se pudo quitar la alarma de:\n%1\n\n%2").arg(notCleared.join(QLatin1Char('\n')), why),
            QStringLiteral("Atención"), Messenger::Icon::Warning);
}

void Form6::snoozeClicked(int minutes)
{
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
