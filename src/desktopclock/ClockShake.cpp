#include "ClockShake.h"

#include "widgets/Twips.h"

#include <QPainter>
#include <QRegion>
#include <QWidget>

namespace {

// A shake is ten trips 400 twips out and back, a frame out and a frame back each, over half a
// second: read as a tremble, and the fewest frames that show every trip.
constexpr int ShakeTrips = 10;
constexpr int ShakeReachTwips = 400;
constexpr int ShakeFrameMs = 25;

} // namespace

// While the card shakes inside its window, one picture of it is drawn at each frame's place, over
// the controls, which stay where they are: a frame is then one copy of a picture, not a layout
// and a repaint of every label. Painting every pixel it covers, it keeps the controls beneath
// from being painted at all.
class ClockShake::Cover final : public QWidget
{
public:
    explicit Cover(QWidget *parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

    QImage face;
    int shift = 0;

protected:
    void paintEvent(QPaintEvent *) override
    {
        // Copied, not blended: the picture already holds the card over nothing.
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        const QRect card(QPoint(shift, 0), face.deviceIndependentSize().toSize());
        painter.drawImage(card.topLeft(), face);
        for (const QRect &bare : QRegion(rect()).subtracted(card))
            painter.fillRect(bare, Qt::transparent);
    }
};

ClockShake::ClockShake(QWidget &window)
    : QObject(&window)
    , m_window(window)
    , m_cover(new Cover(&window))
{
    m_timer.setInterval(ShakeFrameMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        // The last trip back is the card settling in its place.
        if (++m_step < 2 * ShakeTrips - 1)
            showStep();
        else
            stop();
    });
}

void ClockShake::start(bool inside)
{
    // Where the card stands now, which the shake comes back to.
    m_base = m_window.pos();
    m_inside = inside;
    if (m_inside) {
        m_restWidth = m_window.width();
        takeFaceSnapshot();
        // Place and size together: a size alone lets some window managers place the window anew.
        m_window.setGeometry(QRect(m_base, QSize(m_restWidth + reach(), m_window.height())));
        m_cover->setGeometry(m_window.rect());
        m_cover->raise();
        m_cover->show();
    }
    m_step = 0;
    showStep();
    m_timer.start();
}

void ClockShake::showStep()
{
    // Out on the even frames, back on the odd ones; each place is measured from where the shake
    // began, so rounding twips to pixels never leaves the card a pixel off when it is over.
    const int shift = m_step % 2 == 0 ? reach() : 0;
    if (m_inside) {
        m_cover->shift = shift;
        // The first frame is painted with the widened window; the others are copies made by the
        // display server where it keeps the picture. Whatever the window paints meanwhile (a
        // colon blink, an uncovered part) is painted at the same place.
        const qreal ratio = m_window.devicePixelRatioF();
        const QRect part(QPoint(qRound((reach() - shift) * ratio), 0), m_window.size() * ratio);
        if (m_step == 0 || !m_frames.show(part))
            m_cover->update();
    } else {
        m_window.move(m_base + QPoint(shift, 0));
    }
}

void ClockShake::faceChanged()
{
    if (!m_inside)
        return;
    takeFaceSnapshot();
    m_cover->update();
}

QImage ClockShake::faceSnapshot() const
{
    const QRect face(0, 0, restWidth(), m_window.height());
    const qreal ratio = m_window.devicePixelRatioF();
    QImage picture(face.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    for (QObject *object : m_window.children()) { // lowest first
        auto *child = qobject_cast<QWidget *>(object);
        if (child && child != m_cover && child->isVisible() && child->geometry().intersects(face))
            child->render(&painter, child->pos(), QRegion(), QWidget::DrawChildren);
    }
    return picture;
}

// The card's picture for the frames of a shake: drawn over the controls by the cover, and, with
// the reach left bare on both of its sides, kept by the display server for the frames it copies.
void ClockShake::takeFaceSnapshot()
{
    m_cover->face = faceSnapshot();
    const int bare = qRound(reach() * m_window.devicePixelRatioF());
    m_frames.prepare(m_window, m_cover->face, QMargins(bare, 0, bare, 0));
}

int ClockShake::reach() const
{
    return Twips::toPixels(ShakeReachTwips, m_window.screen());
}

void ClockShake::stop()
{
    if (!active())
        return;
    m_timer.stop();
    if (m_inside) {
        m_inside = false;
        m_frames.release();
        m_cover->hide();
        m_cover->face = QImage();
        m_window.setGeometry(QRect(m_base, QSize(m_restWidth, m_window.height())));
    } else {
        m_window.move(m_base);
    }
}

int ClockShake::cardShift() const
{
    return m_inside ? m_cover->shift : 0;
}

int ClockShake::restWidth() const
{
    return m_inside ? m_restWidth : m_window.width();
}
