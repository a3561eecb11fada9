// Form4: the long note editor of one diary entry.
#pragma once

#include <QDialog>
#include <QTimer>
#include <array>

class Diary;
struct AppContext;
class ImageButton;
class QFrame;
class QLabel;
class QPlainTextEdit;

// The long note editor: the free text that belongs to one diary entry besides its short text.
// It opens under the entry strip, as wide as the strip, and writes the note into that entry
// through the diary's entry store. Every way of closing saves.
class Form4 final : public QDialog
{
    Q_OBJECT

public:
    // entry: the numero of the entry the strip has just saved.
    Form4(Diary &diary, AppContext &context, const QWidget &strip, qint64 entry, QWidget *parent);
    ~Form4() override;

    QLabel *Label1; // the entry's short text
    QPlainTextEdit *Text1; // the note
    QWidget *Picture1; // the white panel of the buttons
    // 0 "Cerrar Texto Largo", 1 "Restaurar" (only while maximised), 2 "Maximizar".
    std::array<ImageButton *, 3> Image1{};
    QFrame *Line1;
    QFrame *Line2;
    QFrame *Line3;
    QFrame *Line4;
    QTimer Timer1; // keeps IdleCount at 0
    void Timer1_Timer();

    void Image1_Click(int index);
    void Form_Activate();

    static constexpr double NormalPointSize = 8.25;

public slots:
    void reject() override; // Escape or the window system's close: saves like Image1(0)

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Form_Resize();
    void saveAndClose();

    Diary &m_diary;
    AppContext &m_context;
    qint64 m_entry;
};
