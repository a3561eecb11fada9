#include "Form5.h"

#include "data/AppContext.h"
#include "data/Diary.h"
#include "data/EntryStore.h"
#include "data/EntryWrite.h"
#include "data/Messenger.h"
#include "data/Module1.h"
#include "data/TimeSpin.h"
#include "widgets/DialogSupport.h"
#include "widgets/ImageButton.h"
#include "widgets/Spinner.h"
#include "widgets/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

namespace {

constexpr double SpinnerWidth = 255;
constexpr double TimeBoxWidth = 540;
constexpr double ButtonWidth = 285;
constexpr double ButtonPanelWidth = ButtonWidth + 20;

} // namespace

Form5::Form5(Diary &diary, AppContext &context, const QWidget &strip, qint64 entry, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_diary(diary)
    , m_context(context)
    , m_entry(entry)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Alarma"));
    setModal(true);

    Label1 = new QLabel(QStringLiteral("La Alarma se activará a las..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label1->setAutoFillBackground(true);

    Text2 = new QLineEdit(QStringLiteral("00:00"), this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setAccessibleName(QStringLiteral("Hora de la alarma"));
    Text2->setFrame(false);
    Text2->setAlignment(Qt::AlignCenter);
    Theme::paintEntryBox(*Text2);

    VScroll1 = new Spinner(QStringLiteral("VScroll1"), QStringLiteral("Minutos"), StartPosition, this);
    connect(VScroll1, &QScrollBar::valueChanged, this, &Form5::VScroll1_Change);

    m_buttons = new QWidget(this);
    m_buttons->setObjectName(QStringLiteral("Picture1"));
    auto *row = new QHBoxLayout(m_buttons);
    row->setContentsMargins(0, 0, 0, 0);
    auto *close = new ImageButton(QStringLiteral("entry-close"), QStringLiteral("Cerrar"), m_buttons);
    close->setObjectName(QStringLiteral("Image1(2)"));
    close->setFocusPolicy(Qt::NoFocus);
    row->addWidget(close);
    row->addStretch();
    Image1[2] = close;
    connect(close, &ImageButton::clicked, this, [this] { Image1_Click(2); });

    setTabOrder(Text2, VScroll1);

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &Form5::Timer1_Timer);
    Timer1.start();

    // Directly under the entry strip, with its width and height.
    setGeometry(strip.x(), strip.y() + strip.height(), strip.width(), strip.height());
}

Form5::~Form5() = default;

void Form5::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void Form5::Form_Resize()
{
    auto px = [this](double twips) { return DialogSupport::toPixels(*this, twips); };
    const int h = height();
    const int labelWidth = std::max(0, width() - px(TimeBoxWidth) - px(SpinnerWidth) - px(ButtonPanelWidth));
    Label1->setGeometry(0, 0, labelWidth, h);
    Text2->setGeometry(labelWidth, 0, px(TimeBoxWidth), h);
    VScroll1->setGeometry(Text2->x() + Text2->width(), 0, px(SpinnerWidth), h);
    m_buttons->setGeometry(VScroll1->x() + VScroll1->width(), 0, px(ButtonPanelWidth), h);
    Image1[2]->setFixedSize(px(ButtonWidth), h);
}

// This spinner runs the other way from the entry strip's: a step down is five minutes later,
// every other change five minutes earlier. Because the bar starts at its bottom end, the first
// step down does nothing until a step up has freed it.
void Form5::VScroll1_Change(int position)
{
    const int memory = m_memory == 0 ? NoStepYet : m_memory;
    Text2->setText(TimeSpin::stepMinutes(Text2->text(), position == memory + 1 ? 5 : -5));
    m_memory = position;
}

// An alarm rings when its text equals the clock's "HH:MM", so a time in any other form would be
// stored as set and never ring. Such a time is refused here; an accepted one is stored with two
// digits each side (" 9:30" as "09:30").
bool Form5::SaveAlarm()
{
    const QString typed = Text2->text();
    if (typed.size() > TimeSpin::TimeWidth || !Module1::CheckTime(typed)) {
        m_context.messenger->tell(QStringLiteral("La hora debe tener el formato HH:MM"),
                                  QStringLiteral("Hora Incorrecta"), Messenger::Icon::Critical);
        Text2->setFocus(Qt::OtherFocusReason);
        return false;
    }
    const QString time = TimeSpin::twoDigits(TimeSpin::leadingNumber(QStringView(typed).left(2))) + u':' +
        TimeSpin::twoDigits(TimeSpin::leadingNumber(QStringView(typed).right(2)));
    Text2->setText(time);

    if (const StoreResult written = m_diary.entries().setAlarmTime(m_entry, time); !written) {
        EntryWrite::tellNotWritten(m_context.messenger,
                                   QStringLiteral("No se ha podido guardar la alarma de las %1").arg(time),
                                   written.why());
    }
    return true;
}

void Form5::Image1_Click(int index)
{
    if (index == 2 && SaveAlarm())
        QDialog::accept();
}

void Form5::Timer1_Timer()
{
    m_context.IdleCount = 0;
}

void Form5::reject()
{
    Image1_Click(2);
}
