#include "BookCover.h"

#include "widgets/ArtCache.h"
#include "widgets/Theme.h"
#include "widgets/Twips.h"
#include "widgets/WindowDrag.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>

namespace {
const QString CoverArt = QStringLiteral("cover");
} // namespace

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

void BookCover::paintEvent(QPaintEvent *event)
{
    const qreal ratio = devicePixelRatioF();
    if (m_coverSize != size() || m_coverRatio != ratio)
        keepCover(ratio);
    QPainter painter(this);
    // Only the pieces where the window is repainted: most repaints are of a few panels.
    const QRegion &exposed = event->region();
    for (const auto &[at, picture] : m_pieces)
        if (exposed.intersects(QRect(at, picture.deviceIndependentSize().toSize())))
            painter.drawPixmap(at, picture);
    for (const QRect &plain : m_plainPaper)
        if (exposed.intersects(plain))
            painter.fillRect(plain, Theme::Paper);
}

// The cover is drawn once for each size: the window repaints often (the sweep over the day texts,
// the blinking tab), the cover only changes with the size. Only what is not plain paper is kept
// as a picture; the middle of each page, most of the window, is one colour, filled as it is
// painted.
void BookCover::keepCover(qreal ratio)
{
    m_coverSize = size();
    m_coverRatio = ratio;
    m_pieces.clear();
    m_plainPaper.clear();
    // Each start draws the window at the size it had last time: the cover drawn then is read back.
    // Read back, the cover still reads the kept file: only copies of its pieces stay.
    const QImage kept = ArtCache::find(CoverArt, size() * ratio, ratio).image;
    QPixmap whole;
    if (!kept.isNull()) {
        whole = QPixmap::fromImage(kept);
    } else {
        whole = QPixmap(size() * ratio);
        whole.setDevicePixelRatio(ratio);
        {
            QPainter coverPainter(&whole);
            paintCover(coverPainter);
        }
        // Once a session: a resize draws a new cover at every step.
        if (!m_coverKept) {
            m_coverKept = true;
            ArtCache::keep(CoverArt, whole.toImage());
        }
    }
    const QRect left = plainPaper(false);
    const QRect right = plainPaper(true);
    const auto keepWhole = [this, &whole, &kept] {
        m_pieces.push_back({QPoint(), kept.isNull() ? whole : QPixmap::fromImage(kept.copy())});
    };
    if (ratio != 1 || left.isEmpty() || right.isEmpty() || left.top() != right.top() ||
        left.bottom() != right.bottom() || left.right() >= right.left()) {
        keepWhole();
        return;
    }
    const QImage image = whole.toImage();
    const QRgb paper = Theme::Paper.rgb();
    for (const QRect &plain : {left, right})
        for (int y = plain.top(); y <= plain.bottom(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            if (!std::all_of(line + plain.left(), line + plain.right() + 1,
                             [paper](QRgb pixel) { return pixel == paper; })) {
                keepWhole();
                return;
            }
        }
    m_plainPaper = {left, right};
    const int w = width();
    const QRect pieces[] = {
        QRect(0, 0, w, left.top()),
        QRect(0, left.bottom() + 1, w, height() - left.bottom() - 1),
        QRect(0, left.top(), left.left(), left.height()),
        QRect(left.right() + 1, left.top(), right.left() - left.right() - 1, left.height()),
        QRect(right.right() + 1, left.top(), w - right.right() - 1, left.height()),
    };
    for (const QRect &piece : pieces)
        if (!piece.isEmpty())
            m_pieces.push_back({piece.topLeft(), whole.copy(piece)});
}

// The middle of a page, clear of its edges and of where it curves into the binding, in whole
// pixels: only paper.
QRect BookCover::plainPaper(bool right) const
{
    const QRectF sheet = page(right);
    const double curve = std::min(36.0, page(false).width() / 5) + 4;
    const QRectF inner = sheet.adjusted(right ? curve : 6, 6, right ? -6 : -curve, -6);
    const QPoint topLeft(int(std::ceil(inner.left())), int(std::ceil(inner.top())));
    const QPoint bottomRight(int(std::floor(inner.right())) - 1, int(std::floor(inner.bottom())) - 1);
    return QRect(topLeft, bottomRight);
}

// The two cream pages curve into the spine, where the binding's stitches show.
void BookCover::paintCover(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF all = rect();

    QLinearGradient leather(all.topLeft(), all.bottomRight());
    leather.setColorAt(0, QColor(0x6b, 0x42, 0x26));
    leather.setColorAt(0.55, QColor(0x58, 0x36, 0x1f));
    leather.setColorAt(1, QColor(0x4a, 0x2e, 0x1c));
    painter.fillRect(all, leather);
    // A faint grain, the same on every paint.
    QRandomGenerator grain(7);
    painter.setPen(QColor(0, 0, 0, 18));
    for (int n = 0; n < width() * height() / 900; ++n) {
        const double x = grain.bounded(width());
        const double y = grain.bounded(height());
        painter.drawLine(QPointF(x, y), QPointF(x + 2 + grain.bounded(3), y + grain.bounded(2)));
    }
    QPen stitch(QColor(0xd9, 0xb8, 0x7c, 150), 1.2, Qt::CustomDashLine);
    stitch.setDashPattern({4, 3});
    painter.setPen(stitch);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(all.adjusted(6.5, 6.5, -6.5, -6.5), 8, 8);

    const QRectF leftPage = page(false);
    const QRectF rightPage = page(true);
    for (const QRectF &sheet : {leftPage, rightPage}) {
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
    painter.fillRect(QRectF(spineLeft - curve, top, curve, bottom - top), intoLeft);
    QLinearGradient intoRight(spineRight, 0, spineRight + curve, 0);
    intoRight.setColorAt(0, QColor(120, 90, 50, 70));
    intoRight.setColorAt(1, QColor(120, 90, 50, 0));
    painter.fillRect(QRectF(spineRight, top, curve, bottom - top), intoRight);

    QLinearGradient binding(spineLeft, 0, spineRight, 0);
    binding.setColorAt(0, QColor(0x3a, 0x22, 0x14));
    binding.setColorAt(0.5, QColor(0x5a, 0x38, 0x22));
    binding.setColorAt(1, QColor(0x3a, 0x22, 0x14));
    painter.fillRect(QRectF(spineLeft, top - 4, spineRight - spineLeft, bottom - top + 8), binding);
    painter.setPen(QPen(QColor(0xe8, 0xdc, 0xc0, 200), 1.4));
    const double middle = (spineLeft + spineRight) / 2;
    for (double y = top + 14; y < bottom - 10; y += 22)
        painter.drawLine(QPointF(middle - 3, y), QPointF(middle + 3, y + 6));
}
