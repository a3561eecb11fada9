#include "EntryLineDelegate.h"

#include "DayList.h"
#include "KeptLines.h"
#include "data/EntryLine.h"
#include "widgets/PixelCopy.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>

void EntryLineDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->text = EntryLine::Visible(option->text);
    option->textElideMode = Qt::ElideRight;
}

const QStaticText &EntryLineDelegate::shapedText(const QString &text, const QFont &font, int width) const
{
    const QString key = QString::number(width) + QLatin1Char(' ') + fontKey(font) + QLatin1Char('\n') + text;
    if (const auto found = m_shaped.constFind(key); found != m_shaped.cend())
        return *found;
    // A week holds at most a few dozen lines: what older weeks and widths left is dropped.
    if (m_shaped.size() > 512)
        m_older = std::exchange(m_shaped, {});
    if (const auto older = m_older.constFind(key); older != m_older.cend())
        return *m_shaped.insert(key, *older);
    QStaticText shaped(QFontMetrics(font).elidedText(text, Qt::ElideRight, width));
    shaped.setTextFormat(Qt::PlainText);
    shaped.prepare(QTransform(), font);
    ++m_linesShaped;
    return *m_shaped.insert(key, shaped);
}

int EntryLineDelegate::shownRight(const QWidget *list, int lineRight)
{
    if (const auto *view = qobject_cast<const QAbstractItemView *>(list))
        return view->viewport()->width() - 1;
    return list ? std::max(lineRight, list->width() - 1) : lineRight;
}

int EntryLineDelegate::textMargin(const QWidget *list)
{
    const QStyle *style = list ? list->style() : QApplication::style();
    return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
}

void EntryLineDelegate::shapeAhead(const QWidget &list, const QStringList &lines, const QColor &background) const
{
    // As paint places a line: the width the list shows, in the list's font.
    const int width = shownRight(&list, list.width() - 1) + 1 - 2 * textMargin(&list);
    for (const QString &line : lines)
        if (const QString text = EntryLine::Visible(line); !text.isEmpty())
            shapedText(text, list.font(), width);
    // Its lines being all of one size, the list measures one of them for all (its last), with
    // the options a view gives a line.
    if (lines.isEmpty())
        return;
    QStyleOptionViewItem measured;
    measured.initFrom(&list);
    measured.state &= ~QStyle::State_HasFocus;
    measured.font = list.font();
    measured.fontMetrics = QFontMetrics(measured.font);
    measured.widget = &list;
    measured.features = QStyleOptionViewItem::HasDisplay;
    measured.text = EntryLine::Visible(lines.last());
    measured.textElideMode = Qt::ElideRight;
    measured.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    measured.rect = QRect();
    const QString key = sizeKey(measured);
    auto size = m_sizes.constFind(key);
    if (size == m_sizes.cend())
        size = m_sizes.insert(key, list.style()->sizeFromContents(QStyle::CT_ItemViewItem, &measured, QSize(), &list));
    drawAhead(list, lines, background, size->height());
}

std::optional<EntryLineDelegate::Plain> EntryLineDelegate::plainLine(const QWidget &list, const QColor &background,
                                                                     int height, bool focused) const
{
    // Drawn into pixels of the format the window paints into, as the list paints a line of its own.
    const auto *day = qobject_cast<const DayList *>(&list);
    const std::optional<QImage::Format> format = PixelCopy::windowFormat(list);
    if (!day || !format || !background.isValid() || background.alpha() != 255 || height <= 0)
        return {};
    Plain plain{day->plainLineOption(focused), *format, 0};
    // As the delegate's own options for a line that holds a text alone.
    plain.line.features |= QStyleOptionViewItem::HasDisplay;
    plain.line.textElideMode = Qt::ElideRight;
    plain.line.rect = QRect(0, 0, shownRight(day, 0) + 1, height);
    // The lines the list shows from its top, the last perhaps in part.
    plain.shown = (day->viewport()->height() + height - 1) / height;
    return plain;
}

QImage EntryLineDelegate::drawn(const QStyleOptionViewItem &line, const QColor &background, QImage::Format format) const
{
    QImage image(line.rect.size(), format);
    image.fill(background);
    QPainter painter(&image);
    painter.translate(-line.rect.topLeft());
    drawLine(&painter, line);
    return image;
}

void EntryLineDelegate::drawAhead(const QWidget &list, const QStringList &lines, const QColor &background,
                                  int height) const
{
    m_drawnAhead.clear();
    std::optional<Plain> plain = plainLine(list, background, height);
    if (!plain)
        return;
    for (qsizetype row = 0; row < std::min<qsizetype>(lines.size(), plain->shown); ++row) {
        plain->line.text = EntryLine::Visible(lines.at(row));
        m_drawnAhead.insert(drawnKey(plain->line, background, plain->format),
                            drawn(plain->line, background, plain->format));
    }
}

QList<KeptLines::Line> EntryLineDelegate::linesToKeep(const QWidget &list, const QStringList &lines,
                                                      const QColor &background, int height, bool focused,
                                                      bool draw) const
{
    QList<KeptLines::Line> kept;
    std::optional<Plain> plain = plainLine(list, background, height, focused);
    if (!plain || lines.isEmpty())
        return kept;
    // The probe first: what a start draws anew to see that the lines kept beside it are still drawn
    // so.
    QStringList texts{QString::fromUtf8(ProbeText)};
    for (qsizetype row = 0; row < std::min<qsizetype>(lines.size(), plain->shown); ++row)
        texts.append(EntryLine::Visible(lines.at(row)));
    for (const QString &text : texts) {
        plain->line.text = text;
        kept.append({keptKey(plain->line, background, plain->format),
                     draw ? drawn(plain->line, background, plain->format) : QImage()});
    }
    return kept;
}

bool EntryLineDelegate::keptTrusted(QStyleOptionViewItem probe, const QColor &background, QImage::Format format) const
{
    probe.text = QString::fromUtf8(ProbeText);
    return m_kept->trusts(keptKey(probe, background, format), [&] { return drawn(probe, background, format); });
}

QString EntryLineDelegate::keptKey(const QStyleOptionViewItem &line, const QColor &background,
                                   QImage::Format format) const
{
    // What the next start can compare with its own: no address nor serial number of this one.
    const QStyle *style = line.widget ? line.widget->style() : QApplication::style();
    const QStringList parts{QString::number(line.rect.width()),
                            QString::number(line.rect.height()),
                            QString::number(uint(line.state), 16),
                            QString::number(uint(line.features), 16),
                            QString::number(uint(line.displayAlignment), 16),
                            style->name(),
                            QString::number(penColour(line).rgba(), 16),
                            QString::number(background.rgba(), 16),
                            QString::number(int(format)),
                            fontKey(line.font)};
    return parts.join(QLatin1Char(' ')) + QLatin1Char('\n') + line.text;
}

QColor EntryLineDelegate::penColour(const QStyleOptionViewItem &line)
{
    QPalette::ColorGroup group = line.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(line.state & QStyle::State_Active))
        group = QPalette::Inactive;
    return line.palette.color(group, line.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text);
}

QString EntryLineDelegate::sizeKey(const QStyleOptionViewItem &line) const
{
    return fontKey(line.font) + QLatin1Char('\n') + line.text;
}

const QString &EntryLineDelegate::fontKey(const QFont &font) const
{
    // A list paints all its lines in one font: its key is written out once.
    if (m_keyedFont != font || m_fontKey.isEmpty()) {
        m_keyedFont = font;
        m_fontKey = font.key();
    }
    return m_fontKey;
}

void EntryLineDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem line = option;
    initStyleOption(&line, index);
    // The line takes the width the list shows, however short its text, and its text ends there:
    // a list gives all its lines the width of the one it measured, which may be wider than it
    // shows, and a line's ellipsis must be seen.
    line.rect.setRight(shownRight(option.widget, option.rect.right()));
    QColor background;
    if (const std::optional<QImage::Format> format = copyableInto(painter, line, &background)) {
        if (const auto drawn = m_drawnAhead.constFind(drawnKey(line, background, *format));
            drawn != m_drawnAhead.cend()) {
            painter->drawImage(line.rect.topLeft(), *drawn);
            m_drawnAhead.erase(drawn);
            ++m_linesDrawnAhead;
            return;
        }
        if (m_kept && m_kept->holdsAny() && keptTrusted(line, background, *format)) {
            if (const QImage kept = m_kept->find(keptKey(line, background, *format)); !kept.isNull()) {
                painter->drawImage(line.rect.topLeft(), kept);
                ++m_linesFromKept;
                return;
            }
        }
    }
    drawLine(painter, line);
}

std::optional<QImage::Format> EntryLineDelegate::copyableInto(const QPainter *painter, const QStyleOptionViewItem &line,
                                                              QColor *background)
{
    constexpr QStyle::State shown = QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver;
    if ((line.state & shown) || line.backgroundBrush.style() != Qt::NoBrush ||
        (line.features & ~QStyleOptionViewItem::ViewItemFeatures(QStyleOptionViewItem::HasDisplay)))
        return {};
    // The list's own background, of one opaque colour, is all there is under its lines.
    const auto *view = qobject_cast<const QAbstractItemView *>(line.widget);
    if (!view || !view->viewport()->autoFillBackground())
        return {};
    const QBrush &brush = view->viewport()->palette().brush(view->viewport()->backgroundRole());
    if (brush.style() != Qt::SolidPattern || !brush.isOpaque())
        return {};
    const std::optional<QImage::Format> format = PixelCopy::targetFormat(*painter);
    if (format)
        *background = brush.color();
    return format;
}

EntryLineDelegate::DrawnKey EntryLineDelegate::drawnKey(const QStyleOptionViewItem &line, const QColor &background,
                                                        QImage::Format format) const
{
    return {line.text,
            fontKey(line.font),
            line.rect.width(),
            line.rect.height(),
            int(line.state),
            int(line.features),
            int(line.displayAlignment),
            line.widget ? line.widget->style() : QApplication::style(),
            line.palette.cacheKey(),
            int(line.palette.currentColorGroup()),
            background.rgba(),
            int(format)};
}

void EntryLineDelegate::drawLine(QPainter *painter, QStyleOptionViewItem line) const
{
    const QString text = line.text;
    const QStyle::State state = line.state;
    line.text.clear();
    line.state &= ~QStyle::State_HasFocus;
    const QWidget *widget = line.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    // The panel and the selection as the style draws them; then the text as its item views place
    // it (inside the text's rectangle less the focus margin, centred in height) and the focus
    // frame over it.
    style->drawControl(QStyle::CE_ItemViewItem, &line, painter, widget);
    line.text = text;
    line.state = state;
    if (!text.isEmpty()) {
        const int margin = textMargin(widget);
        // A line has no icon nor check box: its text's rectangle is the line's (asking the style
        // would lay the text out once more).
        const QRect textRect = line.rect.adjusted(margin, 0, -margin, 0);
        const QStaticText &shaped = shapedText(text, line.font, textRect.width());
        const QSize size(textRect.width(), qRound(QFontMetricsF(line.font).height()));
        const QRect placed =
            QStyle::alignedRect(Qt::LeftToRight, line.displayAlignment & Qt::AlignVertical_Mask, size, textRect);
        painter->save();
        painter->setClipRect(line.rect);
        painter->setFont(line.font);
        painter->setPen(penColour(line));
        painter->drawStaticText(QPointF(textRect.x(), placed.top()), shaped);
        painter->restore();
    }
    if (state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(line);
        focus.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &line, widget);
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        focus.backgroundColor =
            line.palette.color(state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled,
                               state & QStyle::State_Selected ? QPalette::Highlight : QPalette::Window);
        painter->save();
        painter->setClipRect(line.rect);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
        painter->restore();
    }
    // The ruled line, one pixel high across the line: filled as a rectangle, the same pixels a pen
    // would draw, at a fraction of a pen's cost.
    painter->fillRect(QRect(line.rect.left(), line.rect.bottom(), line.rect.width(), 1), QColor(176, 196, 222, 150));
}

QSize EntryLineDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem visible = option;
    initStyleOption(&visible, index);
    // The list asks again and again for the size of the same line while it places a week's; a
    // line has no icon nor check box, so its size follows from its text and font alone.
    const QString key = sizeKey(visible);
    if (const auto found = m_sizes.constFind(key); found != m_sizes.cend())
        return *found;
    if (m_sizes.size() > 512)
        m_sizes.clear();
    return *m_sizes.insert(key, QStyledItemDelegate::sizeHint(visible, index));
}
