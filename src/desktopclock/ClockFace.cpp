#include "ClockFace.h"

#include "CardLabel.h"

#include "data/Clock.h"
#include "data/DateText.h"
#include "widgets/Picture.h"
#include "widgets/PictureBox.h"
#include "widgets/Twips.h"

#include <QLabel>
#include <QMouseEvent>
#include <algorithm>

namespace {

// The card's size when its drawing cannot be read, in logical pixels.
constexpr QSize FallbackCardSize(200, 120);

const QColor Ink(59, 36, 21);

QString capitalised(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

} // namespace

ClockFace::ClockFace(Clock &clock, QWidget *parent)
    : QWidget(parent)
    , m_clock(clock)
{
    setObjectName(QStringLiteral("face"));
    Image1 = new PictureBox(QStringLiteral("widget-card"), this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setMouseTracking(true);
    QSize card = Picture::naturalSize(QStringLiteral("widget-card"));
    if (!card.isValid() || card.isEmpty())
        card = FallbackCardSize;
    Image1->resize(card);
    resize(card);
    connect(Image1, &PictureBox::mousePressed, this, &ClockFace::pointerPressed);
    connect(Image1, &PictureBox::mouseMoved, this, &ClockFace::pointerMoved);
    connect(Image1, &PictureBox::mouseReleased, this, &ClockFace::pointerReleased);
    connect(Image1, &PictureBox::doubleClicked, this, &ClockFace::doubleClicked);

    const auto makeLabel = [this](const QString &name, const QFont &font) {
        QLabel *label = new CardLabel(Image1, this);
        label->setObjectName(name);
        label->setFont(font);
        label->setAlignment(Qt::AlignCenter);
        label->setMouseTracking(true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Ink);
        label->setPalette(palette);
        label->installEventFilter(this);
        return label;
    };
    // The time stands on the card's lowest ruled band, which is barely taller than its figures.
    Label1[0] = makeLabel(QStringLiteral("Label1(0)"), faceFont(23, true));
    Label1[0]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label2[0] = makeLabel(QStringLiteral("Label2(0)"), faceFont(14, true));
    Label3[0] = makeLabel(QStringLiteral("Label3(0)"), faceFont(13, false));
}

QFont ClockFace::faceFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("Liberation Serif"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void ClockFace::layOut()
{
    Image1->move(0, 0);
    const int line = Twips::toPixels(240, screen());
    // The time's box is only as wide as its widest figures: the colon's blink then repaints that
    // box, not a band across the whole translucent card.
    const QFontMetrics figures(Label1[0]->font());
    const int timeWidth = std::max(figures.horizontalAdvance(QStringLiteral("00:00")),
                                   figures.horizontalAdvance(QStringLiteral("00 00"))) +
        2;
    Label1[0]->setGeometry(0, height() - 2 * line, std::min(timeWidth, width()), std::min(2 * line, figures.height()));
    Label2[0]->setGeometry(0, line, width(), line);
    Label3[0]->setGeometry(0, 2 * line, width(), line);
    for (QLabel *label : {Label1[0], Label2[0], Label3[0]}) {
        CenterLabel(label);
        label->raise();
    }
}

void ClockFace::CenterLabel(QLabel *label)
{
    label->move((width() - label->width()) / 2, label->y());
}

void ClockFace::showTime(bool colon)
{
    showTime(colon, m_clock.now());
}

void ClockFace::showTime(bool colon, const QDateTime &now)
{
    Label1[0]->setText(now.time().toString(colon ? QStringLiteral("HH:mm") : QStringLiteral("HH mm")));
}

bool ClockFace::showToday()
{
    return showToday(m_clock.today());
}

bool ClockFace::showToday(const QDate &today)
{
    if (today == m_shownDay)
        return false;
    m_shownDay = today;
    const QLocale locale = DateText::spanishLocale();
    Label2[0]->setText(capitalised(locale.dayName(today.dayOfWeek(), QLocale::LongFormat)));
    Label3[0]->setText(locale.toString(today, QLocale::ShortFormat));
    return true;
}

bool ClockFace::eventFilter(QObject *watched, QEvent *event)
{
    if ((event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) &&
        (watched == Label2[0] || watched == Label3[0])) {
        static_cast<QLabel *>(watched)->setToolTip(
            DateText::spanishLocale().toString(m_clock.today(), QLocale::LongFormat).toUpper());
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        emit pointerPressed(static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::MouseMove:
        emit pointerMoved(static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::MouseButtonRelease:
        emit pointerReleased(static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::MouseButtonDblClick:
        emit doubleClicked();
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}
