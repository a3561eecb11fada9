// CardLabel: a text of the desktop clock's card, put back from a copy of how it looked.
#pragma once

#include <QImage>
#include <QLabel>
#include <QPointer>
#include <array>

// A text over the card: the time, which blinks twice a second all day, the weekday and the date.
// The card under them stays the same: each face a text shows (the minute with its colon and
// without it) is drawn once, card and letters together as the window draws them, and put back
// unchanged afterwards. The text covers its place, so neither the card under it nor its letters
// are drawn anew at a blink, nor when a shake widens the window and draws the card again.
class CardLabel final : public QLabel
{
public:
    // `card`: the picture under the text.
    CardLabel(QWidget *card, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Face
    {
        QString text;
        QImage image;
    };

    const Face *shownFace() const;
    QImage cardUnder() const;
    void keepFace();
    void forgetFaces();

    QPointer<QWidget> m_card;
    std::array<Face, 2> m_faces; // the last two, with and without the colon
    int m_nextFace = 0;
    bool m_drawing = false; // drawing a face to keep: the label paints as a plain one
    bool m_keepPending = false;
};
