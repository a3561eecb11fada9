#include "Form3.h"

#include "data/AppContext.h"
#include "data/DateText.h"
#include "data/DayStore.h"
#include "data/Diary.h"
#include "data/EntryWrite.h"
#include "data/Messenger.h"
#include "widgets/DialogSupport.h"
#include "widgets/ImageButton.h"
#include "widgets/Theme.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QLineEdit *makeTextBox(QWidget *parent, const char *name, const QString &frameTitle, QLayout *into)
{
    auto *frame = new QGroupBox(frameTitle, parent);
    auto *box = new QLineEdit(frame);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(frameTitle);
    box->setMaxLength(50);
    Theme::paintEntryBox(*box);
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(6, 2, 6, 6);
    layout->addWidget(box);
    into->addWidget(frame);
    return box;
}

void colourText(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

} // namespace

Form3::Form3(Diary &diary, AppContext &context, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_diary(diary)
    , m_context(context)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Estado del Día"));
    setModal(true);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 4, 4, 8);
    outer->setSpacing(4);

    auto *top = new QHBoxLayout;
    Option1[0] = new QRadioButton(QStringLiteral("Laborable"), this);
    Option1[1] = new QRadioButton(QStringLiteral("Festivo"), this);
    colourText(Option1[0], QColor(0, 0, 255));
    colourText(Option1[1], QColor(192, 0, 0));
    Check1 = new QCheckBox(QStringLiteral("Fijo"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Image5 = new ImageButton(QStringLiteral("dialog-close"), QStringLiteral("Cerrar"), this);
    Image5->setObjectName(QStringLiteral("Image5"));
    Image5->setFocusPolicy(Qt::NoFocus);
    Image5->setFixedSize(DialogSupport::toPixels(*this, 285), DialogSupport::toPixels(*this, 285));
    for (int i = 0; i < 2; ++i) {
        Option1[size_t(i)]->setObjectName(QStringLiteral("Option1(%1)").arg(i));
        top->addWidget(Option1[size_t(i)]);
        connect(Option1[size_t(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                Option1_Click(i);
        });
    }
    top->addWidget(Check1);
    top->addStretch();
    top->addWidget(Image5, 0, Qt::AlignTop);
    outer->addLayout(top);

    Text1 = makeTextBox(this, "Text1", QStringLiteral("Texto de la Fecha"), outer);
    Text2 = makeTextBox(this, "Text2", QStringLiteral("Texto del Día"), outer);
    Text1->installEventFilter(this);
    Text2->installEventFilter(this);
    setTabOrder(Option1[0], Option1[1]);
    setTabOrder(Option1[1], Check1);
    setTabOrder(Check1, Text1);
    setTabOrder(Text1, Text2);

    connect(Image5, &ImageButton::clicked, this, &Form3::SaveDayStatus);
    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &Form3::Timer1_Timer);
    Timer1.start();

    setStyleSheet(QStringLiteral("#Form3 { border: 1px solid #404040; background: white; }"));
    resize(DialogSupport::toPixels(*this, 3600), sizeHint().height());
    resetToDesign();
}

Form3::~Form3() = default;

void Form3::placeAt(double leftTwips, double topTwips)
{
    DialogSupport::placeAt(*this, leftTwips, topTwips);
}

void Form3::resetToDesign()
{
    Tag.clear();
    Option1[0]->setChecked(true);
    Check1->setChecked(false);
    Check1->setEnabled(false);
    Text1->clear();
    Text2->clear();
}

void Form3::Option1_Click(int index)
{
    if (index == 1) {
        Check1->setEnabled(true);
        return;
    }
    if (Tag.endsWith(u'6')) {
        if (m_refusing)
            return;
        m_refusing = true;
        Option1[1]->setChecked(true);
        m_context.messenger->tell(QStringLiteral("No se puede marcar un domingo como laborable"),
                                  QStringLiteral("Atención"), Messenger::Icon::Critical);
        m_refusing = false;
        return;
    }
    Check1->setChecked(false);
    Check1->setEnabled(false);
}

void Form3::SaveDayStatus()
{
    AppContext &context = m_context;
    const QString date = Tag.left(10);
    const QDate day = DateText::toDate(date);
    if (!day.isValid()) {
        EntryWrite::tellNotWritten(context.messenger, QStringLiteral("No se ha podido guardar el estado del día"),
                                   QStringLiteral("«%1» no es una fecha").arg(date));
    } else {
        // The store keeps a row while it says something (a flag or a text) and deletes it then.
        DayStore &days = m_diary.days();
        if (const StoreResult yearly = days.saveYearly({day.day(), day.month(), Text1->text(), Check1->isChecked()});
            !yearly) {
            EntryWrite::tellNotWritten(
                context.messenger,
                QStringLiteral("No se ha podido guardar el texto y el festivo de todos los %1").arg(date.left(5)),
                yearly.why());
        }
        if (const StoreResult own = days.save({day, Text2->text(), Option1[1]->isChecked()}); !own) {
            EntryWrite::tellNotWritten(
                context.messenger, QStringLiteral("No se ha podido guardar el estado del día %1").arg(date), own.why());
        }
    }
    QDialog::accept();
}

void Form3::Timer1_Timer()
{
    m_context.IdleCount = 0;
}

void Form3::reject()
{
    SaveDayStatus();
}

void Form3::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        resetToDesign();
}

bool Form3::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == Text1 || watched == Text2) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            SaveDayStatus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
