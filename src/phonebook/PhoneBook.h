#pragma once

#include "widgets/Section.h"

#include <array>

class Diary;
struct AppContext;
class QComboBox;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;

// The phone and address book over telefonos: a search box that is also the sorted list of every
// name, the card found, and the buttons that add, edit and delete cards. The card the buttons act
// on is the record DataTelefonos stands on, wherever the last search left it; after the names are
// listed it stands on none, so "Editar" and "Borrar" wait for a search.
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
    // The card of the record DataTelefonos stands on: the name in capitals, an empty line, then
    // one line for each of the phones, e-mails and address parts that hold something.
    QString cardText() const;

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
    // Runs the card dialog on the record DataTelefonos stands on.
    void runCardDialog(const QString &caption, bool filled);

    Diary &m_diary;
    AppContext &m_context;
};
