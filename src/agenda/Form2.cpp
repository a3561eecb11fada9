#include "Form2.h"

#include "Form4.h"
#include "Form5.h"
#include "data/AppContext.h"
#include "data/DateText.h"
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

#include <QApplication>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace {

constexpr double SpinnerWidth = 255;
constexpr double TimeBoxWidth = 540;
constexpr double ButtonWidth = 285;
constexpr double ButtonPanelWidth = 3 * ButtonWidth + 40;

} // namespace

Form2::Form2(Diary &diary, AppContext &context, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_diary(diary)
    , m_context(context)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Entrada"));
    setModal(true);

    VScroll2 = new Spinner(QStringLiteral("VScroll2"), QStringLiteral("Hora"), StartPosition, this);
    Text2 = new QLineEdit(QStringLiteral("00:00"), this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setAccessibleName(QStringLiteral("Hora"));
    Text2->setFrame(false);
    Text2->setAlignment(Qt::AlignCenter);
    Theme::paintEntryBox(*Text2);
    VScroll1 = new Spinner(QStringLiteral("VScroll1"), QStringLiteral("Minutos"), StartPosition, this);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMaxLength(255);
    Text1->setToolTip(QStringLiteral("Asunto"));
    Text1->setAccessibleName(QStringLiteral("Asunto"));
    Text1->setFrame(false);
    Theme::paintEntryBox(*Text1);

    m_buttons = new QWidget(this);
    m_buttons->setObjectName(QStringLiteral("Picture1"));
    DialogSupport::addButtonRow(*m_buttons,
                                {{2, "entry-close", "Cerrar"},
                                 {3, "entry-alarm", "Activar/Desactivar Alarma"},
                                 {4, "entry-note", "Editar Texto Largo"}},
                                0, [this](int index, ImageButton *button) {
                                    Image1[size_t(index)] = button;
                                    connect(button, &ImageButton::clicked, this,
                                            [this, index] { Image1_Click(index); });
                                });
    Image1[3]->setMouseTracking(true);
    Image1[3]->installEventFilter(this);

    setTabOrder(Text1, Text2);
    setTabOrder(Text2, VScroll1);
    setTabOrder(VScroll1, VScroll2);

    connect(VScroll1, &QScrollBar::valueChanged, this, &Form2::VScroll1_Change);
    connect(VScroll2, &QScrollBar::valueChanged, this, &Form2::VScroll2_Change);
    Text1->installEventFilter(this);
    Text2->installEventFilter(this);

    Timer1.setInterval(200);
    Timer2.setInterval(200);
    connect(&Timer1, &QTimer::timeout, this, &Form2::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &Form2::Timer2_Timer);

    resetToDesign();
}

Form2::~Form2() = default;

void Form2::placeAt(double leftTwips, double topTwips)
{
    DialogSupport::placeAt(*this, leftTwips, topTwips);
}

qint64 Form2::entryNumber() const
{
    bool ok = false;
    const qint64 number = Tag.trimmed().toLongLong(&ok);
    return ok && number > 0 ? number : -1;
}

std::optional<Entry> Form2::findEntry()
{
    const qint64 number = entryNumber();
    if (number < 0)
        return std::nullopt;
    return m_diary.entries().find(number);
}

// The strip works on its entry only while the store has it: once it is gone the strip lets it go.
// What the boxes show is kept, and a save with a short text adds it afresh on the selected day.
void Form2::forgetEntry()
{
    Tag.clear();
    AlarmTime.clear();
    LongNote.clear();
}

void Form2::Form_Activate()
{
    if (!Tag.isEmpty()) {
        if (const std::optional<Entry> entry = findEntry()) {
            Text2->setText(entry->time);
            Text1->setText(entry->text);
            AlarmTime = entry->alarmTime;
            LongNote = entry->note;
        } else {
            m_context.messenger->ask(QStringLiteral("no lo encuentro"), QStringLiteral("Quillomar"),
                                     Messenger::Icon::None, Messenger::Ok);
            forgetEntry();
        }
    }
    if (Text1->text().isEmpty())
        VScroll1->setFocus(Qt::OtherFocusReason);
}

void Form2::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void Form2::Form_Resize()
{
    const int height = DialogSupport::toPixels(*this, HeightTwips);
    const int wanted = (parentWidget() ? parentWidget()->width() : 900) / 3;
    if (width() != wanted || this->height() != height) {
        resize(wanted, height); // comes back here with the right size
        return;
    }
    const double widthTwips = DialogSupport::toTwips(*this, width());
    const double textTwips = std::max(0.0, widthTwips - TimeBoxWidth - SpinnerWidth - SpinnerWidth - ButtonPanelWidth);
    auto px = [this](double twips) { return DialogSupport::toPixels(*this, twips); };
    VScroll2->setGeometry(0, 0, px(SpinnerWidth), height);
    Text2->setGeometry(px(SpinnerWidth), 0, px(TimeBoxWidth), height);
    VScroll1->setGeometry(px(SpinnerWidth + TimeBoxWidth), 0, px(SpinnerWidth), height);
    Text1->setGeometry(px(2 * SpinnerWidth + TimeBoxWidth), 0, px(textTwips), height);
    const double panelLeft = SpinnerWidth + TimeBoxWidth + SpinnerWidth + textTwips - 20;
    m_buttons->setGeometry(px(panelLeft), 0, width() - px(panelLeft), height);
    for (int i = 2; i <= 4; ++i)
        Image1[size_t(i)]->setFixedSize(px(ButtonWidth), height);
}

// Back from another window of the program (the alarm window may have cleared this entry's alarm
// meanwhile): the alarm and the long note are read again from the store, so that closing the strip
// never writes back what another window changed. What the user typed in the boxes stays.
void Form2::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow() || !isVisible() || Tag.isEmpty())
        return;
    if (const std::optional<Entry> entry = findEntry()) {
        AlarmTime = entry->alarmTime;
        LongNote = entry->note;
    }
}

void Form2::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    Form_Resize();
    Timer1.start();
    Timer2.start();
    Form_Activate();
}

// A dialog that opens selects the whole text of the box it starts in, so the first key typed
// would replace the entry's text; the user rather goes on writing after it.
void Form2::setVisible(bool visible)
{
    QDialog::setVisible(visible);
    if (visible)
        Text1->end(false);
}

void Form2::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (event->spontaneous())
        return;
    Timer1.stop();
    Timer2.stop();
    resetToDesign();
}

void Form2::resetSpinners()
{
    for (QScrollBar *spinner : {VScroll1, VScroll2}) {
        const QSignalBlocker block(spinner);
        spinner->setValue(StartPosition);
    }
    m_hoursMemory = 0;
    m_minutesMemory = 0;
}

void Form2::resetToDesign()
{
    forgetEntry();
    Text1->clear();
    Text2->setText(QStringLiteral("00:00"));
    resetSpinners();
    m_alarmBlink = 0;
    m_noteBlink = 0;
    // The blinking buttons appear with the first tick of their timers.
    Image1[3]->hide();
    Image1[4]->hide();
    Image1[3]->setPicture(QStringLiteral("entry-alarm"));
    Image1[3]->setToolTipText(QStringLiteral("Activar/Desactivar Alarma"));
    Text1->setFocus(Qt::OtherFocusReason);
}

void Form2::VScroll1_Change(int position)
{
    const int memory = m_minutesMemory == 0 ? StartPosition : m_minutesMemory;
    Text2->setText(TimeSpin::stepMinutes(Text2->text(), memory > position ? 5 : -5));
    m_minutesMemory = position;
}

void Form2::VScroll2_Change(int position)
{
    const int memory = m_hoursMemory == 0 ? StartPosition : m_hoursMemory;
    Text2->setText(TimeSpin::stepHours(Text2->text(), memory > position));
    m_hoursMemory = position;
}

void Form2::Text2_LostFocus()
{
    const QString time = Text2->text();
    if (time.size() <= TimeSpin::TimeWidth && Module1::CheckTime(time))
        return;
    m_checkingTime = true;
    m_context.messenger->tell(QStringLiteral("La hora debe tener el formato HH:MM"), QStringLiteral("Hora Incorrecta"),
                              Messenger::Icon::Critical);
    Text2->setFocus(Qt::OtherFocusReason);
    m_checkingTime = false;
}

Form2::Saved Form2::SaveEntry()
{
    EntryStore &entries = m_diary.entries();
    AppContext &context = m_context;
    Saved result = Saved::Done;
    const QString text = Text1->text();

    if (!text.isEmpty()) {
        // The time column holds five characters: a longer box is neither cut nor stored.
        if (Text2->text().size() > TimeSpin::TimeWidth) {
            context.messenger->tell(QStringLiteral("La hora debe tener el formato HH:MM"),
                                    QStringLiteral("Hora Incorrecta"), Messenger::Icon::Critical);
            Text2->setFocus(Qt::OtherFocusReason);
            resetSpinners();
            return Saved::Refused;
        }
        std::optional<Entry> entry = findEntry();
        if (!Tag.isEmpty() && !entry) {
            context.messenger->ask(QStringLiteral("no lo encuentro"), QStringLiteral("Quillomar"),
                                   Messenger::Icon::None, Messenger::Ok);
            forgetEntry();
        }
        StoreResult written = StoreResult::ok();
        if (entry) {
            entry->time = Text2->text();
            entry->text = text;
            entry->alarmTime = AlarmTime;
            written = entries.update(*entry);
        } else {
            written = entries.add({-1, m_diary.SelectedDate, Text2->text(), text, {}, {}});
            // From now on the strip works on the entry just added.
            if (written)
                Tag = QString::number(written.key());
        }
        if (!written) {
            EntryWrite::tellNotWritten(context.messenger,
                                       QStringLiteral("No se ha podido guardar la entrada «%1» del %2")
                                           .arg(text, DateText::fromDate(m_diary.SelectedDate)),
                                       written.why());
            result = Saved::Failed;
        }
    } else if (!LongNote.isEmpty()) {
        context.messenger->tell(
            QStringLiteral("No puede eliminarse la entrada si no elimina primero el texto largo asociado."),
            QStringLiteral("Atención"), Messenger::Icon::Critical);
    } else if (!Tag.isEmpty()) {
        // An entry that is already gone needs no deleting; nothing else is touched.
        if (const StoreResult removed = entries.remove(entryNumber()); !removed) {
            EntryWrite::tellNotWritten(context.messenger,
                                       QStringLiteral("No se ha podido borrar la entrada del %1")
                                           .arg(DateText::fromDate(m_diary.SelectedDate)),
                                       removed.why());
            result = Saved::Failed;
        }
    }
    resetSpinners();
    return result;
}

void Form2::closeWithSave()
{
    if (SaveEntry() != Saved::Refused)
        QDialog::accept();
}

void Form2::reject()
{
    closeWithSave();
}

void Form2::Image1_Click(int index)
{
    switch (index) {
    case 2:
        closeWithSave();
        break;
    case 3:
        if (Text1->text().isEmpty())
            return;
        if (!AlarmTime.isEmpty()) {
            AlarmTime.clear();
            SaveEntry();
            return;
        }
        if (SaveEntry() != Saved::Done)
            return;
        openAlarmTime();
        break;
    case 4:
        if (Text1->text().isEmpty())
            return;
        if (SaveEntry() != Saved::Done)
            return;
        openLongNote();
        break;
    default:
        break;
    }
}

void Form2::openAlarmTime()
{
    Form5 alarm(m_diary, m_context, *this, entryNumber(), parentWidget());
    alarm.Text2->setText(Text2->text());
    alarm.exec();
    Form_Activate();
}

void Form2::openLongNote()
{
    Form4 editor(m_diary, m_context, *this, entryNumber(), parentWidget());
    editor.Label1->setText(Text1->text());
    editor.Text1->setPlainText(LongNote);
    editor.exec();
    Form_Activate();
}

void Form2::showAlarmToolTip()
{
    Image1[3]->setToolTipText(AlarmTime.isEmpty()
                                  ? QStringLiteral("Clic para Activar Alarma")
                                  : QStringLiteral("Alarma a las %1. Clic para Desactivar Alarma").arg(AlarmTime));
}

void Form2::Timer1_Timer()
{
    m_alarmBlink = (m_alarmBlink + 1) % 9;
    ImageButton *button = Image1[3];
    button->setPicture(AlarmTime.isEmpty() ? QStringLiteral("entry-alarm") : QStringLiteral("entry-alarm-on"));
    if (AlarmTime.isEmpty() || button->isHidden())
        button->show();
    else if (m_alarmBlink == 4)
        button->hide();
}

void Form2::Timer2_Timer()
{
    m_context.IdleCount = 0;
    m_noteBlink = (m_noteBlink + 1) % 50;
    ImageButton *button = Image1[4];
    if (LongNote.isEmpty() || button->isHidden())
        button->show();
    else if (m_noteBlink % 5 == 0)
        button->hide();
}

bool Form2::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            closeWithSave();
            return true;
        }
    } else if (watched == Text2 && event->type() == QEvent::FocusOut && !m_checkingTime) {
        // Only a move to another control of the strip is checked: leaving the window, or a click
        // on an image button (which takes no focus), is not.
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        QWidget *next = QApplication::focusWidget();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && next && next != Text2 &&
            isAncestorOf(next))
            Text2_LostFocus();
    } else if (watched == Image1[3] && (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter)) {
        showAlarmToolTip();
    }
    return QDialog::eventFilter(watched, event);
}
