#include "Form8.h"

#include "TaskHandOver.h"
#include "data/AppContext.h"
#include "data/Clock.h"
#include "data/DateText.h"
#include "data/Messenger.h"
#include "widgets/DialogSupport.h"
#include "widgets/Spinner.h"
#include "widgets/Theme.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Design places in twips, on the window's inner area of DesignWidth by DesignHeight.
constexpr double Margin = 120;
constexpr double RowHeight = 285;
constexpr double LabelWidth = 600;
constexpr double BoxLeft = 720;
constexpr double DescriptionTop = 525;
constexpr double FrameHeight = 735;
constexpr double ButtonWidth = 1215;
constexpr double ButtonHeight = 375;
constexpr double SpinnerWidth = 255;
constexpr double AlarmRowTop = 330;

struct Place
{
    double left, top, width, height;
};

} // namespace

Form8::Form8(AppContext &context, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Tarea"));
    setModal(true);
    setMouseTracking(true);
    QPalette paper = palette();
    paper.setColor(QPalette::Window, Theme::Paper);
    paper.setColor(QPalette::WindowText, Theme::Ink);
    setPalette(paper);
    setAutoFillBackground(true);

    auto px = [this](double twips) { return DialogSupport::toPixels(*this, twips); };
    auto place = [&px](QWidget *widget, Place p) {
        widget->setGeometry(px(p.left), px(p.top), px(p.width), px(p.height));
    };
    auto label = [&place](const char *text, QWidget *parent, Place p) {
        auto *l = new QLabel(QString::fromUtf8(text), parent);
        l->setFont(Theme::serif(10));
        place(l, p);
        return l;
    };
    auto lineBox = [this, &place](int index, const QString &name, QWidget *parent, Place p) {
        auto *box = new QLineEdit(parent);
        box->setObjectName(QStringLiteral("Text1(%1)").arg(index));
        box->setAccessibleName(name);
        box->setAlignment(Qt::AlignCenter);
        Theme::paintEntryBox(*box);
        box->installEventFilter(this);
        place(box, p);
        Text1[size_t(index)] = box;
        return box;
    };

    m_labels[0] = label("Fecha:", this, {Margin, Margin, LabelWidth, RowHeight});
    lineBox(0, QStringLiteral("Fecha"), this, {BoxLeft, Margin, 1215, RowHeight});
    m_labels[1] = label("Hora:", this, {2055, Margin, 540, RowHeight});
    lineBox(1, QStringLiteral("Hora"), this, {2595, Margin, 735, RowHeight});
    // The task's own date and time are the moment it was entered: shown, never typed.
    Text1[0]->setReadOnly(true);
    Text1[1]->setReadOnly(true);

    m_labels[2] = label("Tarea:", this, {Margin, DescriptionTop, LabelWidth, RowHeight});
    Description = new QPlainTextEdit(this);
    Description->setObjectName(QStringLiteral("Text1(2)"));
    Description->setAccessibleName(QStringLiteral("Tarea"));
    Description->setTabChangesFocus(true);
    Description->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Theme::paintEntryBox(*Description);
    Description->installEventFilter(this);
    place(Description, {BoxLeft, DescriptionTop, DesignWidth - BoxLeft - Margin, 1140});
    connect(Description, &QPlainTextEdit::textChanged, this, &Form8::keepBarOutOfDescription);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setAccessibleName(QStringLiteral("Alarma"));
    place(Frame1, {Margin, DesignHeight - FrameHeight - ButtonHeight - 360, DesignWidth - 2 * Margin, FrameHeight});
    Check2 = new QCheckBox(QStringLiteral("Alarma"), Frame1);
    Check2->setObjectName(QStringLiteral("Check2"));
    place(Check2, {Margin, 30, 1215, RowHeight});
    connect(Check2, &QCheckBox::toggled, this, &Form8::Check2_Click);

    m_labels[3] = label("Día:", Frame1, {Margin, AlarmRowTop, 480, RowHeight});
    lineBox(3, QStringLiteral("Día de la alarma"), Frame1, {600, AlarmRowTop, 1215, RowHeight});
    VScroll1 = new Spinner(QStringLiteral("VScroll1"), QStringLiteral("Día de la alarma"), SpinnerStart, Frame1);
    place(VScroll1, {1815, AlarmRowTop, SpinnerWidth, RowHeight});
    m_labels[4] = label("Hora:", Frame1, {2250, AlarmRowTop, 540, RowHeight});
    VScroll3 = new Spinner(QStringLiteral("VScroll3"), QStringLiteral("Hora de la alarma"), SpinnerStart, Frame1);
    place(VScroll3, {2790, AlarmRowTop, SpinnerWidth, RowHeight});
    lineBox(4, QStringLiteral("Hora de la alarma"), Frame1, {3045, AlarmRowTop, 735, RowHeight});
    VScroll2 = new Spinner(QStringLiteral("VScroll2"), QStringLiteral("Minutos de la alarma"), SpinnerStart, Frame1);
    place(VScroll2, {3780, AlarmRowTop, SpinnerWidth, RowHeight});
    connect(VScroll1, &QScrollBar::valueChanged, this, &Form8::VScroll1_Change);
    connect(VScroll2, &QScrollBar::valueChanged, this, &Form8::VScroll2_Change);
    connect(VScroll3, &QScrollBar::valueChanged, this, &Form8::VScroll3_Change);

    Check1 = new QCheckBox(QStringLiteral("Realizada"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    place(Check1, {Margin, DesignHeight - Margin - ButtonHeight, 1455, ButtonHeight});
    Command1 = new QPushButton(QStringLiteral("Guardar"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    place(Command1,
          {DesignWidth - ButtonWidth - Margin, DesignHeight - Margin - ButtonHeight, ButtonWidth, ButtonHeight});
    connect(Command1, &QPushButton::clicked, this, &Form8::SubmitTask);

    for (int i = 0; i < 5; ++i)
        m_labels[size_t(i)]->setBuddy(i == 2 ? static_cast<QWidget *>(Description) : Text1[size_t(i)]);

    setTabOrder(Description, Check2);
    setTabOrder(Check2, Text1[3]);
    setTabOrder(Text1[3], VScroll1);
    setTabOrder(VScroll1, VScroll3);
    setTabOrder(VScroll3, Text1[4]);
    setTabOrder(Text1[4], VScroll2);
    setTabOrder(VScroll2, Check1);
    setTabOrder(Check1, Command1);
    setTabOrder(Command1, Text1[0]);
    setTabOrder(Text1[0], Text1[1]);

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &Form8::Timer1_Timer);
    Timer1.start();

    resize(px(DesignWidth), px(DesignHeight));
    Form_Load();
    Description->setFocus(Qt::OtherFocusReason);
}

Form8::~Form8() = default;

QString Form8::text(int index) const
{
    return index == 2 ? Description->toPlainText() : Text1[size_t(index)]->text();
}

void Form8::setText(int index, const QString &text)
{
    if (index == 2)
        Description->setPlainText(text);
    else
        Text1[size_t(index)]->setText(text);
}

QString Form8::today() const
{
    return DateText::fromDate(m_context.clock->today());
}

void Form8::Form_Load()
{
    Text1[0]->setText(today());
    Text1[1]->setText(m_context.clock->now().time().toString(QStringLiteral("HH:mm")));
    enableAlarm(false);
}

void Form8::enableAlarm(bool enabled)
{
    for (QWidget *control :
         {static_cast<QWidget *>(Text1[3]), static_cast<QWidget *>(Text1[4]), static_cast<QWidget *>(VScroll1),
          static_cast<QWidget *>(VScroll2), static_cast<QWidget *>(VScroll3)})
        control->setEnabled(enabled);
}

void Form8::Check2_Click()
{
    if (Check2->isChecked()) {
        Text1[3]->setText(today());
    } else {
        Text1[3]->clear();
        Text1[4]->clear();
    }
    enableAlarm(Check2->isChecked());
}

// The upper arrow goes back a day, the lower one forward. A box that holds no date starts from
// today.
void Form8::VScroll1_Change(int value)
{
    const QDate shown = DateText::toDate(Text1[3]->text());
    if (!shown.isValid())
        Text1[3]->setText(today());
    else
        Text1[3]->setText(DateText::fromDate(shown.addDays(value < remembered(m_memory1) ? -1 : 1)));
    m_memory1 = value;
}

// The upper arrow adds a minute, the lower one takes one away; the minutes go round the hour
// without touching it. A box that holds no time starts from 00:00.
void Form8::VScroll2_Change(int value)
{
    if (!TaskHandOver::isTime(Text1[4]->text()))
        Text1[4]->setText(QStringLiteral("00:00"));
    const QString time = Text1[4]->text();
    int minutes = time.right(2).toInt() + (remembered(m_memory2) < value ? -1 : 1);
    minutes = (minutes + 60) % 60;
    Text1[4]->setText(time.left(3) + QStringLiteral("%1").arg(minutes, 2, 10, QLatin1Char('0')));
    m_memory2 = value;
}

// The upper arrow adds an hour, the lower one takes one away, round the clock without touching
// the date. The first step on an empty box only sets 00:00; its position is still remembered,
// or a lower arrow right after it would count as an upper one and add an hour.
void Form8::VScroll3_Change(int value)
{
    if (!TaskHandOver::isTime(Text1[4]->text())) {
        Text1[4]->setText(QStringLiteral("00:00"));
        m_memory3 = value;
        return;
    }
    const QString time = Text1[4]->text();
    int hours = time.left(2).toInt() + (remembered(m_memory3) < value ? -1 : 1);
    hours = (hours + 24) % 24;
    Text1[4]->setText(QStringLiteral("%1").arg(hours, 2, 10, QLatin1Char('0')) + time.right(3));
    m_memory3 = value;
}

bool Form8::refuse(int box, const QString &text)
{
    m_context.messenger->tell(text, QStringLiteral("Atención"), Messenger::Icon::Critical);
    Text1[size_t(box)]->setFocus(Qt::OtherFocusReason);
    Text1[size_t(box)]->selectAll();
    return false;
}

void Form8::SubmitTask()
{
    const QString description = Description->toPlainText();
    if (description.isEmpty()) {
        m_context.messenger->tell(QStringLiteral("No se ha indicado una descripción de la tarea"),
                                  QStringLiteral("Atención"), Messenger::Icon::Critical);
        return;
    }
    if (m_registered && m_registered(description)) {
        m_context.messenger->tell(QStringLiteral("La tarea ya está registrada y no puede haber duplicados"),
                                  QStringLiteral("Atención"), Messenger::Icon::Critical);
        Description->setFocus(Qt::OtherFocusReason);
        Description->selectAll();
        return;
    }
    // The alarm boxes take typing; an alarm rings only on a real day and an "hh:mm" minute, so
    // anything else is sent back to the user rather than stored.
    if (Check2->isChecked()) {
        if (!DateText::toDate(Text1[3]->text()).isValid()) {
            refuse(3, QStringLiteral("El «Día» de la alarma debe ser una fecha con el formato dd/mm/aaaa"));
            return;
        }
        if (!Text1[4]->text().isEmpty() && !TaskHandOver::isTime(Text1[4]->text())) {
            refuse(4, QStringLiteral("La «Hora» de la alarma debe ser una hora con el formato hh:mm"));
            return;
        }
    }
    m_handOver = (Check1->isChecked() ? QStringLiteral("S") : QStringLiteral("N")) + Text1[0]->text() + u'_' +
        Text1[1]->text() + u'_' + description + u'|' + Text1[3]->text() + u'_' + Text1[4]->text();
    accept();
}

// "|" ends the description in the hand-over, so it is kept out however it comes: typed (see
// eventFilter), pasted, dropped or set.
void Form8::keepBarOutOfDescription()
{
    if (m_filtering)
        return;
    m_filtering = true;
    QTextDocument *document = Description->document();
    for (QTextCursor bar = document->find(QStringLiteral("|")); !bar.isNull();
         bar = document->find(QStringLiteral("|"), bar))
        bar.removeSelectedText();
    m_filtering = false;
}

bool Form8::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        if (watched == Description) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                SubmitTask();
                return true;
            }
            // The hand-over's separators.
            if (key->text() == u"|" || key->text() == u"_")
                return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Form8::Timer1_Timer()
{
    m_context.IdleCount = 0;
}

void Form8::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

// The description, the alarm frame and the bottom row follow the window's size; a window too
// small for a size keeps the places it had from there on.
void Form8::Form_Resize()
{
    if (!Description)
        return;
    auto px = [this](double twips) { return DialogSupport::toPixels(*this, twips); };
    const double w = DialogSupport::toTwips(*this, width());
    const double h = DialogSupport::toTwips(*this, height());
    const double descriptionLeft = DialogSupport::toTwips(*this, Description->x());
    const double descriptionTop = DialogSupport::toTwips(*this, Description->y());
    const double frameHeight = DialogSupport::toTwips(*this, Frame1->height());
    const double buttonHeight = DialogSupport::toTwips(*this, Command1->height());
    const double buttonWidth = DialogSupport::toTwips(*this, Command1->width());

    const double descriptionWidth = w - descriptionLeft - Margin;
    if (descriptionWidth < 0)
        return;
    Description->resize(px(descriptionWidth), Description->height());
    const double descriptionHeight = h - descriptionTop - frameHeight - buttonHeight - 360;
    if (descriptionHeight < 0)
        return;
    Description->resize(Description->width(), px(descriptionHeight));
    const double frameTop = h - frameHeight - buttonHeight - 360;
    if (frameTop < 0)
        return;
    Frame1->move(Frame1->x(), px(frameTop));
    const double frameWidth = w - 2 * Margin;
    if (frameWidth < 0)
        return;
    Frame1->resize(px(frameWidth), Frame1->height());
    const double bottomTop = h - Margin - buttonHeight;
    if (bottomTop < 0)
        return;
    Check1->move(Check1->x(), px(bottomTop));
    Command1->move(Command1->x(), px(bottomTop));
    const double buttonLeft = w - buttonWidth - Margin;
    if (buttonLeft < 0)
        return;
    Command1->move(px(buttonLeft), Command1->y());
}
