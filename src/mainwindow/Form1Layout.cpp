// The book follows the window: every size change places the cover's pieces, the two pages with
// their day panels, the captions, buttons and tabs, and lays out the open section.
#include "Form1.h"

#include "agenda/WeekView.h"
#include "widgets/ClickLabel.h"
#include "widgets/ImageButton.h"
#include "widgets/PictureBox.h"
#include "widgets/Section.h"
#include "widgets/SectionPanel.h"
#include "widgets/TabShape.h"
#include "widgets/Theme.h"

#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <cmath>

void Form1::setGeometryTwips(QWidget *widget, double left, double top, double width, double height)
{
    widget->setGeometry(px(left), px(top), std::max(0, px(width)), std::max(0, px(height)));
}

void Form1::moveTwips(QWidget *widget, double left, double top)
{
    widget->move(px(left), px(top));
}

double Form1::leftTw(const QWidget *widget) const
{
    return tw(widget->x());
}

double Form1::topTw(const QWidget *widget) const
{
    return tw(widget->y());
}

double Form1::widthTw(const QWidget *widget) const
{
    return tw(widget->width());
}

double Form1::heightTw(const QWidget *widget) const
{
    return tw(widget->height());
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_week->setGeometry(rect());
    Form_Resize();
}

void Form1::Form_Resize()
{
    const bool minimized = windowState() & Qt::WindowMinimized;
    if (!minimized) {
        const double W = tw(width());
        const double H = tw(height());
        auto w = [this](int k) { return widthTw(Image1[k]); };
        auto h = [this](int k) { return heightTw(Image1[k]); };

        moveTwips(Image1[17], 0, 0);
        moveTwips(Image1[16], W - w(16), 0);
        moveTwips(Image1[2], 0, H - h(2));
        moveTwips(Image1[1], W - w(1), H - h(1));
        moveTwips(Image1[11], 0, h(17));
        moveTwips(Image1[9], 0, H - h(2) - h(9));
        moveTwips(Image1[10], 0, (H - h(10)) / 2);
        moveTwips(Image1[8], W - w(8), h(16));
        moveTwips(Image1[6], W - w(6), H - h(1) - h(6));
        moveTwips(Image1[7], W - w(7), (H - h(7)) / 2);
        moveTwips(Image1[19], (W - w(19)) / 2, 0);
        moveTwips(Image1[20], (W - w(20)) / 2, h(19));
        moveTwips(Image1[18], (W - w(18)) / 2, H - h(18));
        moveTwips(Image1[21], (W - w(21)) / 2, H - h(18) - h(21));
        moveTwips(Image1[24], (W - w(24)) / 2, (H - h(24)) / 2);
        moveTwips(Image1[25], (W - w(25)) / 2, (H - h(25)) / 3);
        moveTwips(Image1[26], (W - w(26)) / 2, 2 * (H - h(26)) / 3);
        auto chainLeft = [&](int from, std::initializer_list<int> pieces, auto top) {
            double left = leftTw(Image1[from]);
            for (int k : pieces) {
                left -= w(k);
                moveTwips(Image1[k], left, top(k));
            }
        };
        auto chainRight = [&](int from, std::initializer_list<int> pieces, auto top) {
            double left = leftTw(Image1[from]) + w(from);
            for (int k : pieces) {
                moveTwips(Image1[k], left, top(k));
                left += w(k);
            }
        };
        auto atTop = [](int) { return 0.0; };
        auto atBottom = [&](int k) { return H - h(k); };
        chainLeft(16, {15, 14, 23}, atTop);
        chainRight(17, {12, 13, 22}, atTop);
        chainLeft(1, {5, 4, 28}, atBottom);
        chainRight(2, {0, 3, 27}, atBottom);

        // The two pages: Monday to Wednesday on the left, Thursday to Sunday on the right.
        const double pageWidth = std::max(0.0, (W - 2 * w(10) - w(19)) / 2);
        const double third = std::max(0.0, (H - 2 * h(22)) / 3);
        m_week->LayoutWeek(w(10), leftTw(Image1[19]) + w(19), h(12), pageWidth, third, H);

        // Chrome buttons, the corner ornament and the tabs on the right edge.
        moveTwips(Image5[0], W - 180 - widthTw(Image5[0]), 180);
        moveTwips(Image5[1], leftTw(Image5[0]) - widthTw(Image5[0]) - 30, 180);
        moveTwips(Image5[2], leftTw(Image5[1]), 180);
        moveTwips(Image11, W - 180 - widthTw(Image11), H - 180 - heightTw(Image11));
        for (int k = 0; k < 4; ++k) {
            moveTwips(SolapaD[k], W - widthTw(SolapaD[k]), topTw(SolapaI[k + 1]));
            moveTwips(ImagenI[k], W - widthTw(ImagenI[k]) - 480, topTw(Image7[k + 1]));
        }
        moveTwips(I2, W - widthTw(I2), H - heightTw(I2));
        I2->raise();

        for (int k : {1, 0, 2, 3})
            if (!m_panels[k]->isHidden())
                LayoutSection(k);
        m_cover = QPixmap(); // the pages follow the pieces just placed
        update();
    }

    const bool normal = !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    Image5[2]->setVisible(!normal);
    Image5[1]->setVisible(normal);
}

// The left page becomes the section's title page, its picture centred under the title; the
// section's panel covers the right page and the section lays out its own controls on it.
void Form1::LayoutSection(int index)
{
    PictureBox *marker = Markers[index];
    for (int k = 0; k < 4; ++k)
        if (k != index && (index != 0 || k == 1))
            Markers[k]->hide();
    marker->show();
    const QRect frame = m_week->sectionPage(false);
    Picture1->setGeometry(frame);
    m_panels[index]->setGeometry(m_week->sectionPage(true));
    m_panels[index]->show();

    const QSize natural = marker->sizeHint();
    const int side = std::max(0, std::min({natural.width(), frame.width() - px(240), frame.height() / 2}));
    const int titleHeight = QFontMetrics(Label2->font()).height() + 6;
    marker->setGeometry((frame.width() - side) / 2, (frame.height() - side) / 2 + titleHeight, side, side);
    Label2->setGeometry(0, marker->y() - titleHeight, frame.width(), titleHeight);
    if (m_sections[index])
        m_sections[index]->layoutSection();
}

// The book is drawn once for each size and kept: the window repaints often (the clock of the
// sweep, the blinking tab), the cover and pages only change with the size.
void Form1::paintEvent(QPaintEvent *)
{
    const qreal ratio = devicePixelRatioF();
    if (m_cover.size() != size() * ratio || m_cover.devicePixelRatio() != ratio) {
        m_cover = QPixmap(size() * ratio);
        m_cover.setDevicePixelRatio(ratio);
        QPainter coverPainter(&m_cover);
        paintCover(coverPainter);
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_cover);
}

// The cover is one piece of dark leather with a stitched line inside its edge; the two cream
// pages curve into the spine, where the binding's stitches show.
void Form1::paintCover(QPainter &painter)
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

    const double spineLeft = Image1[19]->x();
    const double spineRight = spineLeft + Image1[19]->width();
    const double top = Image1[12]->height() - px(330);
    const double bottom = height() - Image1[22]->height() + px(150);
    const QRectF leftPage(px(300), top, spineLeft - px(300), bottom - top);
    const QRectF rightPage(spineRight, top, width() - px(300) - spineRight, bottom - top);
    const QColor paper = Theme::Paper;
    for (const QRectF &page : {leftPage, rightPage}) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 70));
        painter.drawRoundedRect(page.translated(1.5, 2.5), 3, 3);
        painter.setBrush(paper);
        painter.drawRoundedRect(page, 3, 3);
    }
    // The paper darkens where it curves into the binding.
    const double curve = std::min(36.0, leftPage.width() / 5);
    QLinearGradient intoLeft(spineLeft - curve, 0, spineLeft, 0);
    intoLeft.setColorAt(0, QColor(120, 90, 50, 0));
    intoLeft.setColorAt(1, QColor(120, 90, 50, 70));
    painter.fillRect(QRectF(spineLeft - curve, top, curve, bottom - top), intoLeft);
    QLinearGradient intoRight(spineRight, 0, spineRight + curve, 0);
    intoRight.setColorAt(0, QColor(120, 90, 50, 70));
    intoRight.setColorAt(1, QColor(120, 90, 50, 0));
    painter.fillRect(QRectF(spineRight, top, curve, bottom - top), intoRight);

    QLinearGradient spine(spineLeft, 0, spineRight, 0);
    spine.setColorAt(0, QColor(0x3a, 0x22, 0x14));
    spine.setColorAt(0.5, QColor(0x5a, 0x38, 0x22));
    spine.setColorAt(1, QColor(0x3a, 0x22, 0x14));
    painter.fillRect(QRectF(spineLeft, top - 4, spineRight - spineLeft, bottom - top + 8), spine);
    painter.setPen(QPen(QColor(0xe8, 0xdc, 0xc0, 200), 1.4));
    const double middle = (spineLeft + spineRight) / 2;
    for (double y = top + 14; y < bottom - 10; y += 22)
        painter.drawLine(QPointF(middle - 3, y), QPointF(middle + 3, y + 6));
}
