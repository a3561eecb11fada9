#include "CardLabel.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

CardLabel::CardLabel(QWidget *card, QWidget *parent)
    : QLabel(parent)
    , m_card(card)
{
    // It paints the card under its letters itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CardLabel::forgetFaces()
{
    m_faces = {};
}

void CardLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
    case QEvent::EnabledChange:
    case QEvent::ParentChange:
        forgetFaces();
        break;
    default:
        break;
    }
}

void CardLabel::moveEvent(QMoveEvent *event)
{
    QLabel::moveEvent(event);
    forgetFaces();
}

void CardLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    forgetFaces();
}

const CardLabel::Face *CardLabel::shownFace() const
{
    for (const Face &face : m_faces)
        if (!face.image.isNull() && face.text == text() && face.image.devicePixelRatio() == devicePixelRatioF())
            return &face;
    return nullptr;
}

void CardLabel::paintEvent(QPaintEvent *event)
{
    if (m_drawing) {
        QLabel::paintEvent(event);
        return;
    }
    const QRect dirty = event->rect();
    const qreal ratio = devicePixelRatioF();
    const QRectF source(QPointF(dirty.topLeft()) * ratio, QSizeF(dirty.size()) * ratio);
    if (const Face *face = shownFace()) {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QRectF(dirty), face->image, source);
        return;
    }
    // A face not seen yet: the card under the letters, then the letters over it, as the window
    // would draw them; the copy is made once this paint is over.
    const QImage card = cardUnder();
    {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QRectF(dirty), card, source);
    }
    QLabel::paintEvent(event);
    if (!m_keepPending) {
        m_keepPending = true;
        QMetaObject::invokeMethod(this, &CardLabel::keepFace, Qt::QueuedConnection);
    }
}

// The card where the text stands, on a clear surface of the kind the window draws on.
QImage CardLabel::cardUnder() const
{
    const qreal ratio = devicePixelRatioF();
    QImage image(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    if (m_card)
        m_card->render(&image, QPoint(), QRegion(QRect(m_card->mapFrom(parentWidget(), pos()), size())),
                       QWidget::RenderFlags());
    return image;
}

void CardLabel::keepFace()
{
    m_keepPending = false;
    if (shownFace() || size().isEmpty())
        return;
    Face &face = m_faces[m_nextFace];
    m_nextFace = (m_nextFace + 1) % int(m_faces.size());
    face.text = text();
    face.image = cardUnder();
    m_drawing = true;
    render(&face.image, QPoint(), QRegion(rect()), QWidget::RenderFlags());
    m_drawing = false;
}
