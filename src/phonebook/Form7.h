// Form7: the card dialog of the phone book.
#pragma once

#include "data/Card.h"

#include <QDialog>
#include <QTimer>
#include <array>

class Diary;
struct AppContext;
class QLabel;
class QLineEdit;
class QPushButton;

// The card dialog: one phone card typed in, a new one or the one the last search found, saved
// through the diary's card store. Every way of closing asks whether anything is left: a card with
// every box empty is deleted, and a new one is not added.
class Form7 final : public QDialog
{
    Q_OBJECT

public:
    Form7(Diary &diary, AppContext &context, QWidget *parent);
    ~Form7() override;

    static constexpr int Columns = Card::FieldCount;

    // Box i edits column i of telefonos, in the table's order, from NOMBRE to PAIS.
    std::array<QLineEdit *, Columns> Text1{};
    std::array<QLabel *, Columns> Label1{};
    QPushButton *Command1; // "Guardar"
    QTimer Timer1; // keeps IdleCount at 0

    // The card to edit: its texts go into the boxes, and "Guardar" writes over it. Without one
    // the dialog adds a new card.
    void setCard(const Card &card);

    void Command1_Click();
    void Form_QueryUnload();
    void Timer1_Timer();

public slots:
    // Every closing (after "Guardar", the close button, Escape) passes here.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool allBoxesEmpty() const;

    qint64 m_key = -1; // the card edited; -1 for a new one

    Diary &m_diary;
    AppContext &m_context;
};
