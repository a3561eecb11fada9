#include "ClockShake.h"

#include "widgets/Twips.h"

#include <QWidget>
#include <algorithm>

namespace {

// A shake is ten trips 400 twips out and back, a frame out and a frame back each, over half a
// second: read as a tremble, and the fewest frames that show every trip.
constexpr int ShakeTrips = 10;
constexpr int ShakeReachTwips = 400;
constexpr int ShakeFrameMs = 25;

} // namespace

ClockShake::ClockShake(QWidget &window)
    : QObject(&window)
    , m_window(window)
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
    m_reach = reach();
    if (m_inside) {
        m_restWidth = m_window.width();
        m_shift = 0;
        m_parts.clear();
        for (QObject *object : m_window.children()) {
            auto *child = qobject_cast<QWidget *>(object);
            if (!child || child->isWindow())
                continue;
            Part part{child, child->x() >= m_restWidth, child->testAttribute(Qt::WA_OpaquePaintEvent)};
            if (part.beyond) {
                // A closed panel stays out of the room the window takes for the card's trips.
                child->move(child->pos() + QPoint(m_reach, 0));
            } else {
                // The window paints nothing of its own, and its translucent surface is cleared
                // wherever it is painted again: a part may then be taken as covering its place,
                // which lets Qt move the pixels it already holds at each frame, not paint it anew.
                child->setAttribute(Qt::WA_OpaquePaintEvent);
            }
            m_parts.push_back(part);
        }
        std::stable_sort(m_parts.begin(), m_parts.end(),
                         [](const Part &a, const Part &b) { return a.widget->x() < b.widget->x(); });
        // Place and size together: a size alone lets some window managers place the window anew.
        m_window.setGeometry(QRect(m_base, QSize(m_restWidth + m_reach, m_window.height())));
    }
    m_step = 0;
    showStep();
    m_timer.start();
}

void ClockShake::showStep()
{
    // Out on the even frames, back on the odd ones; each place is measured from where the shake
    // began, so rounding twips to pixels never leaves the card a pixel off when it is over.
    const int shift = m_step % 2 == 0 ? m_reach : 0;
    if (m_inside)
        shiftParts(shift);
    else
        m_window.move(m_base + QPoint(shift, 0));
}

void ClockShake::shiftParts(int shift)
{
    const int delta = shift - m_shift;
    if (delta == 0)
        return;
    m_shift = shift;
    // Each part goes where no other part stands yet (the rightmost first on the way out, the
    // leftmost first on the way back), so that its pixels can be moved rather than painted.
    const auto move = [delta](Part &part) {
        if (part.widget && !part.beyond)
            part.widget->move(part.widget->pos() + QPoint(delta, 0));
    };
    if (delta > 0)
        std::for_each(m_parts.rbegin(), m_parts.rend(), move);
    else
        std::for_each(m_parts.begin(), m_parts.end(), move);
}

void ClockShake::restoreParts()
{
    for (Part &part : m_parts) {
        if (!part.widget)
            continue;
        const int offset = part.beyond ? m_reach : m_shift;
        if (offset != 0)
            part.widget->move(part.widget->pos() - QPoint(offset, 0));
        part.widget->setAttribute(Qt::WA_OpaquePaintEvent, part.wasOpaque);
    }
    m_parts.clear();
    m_shift = 0;
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
        restoreParts();
        m_window.setGeometry(QRect(m_base, QSize(m_restWidth, m_window.height())));
    } else {
        m_window.move(m_base);
    }
}

int ClockShake::cardShift() const
{
    return m_inside ? m_shift : 0;
}

int ClockShake::restWidth() const
{
    return m_inside ? m_restWidth : m_window.width();
}
