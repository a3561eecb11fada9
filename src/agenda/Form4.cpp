#include "Form4.h"

#include "data/AppContext.h"
#include "data/Diary.h"
#include "data/EntryStore.h"
#include "data/EntryWrite.h"
#include "widgets/DialogSupport.h"
#include "widgets/ImageButton.h"
#include "widgets/Theme.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>

namespace {

constexpr double ButtonTwips = 285;
constexpr double TextTop = 420;

QFrame *makeLine(QWidget *parent, const char *name)
{
    auto *line = new QFrame(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, QColor(64, 64, 64));
    line->setPalette(palette);
    return line;
}

} // namespace

Form4::Form4(Diary &diary, AppContext &context, const QWidget &strip, qint64 entry, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_diary(diary)
    , m_context(context)
    , m_entry(entry)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Texto Largo"));
    setModal(true);

    Label1 = new QLabel(QStringLiteral("Asunto"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    QPalette labelPalette = Label1->palette();
    labelPalette.setColor(QPalette::WindowText, QColor(192, 0, 0));
    Label1->setPalette(labelPalette);

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setToolTip(QStringLiteral("Texto Largo"));
    Text1->setAccessibleName(QStringLiteral("Texto Largo"));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Theme::paintEntryBox(*Text1);
    QFont noteFont = Text1->font();
    noteFont.setPointSizeF(NormalPointSize);
    Text1->setFont(noteFont);

    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAutoFillBackground(true);
    QPalette white = Picture1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Picture1->setPalette(white);
    const int side = DialogSupport::toPixels(*this, ButtonTwips);
    DialogSupport::addButtonRow(*Picture1,
                                {{2, "dialog-maximize", "Maximizar"},
                                 {1, "dialog-restore", "Restaurar"},
                                 {0, "dialog-close", "Cerrar Texto Largo"}},
                                side, [this](int index, ImageButton *button) {
                                    Image1[size_t(index)] = button;
                                    connect(button, &ImageButton::clicked, this,
                                            [this, index] { Image1_Click(index); });
                                });
    Image1[1]->hide(); // Restaurar takes Maximizar's place only while maximised
    Picture1->setFixedSize(2 * side, side);

    Line1 = makeLine(this, "Line1");
    Line2 = makeLine(this, "Line2");
    Line3 = makeLine(this, "Line3");
    Line4 = makeLine(this, "Line4");

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &Form4::Timer1_Timer);
    Timer1.start();

    // Directly under the strip and as wide as it; a fifth of the main window high.
    setGeometry(strip.x(), strip.y() + strip.height(), strip.width(), (parent ? parent->height() : 600) / 5);
}

Form4::~Form4() = default;

void Form4::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void Form4::Form_Resize()
{
    auto px = [this](double twips) { return DialogSupport::toPixels(*this, twips); };
    const int w = width();
    const int h = height();
    Line1->setGeometry(0, 0, 1, h);
    Line2->setGeometry(0, 0, w, 1);
    Line3->setGeometry(w - std::max(1, px(10)), 0, 1, h);
    Line4->setGeometry(0, h - std::max(1, px(10)), w, 1);
    Picture1->move(w - Picture1->width() - px(50), px(30));
    Label1->setGeometry(px(120), px(60), std::max(0, Picture1->x() - px(180)), px(ButtonTwips));
    Text1->setGeometry(px(120), px(TextTop), std::max(0, w - px(240)), std::max(0, h - px(TextTop) - px(120)));
}

void Form4::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void Form4::Form_Activate()
{
    Text1->moveCursor(QTextCursor::End);
}

void Form4::Image1_Click(int index)
{
    QFont font = Text1->font();
    switch (index) {
    case 0:
        saveAndClose();
        break;
    case 2:
        showMaximized();
        Image1[1]->show();
        Image1[2]->hide();
        font.setPointSizeF(12);
        Text1->setFont(font);
        break;
    case 1:
        showNormal();
        Image1[2]->show();
        Image1[1]->hide();
        font.setPointSizeF(8);
        Text1->setFont(font);
        break;
    default:
        break;
    }
}

void Form4::saveAndClose()
{
    if (const StoreResult written = m_diary.entries().setNote(m_entry, Text1->toPlainText()); !written) {
        EntryWrite::tellNotWritten(
            m_context.messenger,
            QStringLiteral("No se ha podido guardar el texto largo de la entrada «%1»").arg(Label1->text()),
            written.why());
    }
    QDialog::accept();
}

void Form4::Timer1_Timer()
{
    m_context.IdleCount = 0;
}

void Form4::reject()
{
    saveAndClose();
}
