#pragma once

#include <QDialog>
#include <QTimer>
#include <array>

class Diary;
struct AppContext;
class QLabel;
class QLineEdit;
class QPushButton;

// The card dialog: one phone card typed in, a new one or the one the last search found. It has no
// data of its own: it writes into the record DataTelefonos stands on, which the phone book has
// placed there (for a new card, an empty record it has just added). Every way of closing asks
// whether anything is left: a card with every box empty is deleted.
class Form7 final : public QDialog
{
    Q_OBJECT

public:
    Form7(Diary &diary, AppContext &context, QWidget *parent);
    ~Form7() override;

    static constexpr int Columns = 12;

    // Box i edits column i of telefonos, in the table's order, from NOMBRE to PAIS.
    std::array<QLineEdit *, Columns> Text1{};
    std::array<QLabel *, Columns> Label1{};
    QPushButton *Command1; // "Guardar"
    QTimer Timer1; // keeps IdleCount at 0

    // Fills the boxes from the record DataTelefonos stands on, a Null column as empty text.
    void loadCard();

    void Command1_Click();
    void Form_QueryUnload();
    void Timer1_Timer();

public slots:
    // Every closing (after "Guardar", the close button, Escape) passes here.
    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool allBoxesEmpty() const;

    Diary &m_diary;
    AppContext &m_context;
};
