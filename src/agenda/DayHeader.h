#pragma once

#include "widgets/ClickLabel.h"

#include <QTextLayout>
#include <memory>

// A day panel's header: its caption on one line, as a label draws it, read and reached like one.
//
// A label the keyboard can reach keeps its text in a document, and lays that out again, at a
// good part of a week's cost, for every new caption: the header lays out its one line itself,
// where the label's document would place it.
class DayHeader final : public ClickLabel
{
    Q_OBJECT

public:
    using ClickLabel::ClickLabel;

    // Shows a caption. The label keeps it as its text, for readers and for text(), without the
    // document a label the keyboard can reach would make for it: the header draws it itself.
    void setText(const QString &caption);

    // Lays out a caption the header is about to show, and draws it once out of sight, so that
    // showing it finds the line laid out and its letters drawn.
    void prepare(const QString &caption);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // A caption laid out for a font and width.
    struct Laid
    {
        QString text;
        QFont font;
        int width = -1;
        std::unique_ptr<QTextLayout> layout;
    };
    Laid layOut(const QString &caption) const;
    bool fits(const Laid &laid, const QString &caption) const;
    QRect textArea() const;

    Laid m_shown;
    Laid m_prepared;
};
