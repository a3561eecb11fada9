#pragma once

#include "widgets/Section.h"

#include <QDate>
#include <array>

class Diary;
struct AppContext;
class ImageButton;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The text search over the diary: finds the entries whose short text or note holds a text,
// ignoring case and the accents of vowels, first, previous, next or last in the order they were
// added, shows the one found and offers its week. What is typed into the found entry's boxes is
// written to that entry when the box is left.
class TextSearch final : public Section
{
    Q_OBJECT

public:
    TextSearch(Diary &diary, AppContext &context, QWidget *parent);
    ~TextSearch() override;

    QString title() const override;
    void layoutSection() override { LayoutSearch(); }
    void enter() override;
    void activated() override;

    void LayoutSearch();
    void Text1_KeyPress();
    void Command2_Click(int index);
    void Command4_Click();

    // The entry on show (its numero), or -1 before the first find.
    qint64 shownEntry() const { return m_shownKey; }

    QGroupBox *Frame2 = nullptr;
    QLineEdit *Text1 = nullptr;
    // By index: previous, next, first, last; shown first, previous, next, last.
    std::array<ImageButton *, 4> Command2{};
    QPushButton *Command4 = nullptr;
    QGroupBox *Frame3 = nullptr;
    QLabel *Label5 = nullptr;
    QGroupBox *Frame4 = nullptr;
    QLineEdit *Text2 = nullptr;
    QGroupBox *Frame5 = nullptr;
    QPlainTextEdit *Text3 = nullptr;
    QFrame *Picture3 = nullptr;
    QLabel *Label6 = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void showEntry();
    void showNotFound();
    void highlight(const QString &s);
    void reloadShown();
    void saveSubject();
    void saveNote();
    void saveTyping();
    int px(double twips) const;

    Diary &m_diary;
    AppContext &m_context;
    qint64 m_shownKey = -1;
    QDate m_shownDate;
};
