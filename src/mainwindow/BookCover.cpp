#include "BookCover.h"

#include "widgets/Theme.h"
#include "widgets/Twips.h"
#include "widgets/WindowDrag.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QRandomGenerator>
#include <cmath>
#include <sys/mman.h>

BookCover::BookCover(WindowDrag &drag, QWidget *parent)
    : QWidget(parent)
    , m_drag(drag)
{
    setObjectName(QStringLiteral("Image1"));
    setMouseTracking(true);
}

int BookCover::px(double twips) const
{
    return Twips::toPixels(twips, screen());
}

QRect BookCover::spine() const
{
    const double width = Twips::fromPixels(this->width(), screen());
    return QRect(px((width - SpineTwips) / 2), 0, px(SpineTwips), height());
}

// The paper reaches a little under the leather's edges, where the stitched line runs round it.
QRectF BookCover::page(bool right) const
{
    const QRect binding = spine();
    const double top = px(EdgeTwips) - px(330);
    const double bottom = height() - px(EdgeTwips) + px(150);
    if (right)
        return QRectF(binding.right() + 1, top, width() - px(300) - binding.right() - 1, bottom - top);
    return QRectF(px(300), top, binding.left() - px(300), bottom - top);
}

void BookCover::mousePressEvent(QMouseEvent *event)
{
    const QPointF at = event->position();
    m_pressedAt.reset();
    if (event->button() == Qt::LeftButton && !page(false).contains(at) && !page(true).contains(at))
        m_pressedAt = event->globalPosition().toPoint();
}

void BookCover::mouseMoveEvent(QMouseEvent *event)
{
    emit pointerMoved();
    if (m_pressedAt && !m_drag.active() && (event->buttons() & Qt::LeftButton) &&
        (event->globalPosition().toPoint() - *m_pressedAt).manhattanLength() >= QApplication::startDragDistance()) {
        m_drag.begin(event, *m_pressedAt);
        m_pressedAt.reset();
    }
    m_drag.pointerMoved(event);
}

void BookCover::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressedAt.reset();
    m_drag.pointerReleased(event);
}

void BookCover::mouseDoubleClickEvent(QMouseEvent *)
{
    emit doubleClicked();
}

// Only what the exposed region shows is drawn: the window repaints often (the sweep over the day
// texts, the blinking tab), mostly small parts of the paper. It is drawn as it always was, onto a
// picture of the whole cover laid on the window, so that the stitches' dashes and the leather's
// shading come out the same whatever part is drawn; but the picture lives in memory of its own,
// whose pages the system only provides where they are drawn on, and which all goes back at once.
// Kept, a whole picture would hold a copy of the window's pixels for the session.
void BookCover::paintEvent(QPaintEvent *event)
{
    const QRect exposed = event->region().boundingRect() & rect();
    if (exposed.isEmpty())
        return;
    const qreal ratio = devicePixelRatioF();
    // Whole rows, along which the shading is worked out from the left end; whole device pixels
    // only: a part at a fractional ratio would fall between them.
    QRect rows = rect();
    if (ratio == std::floor(ratio))
        rows = QRect(0, exposed.top(), width(), exposed.height());
    const QSize pixels = size() * ratio;
    const qsizetype bytesPerLine = qsizetype(pixels.width()) * 4;
    const size_t length = size_t(bytesPerLine) * size_t(pixels.height());
    void *memory = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        return;
    {
        QImage canvas(static_cast<uchar *>(memory), pixels.width(), pixels.height(), bytesPerLine,
                      QImage::Format_RGB32);
        canvas.setDevicePixelRatio(ratio);
        {
            QPainter canvasPainter(&canvas);
            paintCover(canvasPainter, exposed, rows);
        }
        QPainter painter(this);
        painter.drawImage(rows.topLeft(), canvas, QRectF(QPointF(rows.topLeft()) * ratio, QSizeF(rows.size()) * ratio));
    }
    munmap(memory, length);
}

// The two cream pages curve into the spine, where the binding's stitches show.
// Each stroke and shape is drawn whole or not at all, never cut by a clip, which would round its
// edge differently; whole rows of the plain fills are drawn, from their left ends.
void BookCover::paintCover(QPainter &painter, const QRect &exposed, const QRect &rows)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF all = rect();
    const QRectF leftPage = page(false);
    const QRectF rightPage = page(true);
    // A stroke reaches a pixel or so past its line; these margins leave room for it.
    const QRectF shown = QRectF(exposed).adjusted(-3, -3, 3, 3);
    // The opaque paper hides whatever lies under it, except near its rounded edges.
    const QRectF underLeft = leftPage.adjusted(6, 6, -6, -6);
    const QRectF underRight = rightPage.adjusted(6, 6, -6, -6);

    QLinearGradient leather(all.topLeft(), all.bottomRight());
    leather.setColorAt(0, QColor(0x6b, 0x42, 0x26));
    leather.setColorAt(0.55, QColor(0x58, 0x36, 0x1f));
    leather.setColorAt(1, QColor(0x4a, 0x2e, 0x1c));
    const QRectF band = rows;
    painter.fillRect(all & band, leather);
    // A faint grain, the same on every paint: the same numbers are drawn for every stroke, shown
    // or not.
    QRandomGenerator grain(7);
    painter.setPen(QColor(0, 0, 0, 18));
    for (int n = 0; n < width() * height() / 900; ++n) {
        const double x = grain.bounded(width());
        const double y = grain.bounded(height());
        const double down = grain.bounded(2);
        const double across = grain.bounded(3);
        const QLineF stroke(QPointF(x, y), QPointF(x + 2 + across, y + down));
        // Never empty, also for a level stroke.
        const QRectF box = QRectF(stroke.p1(), stroke.p2()).normalized().adjusted(-1, -1, 1, 1);
        if (shown.intersects(box) && !underLeft.contains(box) && !underRight.contains(box))
            painter.drawLine(stroke);
    }
    QPen stitch(QColor(0xd9, 0xb8, 0x7c, 150), 1.2, Qt::CustomDashLine);
    stitch.setDashPattern({4, 3});
    painter.setPen(stitch);
    painter.setBrush(Qt::NoBrush);
    const QRectF stitched = all.adjusted(6.5, 6.5, -6.5, -6.5);
    // The stitched line is only drawn where the exposed region reaches it (its corners round off
    // inside the rectangle, 8 pixels at most).
    if (!stitched.adjusted(11, 11, -11, -11).contains(shown))
        painter.drawRoundedRect(stitched, 8, 8);

    for (const QRectF &sheet : {leftPage, rightPage}) {
        if (!shown.intersects(sheet.adjusted(-2, -2, 4, 5)))
            continue;
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 70));
        painter.drawRoundedRect(sheet.translated(1.5, 2.5), 3, 3);
        painter.setBrush(Theme::Paper);
        painter.drawRoundedRect(sheet, 3, 3);
    }
    // The paper darkens where it curves into the binding.
    const double spineLeft = leftPage.right();
    const double spineRight = rightPage.left();
    const double top = leftPage.top();
    const double bottom = leftPage.bottom();
    const double curve = std::min(36.0, leftPage.width() / 5);
    QLinearGradient intoLeft(spineLeft - curve, 0, spineLeft, 0);
    intoLeft.setColorAt(0, QColor(120, 90, 50, 0));
    intoLeft.setColorAt(1, QColor(120, 90, 50, 70));
    painter.fillRect(QRectF(spineLeft - curve, top, curve, bottom - top) & band, intoLeft);
    QLinearGradient intoRight(spineRight, 0, spineRight + curve, 0);
    intoRight.setColorAt(0, QColor(120, 90, 50, 70));
    intoRight.setColorAt(1, QColor(120, 90, 50, 0));
    painter.fillRect(QRectF(spineRight, top, curve, bottom - top) & band, intoRight);

    QLinearGradient binding(spineLeft, 0, spineRight, 0);
    binding.setColorAt(0, QColor(0x3a, 0x22, 0x14));
    binding.setColorAt(0.5, QColor(0x5a, 0x38, 0x22));
    binding.setColorAt(1, QColor(0x3a, 0x22, 0x14));
    painter.fillRect(QRectF(spineLeft, top - 4, spineRight - spineLeft, bottom - top + 8) & band, binding);
    painter.setPen(QPen(QColor(0xe8, 0xdc, 0xc0, 200), 1.4));
    const double middle = (spineLeft + spineRight) / 2;
    for (double y = top + 14; y < bottom - 10; y += 22)
        if (shown.intersects(QRectF(middle - 5, y - 2, 10, 10)))
            painter.drawLine(QPointF(middle - 3, y), QPointF(middle + 3, y + 6));
}
