// The book follows the window: every size change lays the cover and the tabs over the whole
// window, the week's day panels on the two pages, the chrome in the corners, and lays out the
// open section.
#include "Form1.h"

#include "BookCover.h"
#include "TabStrip.h"
#include "agenda/WeekView.h"
#include "widgets/ImageButton.h"
#include "widgets/PictureBox.h"
#include "widgets/ResizeGrip.h"
#include "widgets/Section.h"
#include "widgets/SectionPanel.h"

#include <QFontMetrics>
#include <QLabel>

void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_cover->setGeometry(rect());
    m_week->setGeometry(m_cover->rect());
    m_tabs->setGeometry(rect());
    Form_Resize();
}

QSize Form1::minimumSizeHint() const
{
    return QSize(px(MinimumWidthTwips) + I2->width(), px(MinimumHeightTwips) + I2->height());
}

void Form1::Form_Resize()
{
    const bool minimized = windowState() & Qt::WindowMinimized;
    if (!minimized) {
        const double W = tw(width());
        const double H = tw(height());

        // The two pages: Monday to Wednesday on the left, Thursday to Sunday on the right.
        const QRect spine = m_cover->spine();
        const double pageWidth = std::max(0.0, (W - 2 * BookCover::SideTwips - BookCover::SpineTwips) / 2);
        const double third = std::max(0.0, (H - 2 * BookCover::EdgeTwips) / 3);
        m_week->LayoutWeek(BookCover::SideTwips, tw(spine.x()) + tw(spine.width()), BookCover::EdgeTwips, pageWidth,
                           third, H);

        // Chrome buttons, the corner ornament and the grip.
        Image5[0]->move(width() - px(180) - Image5[0]->width(), px(180));
        Image5[1]->move(Image5[0]->x() - Image5[0]->width() - px(30), px(180));
        Image5[2]->move(Image5[1]->pos());
        Image11->move(width() - px(180) - Image11->width(), height() - px(180) - Image11->height());
        I2->move(width() - I2->width(), height() - I2->height());
        I2->raise();

        for (int k : {1, 0, 2, 3})
            if (m_panels[k] && !m_panels[k]->isHidden())
                LayoutSection(k);
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
