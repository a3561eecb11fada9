#include "Form7.h"

#include "data/AppContext.h"
#include "data/CardStore.h"
#include "data/Diary.h"
#include "data/EntryWrite.h"
#include "data/Messenger.h"
#include "widgets/DialogSupport.h"
#include "widgets/Theme.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace {

// The dialog's inner size and rows, in twips.
constexpr double InnerWidth = 5295;
constexpr double InnerHeight = 4950;
constexpr double RowPitch = 360;
constexpr double FirstRow = 120;
constexpr double BoxHeight = 330;
constexpr double LabelLeft = 120;
constexpr double BoxLeft = 1320;
constexpr double Margin = 120;
constexpr double ButtonWidth = 1215;
constexpr double ButtonHeight = 375;

// Each box is labelled after the column it edits.
const char *const ColumnLabels[Form7::Columns] = {
    "Nombre",  "Teléfono 1", "Teléfono 2", "Teléfono 3", "Fax",       "Email 1",
    "Email 2", "Email 3",    "Dirección",  "Población",  "Provincia", "País",
};

} // namespace

Form7::Form7(Diary &diary, AppContext &context, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_diary(diary)
    , m_context(context)
{
    setObjectName(QStringLiteral("Form7"));
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose, false);

    QPalette paper = palette();
    paper.setColor(QPalette::Window, Theme::Paper);
    paper.setColor(QPalette::WindowText, Theme::Ink);
    setPalette(paper);
    setAutoFillBackground(true);

    auto px = [this](double twips) { return DialogSupport::toPixels(*this, twips); };
    for (int i = 0; i < Columns; ++i) {
        const QString caption = QString::fromUtf8(ColumnLabels[i]);
        const int top = px(FirstRow + i * RowPitch);
        Label1[size_t(i)] = new QLabel(caption, this);
        Label1[size_t(i)]->setObjectName(QStringLiteral("Label1(%1)").arg(i));
        Label1[size_t(i)]->setFont(Theme::serif(10));
        Label1[size_t(i)]->setGeometry(px(LabelLeft), top, px(BoxLeft - LabelLeft - 60), px(BoxHeight));
        Label1[size_t(i)]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

        auto *box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("Text1(%1)").arg(i));
        box->setAccessibleName(caption);
        box->setGeometry(px(BoxLeft), top, px(InnerWidth - BoxLeft - Margin), px(BoxHeight));
        box->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid %1; padding: 0 3px; background: %2; }")
                               .arg(Theme::PaperEdge.darker(120).name(), Theme::EntryBox.name()));
        Label1[size_t(i)]->setBuddy(box);
        Text1[size_t(i)] = box;
    }

    Command1 = new QPushButton(QStringLiteral("Guardar"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    Command1->setGeometry(px(InnerWidth - Margin - ButtonWidth), px(FirstRow + Columns * RowPitch + 60),
                          px(ButtonWidth), px(ButtonHeight));
    connect(Command1, &QPushButton::clicked, this, &Form7::Command1_Click);

    for (int i = 1; i < Columns; ++i)
        setTabOrder(Text1[size_t(i - 1)], Text1[size_t(i)]);
    setTabOrder(Text1[Columns - 1], Command1);

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &Form7::Timer1_Timer);
    Timer1.start();

    setFixedSize(px(InnerWidth), px(InnerHeight));
}

Form7::~Form7() = default;

void Form7::setCard(const Card &card)
{
    m_key = card.key;
    for (int i = 0; i < Columns; ++i)
        Text1[size_t(i)]->setText(card.fields[size_t(i)]);
}

void Form7::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Text1[0]->setFocus();
}

void Form7::keyPressEvent(QKeyEvent *event)
{
    // Escape would close the dialog and drop what was typed: only the close button closes it.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Form7::Command1_Click()
{
    Card card;
    card.key = m_key;
    for (int i = 0; i < Columns; ++i)
        card.fields[size_t(i)] = Text1[size_t(i)]->text();
    const StoreResult result = m_key < 0 ? m_diary.cards().add(card) : m_diary.cards().update(card);
    // Unsaved, the dialog stays open with everything typed, so the user can mend it, try again or
    // copy it.
    if (result.status() == StoreResult::Status::Refused) {
        m_context.messenger->tell(result.why(), QStringLiteral("Atención"), Messenger::Icon::Critical);
        Text1[0]->setFocus();
        return;
    }
    if (!result) {
        EntryWrite::tellNotWritten(m_context.messenger, QStringLiteral("No se ha podido guardar la ficha"),
                                   result.why());
        return;
    }
    m_key = result.key();
    accept();
}

bool Form7::allBoxesEmpty() const
{
    return std::all_of(Text1.begin(), Text1.end(), [](const QLineEdit *box) { return box->text().isEmpty(); });
}

void Form7::Form_QueryUnload()
{
    if (!allBoxesEmpty())
        return;
    m_context.messenger->tell(QStringLiteral("Todos los campos están en blanco, la ficha no se dará de alta."),
                              QStringLiteral("Atención"), Messenger::Icon::Information);
    // A new card was never added; an edited one goes.
    if (m_key < 0)
        return;
    if (const StoreResult result = m_diary.cards().remove(m_key); result.status() == StoreResult::Status::Failed)
        EntryWrite::tellNotWritten(m_context.messenger, QStringLiteral("No se ha podido borrar la ficha en blanco"),
                                   result.why());
}

void Form7::done(int result)
{
    Form_QueryUnload();
    QDialog::done(result);
}

void Form7::Timer1_Timer()
{
    m_context.IdleCount = 0;
}
