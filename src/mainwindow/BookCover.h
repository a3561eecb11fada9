#pragma once

#include <QPixmap>
#include <QRect>
#include <QWidget>
#include <optional>
#include <utility>
#include <vector>

class WindowDrag;

// The book's cover: one piece of dark leather with a stitched line inside its edge, the two cream
// pages laid on it and the spine between them. The week view lies on it. Dragging the leather (the
// edges and the spine, not the paper) moves the window; a double click on the cover or on the
// paper asks for the window to be maximised or restored.
class BookCover final : public QWidget
{
    Q_OBJECT

public:
    // The leather around the pages, in twips: the side edges, the top and bottom edges, the spine.
    static constexpr double SideTwips = 900;
    static constexpr double EdgeTwips = 600;
    static constexpr double SpineTwips = 480;

    BookCover(WindowDrag &drag, QWidget *parent);

    // The spine down the middle, in pixels.
    QRect spine() const;

signals:
    void doubleClicked();
    // The pointer moves over the cover (not over what lies on it).
    void pointerMoved();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QRectF page(bool right) const;
    QRect plainPaper(bool right) const;
    void paintCover(QPainter &painter);
    void keepCover(qreal ratio);
    int px(double twips) const;

    WindowDrag &m_drag;
    // Where the left button went down on the leather. The window moves only once the pointer
    // does: a click or a double click never hands the pointer to the window system.
    std::optional<QPoint> m_pressedAt;
    // The cover drawn for this size: pictures of all but the plain paper, placed where they go.
    QSize m_coverSize;
    qreal m_coverRatio = 0;
    bool m_coverKept = false;
    std::vector<std::pair<QPoint, QPixmap>> m_pieces;
    std::vector<QRect> m_plainPaper;
};
