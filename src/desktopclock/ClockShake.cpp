#include "ClockShake.h"

#include "widgets/Twips.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
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

    // The card as the window's controls show it now, kept at the window's device pixel ratio.
    void takeFace(const QSize &cardSize)
    {
        m_cardSize = cardSize;
        const qreal ratio = parentWidget()->devicePixelRatio();
        if (face.size() != cardSize * ratio || face.devicePixelRatio() != ratio) {
            face = QPixmap(cardSize * ratio);
            face.setDevicePixelRatio(ratio);
        }
        face.fill(Qt::transparent);
        paintFace(QRect(QPoint(0, 0), cardSize));
    }
    // Paints the controls within `part` of the card into its picture again.
    void paintFace(const QRect &part)
    {
        const QRect area = part & QRect(QPoint(0, 0), m_cardSize);
        QPainter painter(&face);
        painter.setCompositionMode(QPainter::CompositionMode_Clear);
        painter.fillRect(area, Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        for (QObject *object : parentWidget()->children()) { // lowest first
            auto *child = qobject_cast<QWidget *>(object);
            if (!child || child == this || !child->isVisible())
                continue;
            // The part of the child inside `area`, drawn with its top-left corner where it lies.
            const QRect part = area.translated(-child->pos()) & child->rect();
            if (!part.isEmpty())
                child->render(&painter, child->pos() + part.topLeft(), QRegion(part), QWidget::DrawChildren);
        }
    }
    // The card's picture at its place in this frame.
    QRect card() const { return QRect(QPoint(shift, 0), m_cardSize); }

    QPixmap face;
    int shift = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        // Copied, not blended: the picture already holds the card over nothing. The painter
        // keeps to the part asked for: a colon blink copies the time's box alone.
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        if (event->region().intersects(card()))
            painter.drawPixmap(card().topLeft(), face);
        for (const QRect &bare : event->region().subtracted(card()))
            painter.fillRect(bare, Qt::transparent);
    }

private:
    QSize m_cardSize;
};

ClockShake::ClockShake(QWidget &window)
    : QObject(&window)
    , m_window(window)
    , m_cover(new Cover(&window))
{
    m_timer.setInterval(ShakeFrameMs);
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
        m_cover->takeFace(m_window.size());
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
        if (shift != m_cover->shift)
            m_cover->update(m_cover->card() | m_cover->card().translated(shift - m_cover->shift, 0));
        m_cover->shift = shift;
    } else {
        m_window.move(m_base + QPoint(shift, 0));
    }
}

void ClockShake::faceChanged(const QRect &changed)
{
    if (!m_inside)
        return;
    m_cover->paintFace(changed);
    m_cover->update(changed.translated(m_cover->shift, 0));
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
        m_cover->hide();
        m_cover->shift = 0;
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
