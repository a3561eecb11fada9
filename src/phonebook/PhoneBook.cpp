#include "PhoneBook.h"

#include "Form7.h"
#include "PhoneSearch.h"
#include "data/AppContext.h"
#include "data/CardStore.h"
#include "data/Diary.h"
#include "data/EntryWrite.h"
#include "data/Messenger.h"
#include "data/Schema.h"
#include "data/store/Criterion.h"
#include "widgets/DialogSupport.h"
#include "widgets/Theme.h"

#include <QApplication>
#include <QCollator>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>

namespace {

// Sizes in twips.
constexpr double Margin = 120;
constexpr double ButtonWidth = 1095;
constexpr double ButtonHeight = 375;
constexpr double FrameTitle = 270;

// The lines of a card after its name, in order; FAX, EMAIL3 and PAIS are kept but not shown.
struct CardLine
{
    const char *label;
    Card::Field field;
};
const CardLine CardLines[] = {
    {"Teléfono 1: ", Card::Phone1}, {"Teléfono 2: ", Card::Phone2},  {"Teléfono 3: ", Card::Phone3},
    {"EMAIL 1: ", Card::Email1},    {"EMAIL 2: ", Card::Email2},     {"Dirección: ", Card::Address},
    {"Población: ", Card::Town},    {"Provincia: ", Card::Province},
};

QGroupBox *makeFrame(const QString &title, const char *name, QWidget *parent)
{
    auto *frame = new QGroupBox(title, parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setFont(Theme::serif(11, false, true));
    QPalette ink = frame->palette();
    ink.setColor(QPalette::WindowText, Theme::Ink);
    frame->setPalette(ink);
    return frame;
}

} // namespace

PhoneBook::PhoneBook(Diary &diary, AppContext &context, QWidget *parent)
    : Section(QStringLiteral("PictureTelefonos"), parent)
    , m_diary(diary)
    , m_context(context)
{
    // The frames' titles are in the book's serif; what is typed and shown inside them is not.
    QFont plain = QApplication::font();
    plain.setResolveMask(QFont::AllPropertiesResolved);

    Frame1 = makeFrame(QStringLiteral("Buscando..."), "Frame1", this);
    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setFont(plain);
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    // What is typed stays as typed: completing it from the names would change the search.
    Combo1->setCompleter(nullptr);
    Combo1->lineEdit()->setPlaceholderText(QStringLiteral("Intro Teléfono, Nombre o parte de él"));
    Combo1->setAccessibleName(QStringLiteral("Buscando..."));
    Combo1->setAccessibleDescription(QStringLiteral("Intro Teléfono, Nombre o parte de él"));
    Combo1->setMaxVisibleItems(20);
    Theme::paintEntryBox(*Combo1);
    // An editable combo box keeps the focus itself and hands typed keys straight on to its line
    // edit, past any filter there: the keys are watched where they arrive.
    Combo1->installEventFilter(this);
    connect(Combo1, &QComboBox::activated, this, &PhoneBook::Combo1_Click);
    connect(Combo1, &QComboBox::editTextChanged, this, &PhoneBook::Combo1_Change);
    // Pasting with the mouse changes the text without a key.
    connect(Combo1->lineEdit(), &QLineEdit::textEdited, this, [this] { NewPhoneSearch = true; });

    Frame6 = makeFrame(QStringLiteral("Encontrados"), "Frame6", this);
    Text4 = new QPlainTextEdit(Frame6);
    Text4->setObjectName(QStringLiteral("Text4"));
    Text4->setFont(plain);
    Text4->setAccessibleName(QStringLiteral("Encontrados"));
    // The card is shown, not edited here: changes go through "Editar".
    Text4->setReadOnly(true);
    Text4->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QPalette card = Text4->palette();
    card.setColor(QPalette::Base, Theme::Paper.lighter(103));
    card.setColor(QPalette::Text, Qt::black);
    Text4->setPalette(card);

    const struct
    {
        const char *caption;
        const char *toolTip;
    } buttons[3] = {{"Añadir", "Añadir Nuevos Datos"}, {"Editar", nullptr}, {"Borrar", "Borrar Ficha"}};
    for (int i = 0; i < 3; ++i) {
        auto *button = new QPushButton(QString::fromUtf8(buttons[i].caption), this);
        button->setObjectName(QStringLiteral("Command3(%1)").arg(i));
        if (buttons[i].toolTip) {
            button->setToolTip(QString::fromUtf8(buttons[i].toolTip));
            button->setAccessibleDescription(button->toolTip());
        }
        button->setFont(plain);
        connect(button, &QPushButton::clicked, this, [this, i] { Command3_Click(i); });
        Command3[size_t(i)] = button;
    }
    setTabOrder(Combo1, Command3[0]);
    setTabOrder(Command3[0], Command3[1]);
    setTabOrder(Command3[1], Command3[2]);
    setTabOrder(Command3[2], Text4);

    // Whoever wrote the cards, the names list shows them as they now stand.
    connect(&m_diary, &Diary::changed, this, [this](const DiaryChange &change) {
        if (change.touches(DiaryChange::Kind::Cards) && !m_listingNames)
            LoadPhoneNames();
    });
}

PhoneBook::~PhoneBook() = default;

QString PhoneBook::title() const
{
    return QStringLiteral("Teléfonos");
}

void PhoneBook::layoutSection()
{
    auto px = [this](double twips) { return DialogSupport::toPixels(*this, twips); };
    auto atLeast0 = [](int value) { return std::max(0, value); };
    const int w = width();
    const int h = height();
    const int buttonWidth = px(ButtonWidth);
    const int buttonHeight = px(ButtonHeight);

    // The buttons line up leftwards from the right edge, "Editar" outermost.
    const int top = px(Margin);
    Command3[1]->setGeometry(w - px(Margin) - buttonWidth, top, buttonWidth, buttonHeight);
    Command3[0]->setGeometry(Command3[1]->x() - px(60) - buttonWidth, top, buttonWidth, buttonHeight);
    Command3[2]->setGeometry(Command3[0]->x() - px(Margin) - buttonWidth, top, buttonWidth, buttonHeight);

    const int comboHeight = Combo1->sizeHint().height();
    Frame1->setGeometry(px(Margin), top + buttonHeight + px(Margin), atLeast0(w - px(2 * Margin)),
                        px(FrameTitle) + comboHeight + px(Margin));
    Combo1->setGeometry(px(Margin), px(FrameTitle), atLeast0(w - px(4 * Margin)), comboHeight);

    Frame6->setGeometry(Frame1->x(), Frame1->y() + Frame1->height(), Frame1->width(),
                        atLeast0(h - Frame1->height() - Frame1->y() - px(2 * Margin)));
    Text4->setGeometry(px(Margin), px(2 * Margin), Combo1->width(), atLeast0(Frame6->height() - px(3 * Margin)));
}

void PhoneBook::enter()
{
    LoadPhoneNames();
    Combo1->setFocus();
}

void PhoneBook::LoadPhoneNames()
{
    Combo1->clear();
    Combo1->clearEditText();
    // A card never saved has no name: it goes before the names are listed.
    m_listingNames = true;
    m_diary.cards().removeUnnamed();
    m_listingNames = false;
    RecordCursor &cards = m_diary.DataTelefonos;
    if (!cards.Refresh() || cards.RecordCount() == 0)
        return;
    QStringList names;
    cards.ReadAll({Schema::Telefonos::Nombre}, [&names](const QVariantList &row) { names << row[0].toString(); });
    // Past the last card, as after walking the table: no card is current until a search finds one.
    cards.MoveLast();
    cards.MoveNext();
    QCollator collator(QLocale(QLocale::Spanish, QLocale::Spain));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(names.begin(), names.end(), collator);
    Combo1->addItems(names);
    Combo1->setCurrentIndex(-1);
    Combo1->clearEditText();
}

void PhoneBook::Combo1_KeyPress(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter) {
        NewPhoneSearch = true;
        return;
    }
    const QString searched = Combo1->currentText();
    const Criterion criterion = PhoneSearch::criterionFor(searched);
    RecordCursor &cards = m_diary.DataTelefonos;
    // With no card found yet (nothing typed, or the names just listed) the search starts at the
    // first card, as after typing.
    bool found = false;
    if (NewPhoneSearch || !cards.hasCurrent()) {
        found = cards.FindFirst(criterion);
        NewPhoneSearch = false;
    } else {
        found = cards.FindNext(criterion);
    }
    if (found && !cards.NoMatch()) {
        ShowCard();
        m_shownSearch = searched;
        return;
    }
    m_shownSearch.clear();
    Combo1->setEditText(QStringLiteral("No se encontró"));
    Combo1->lineEdit()->selectAll();
    Text4->clear();
    Combo1->setFocus();
}

void PhoneBook::Combo1_Click(int index)
{
    if (index < 0)
        return;
    RecordCursor &cards = m_diary.DataTelefonos;
    if (cards.FindFirst(Criterion::textEquals(Schema::Telefonos::Nombre, Combo1->itemText(index)))) {
        ShowCard();
        // A name chosen from the list is one card, no search.
        m_shownSearch.clear();
    }
}

void PhoneBook::Combo1_Change(const QString &text)
{
    if (text.isEmpty()) {
        Text4->clear();
        m_shownSearch.clear();
    }
}

QString PhoneBook::cardText(const Card &card)
{
    QString text = card.name().toUpper() + QStringLiteral("\n\n");
    for (const CardLine &line : CardLines) {
        const QString &value = card.fields[size_t(line.field)];
        if (!value.isEmpty())
            text += QString::fromUtf8(line.label) + value + u'\n';
    }
    return text;
}

void PhoneBook::ShowCard()
{
    const std::optional<Card> card = m_diary.cards().card(m_diary.DataTelefonos.currentKey());
    Text4->setPlainText(card ? cardText(*card) : QString());
}

void PhoneBook::Command3_Click(int index)
{
    switch (index) {
    case 0:
        addCard();
        break;
    case 1:
        editCard();
        break;
    case 2:
        deleteCard();
        break;
    default:
        break;
    }
}

void PhoneBook::runCardDialog(const QString &caption, const Card &card)
{
    Form7 dialog(m_diary, m_context, window());
    dialog.setWindowTitle(caption);
    if (card.key >= 0)
        dialog.setCard(card);
    dialog.exec();
}

// After a card dialog the names are listed again, whatever it saved, so "Editar" and "Borrar"
// wait for a new search.
void PhoneBook::addCard()
{
    runCardDialog(QStringLiteral("Añadir Nuevo"), Card());
    LoadPhoneNames();
}

void PhoneBook::editCard()
{
    const std::optional<Card> card = m_diary.cards().card(m_diary.DataTelefonos.currentKey());
    if (!card)
        return;
    runCardDialog(QStringLiteral("Editar Datos de..."), *card);
    // The card box shows the card as it now stands, or nothing once it was deleted.
    const std::optional<Card> now = m_diary.cards().card(card->key);
    LoadPhoneNames();
    Text4->setPlainText(now ? cardText(*now) : QString());
}

void PhoneBook::deleteCard()
{
    const std::optional<Card> card = m_diary.cards().card(m_diary.DataTelefonos.currentKey());
    if (!card)
        return;
    const Messenger::Button answer =
        m_context.messenger->ask(QStringLiteral("¿Desea borrar los datos de %1?").arg(card->name()),
                                 QStringLiteral("Atención"), Messenger::Icon::Question, Messenger::Yes | Messenger::No);
    if (answer != Messenger::Yes)
        return;
    // Done, the names are listed again as the diary tells of the change.
    if (const StoreResult result = m_diary.cards().remove(card->key); !result) {
        EntryWrite::tellNotWritten(m_context.messenger, QStringLiteral("No se ha podido borrar la ficha"),
                                   result.why());
        return;
    }
    Text4->clear();
}

bool PhoneBook::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Combo1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        Combo1_KeyPress(key);
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return Section::eventFilter(watched, event);
}
