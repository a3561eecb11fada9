#pragma once

#include "widgets/Section.h"

#include <array>

class Diary;
struct AppContext;
struct Card;
class QComboBox;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;

// The phone and address book over telefonos: a search box that is also the sorted list of every
// name, the card found, and the buttons that add, edit and delete cards. The card the buttons act
// on is the record DataTelefonos stands on, wherever the last search left it; after the names are
// listed it stands on none, so "Editar" and "Borrar" wait for a search. Cards are written through
// the diary's card store; the names are listed again whenever the diary says the cards changed.
class PhoneBook final : public Section
{
    Q_OBJECT

public:
    PhoneBook(Diary &diary, AppContext &context, QWidget *parent);
    ~PhoneBook() override;

    QString title() const override;
    void layoutSection() override; // LayoutPhones
    void enter() override;

    void LoadPhoneNames();
    void ShowCard();
    // The card as shown: the name in capitals, an empty line, then one line for each of the
    // phones, e-mails and address parts that hold something.
    static QString cardText(const Card &card);
    // The text of the search whose card is on show (the last Enter that found one); empty when
    // no search is on show.
    QString shownSearch() const { return m_shownSearch; }

    void Combo1_KeyPress(int key);
    void Combo1_Click(int index);
    void Combo1_Change(const QString &text);
    void Command3_Click(int index);

    QGroupBox *Frame1; // "Buscando..."
    QComboBox *Combo1;
    QGroupBox *Frame6; // "Encontrados"
    QPlainTextEdit *Text4;
    std::array<QPushButton *, 3> Command3{}; // 0 "Añadir", 1 "Editar", 2 "Borrar"

    // The search text was typed since the last search: the next Enter starts from the first card.
    bool NewPhoneSearch = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addCard();
    void editCard();
    void deleteCard();
    // Runs the card dialog on card, or on a new card when it has no key.
    void runCardDialog(const QString &caption, const Card &card);

    Diary &m_diary;
    AppContext &m_context;
    QString m_shownSearch;
    bool m_listingNames = false; // the unnamed cards are being removed by LoadPhoneNames itself
};
