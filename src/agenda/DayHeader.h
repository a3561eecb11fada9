#pragma once

#include "widgets/ClickLabel.h"

#include <QImage>
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

    // Lays out a caption the header is about to show, and draws it out of sight as it will show on
    // background (its panel's colour then), so that showing it copies it there, or finds the line
    // laid out and its letters drawn.
    void prepare(const QString &caption, const QColor &background);

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
        // The header's pixels with it, drawn ahead, and what they were drawn on and with.
        QImage drawn;
        QColor background;
        QColor pen;
    };
    Laid layOut(const QString &caption) const;
    // Draws laid's caption where the header places it.
    void drawCaption(QPainter &painter, const Laid &laid) const;
    QColor pen() const;
    // The one colour the header stands on: its panel's own, when the panel fills itself with it.
    QColor panelColour() const;
    bool fits(const Laid &laid, const QString &caption) const;
    QRect textArea() const;

    Laid m_shown;
    Laid m_prepared;
};
