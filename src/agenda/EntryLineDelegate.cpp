#include "EntryLineDelegate.h"

#include "data/EntryLine.h"

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

void EntryLineDelegate::shapeAhead(const QWidget &list, const QStringList &lines) const
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
    if (!m_sizes.contains(key))
        m_sizes.insert(key, list.style()->sizeFromContents(QStyle::CT_ItemViewItem, &measured, QSize(), &list));
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
    const QString text = line.text;
    const QStyle::State state = line.state;
    line.text.clear();
    line.state &= ~QStyle::State_HasFocus;
    const QWidget *widget = option.widget;
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
        QPalette::ColorGroup group = line.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        if (group == QPalette::Normal && !(line.state & QStyle::State_Active))
            group = QPalette::Inactive;
        painter->save();
        painter->setClipRect(line.rect);
        painter->setFont(line.font);
        painter->setPen(line.palette.color(
            group, line.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
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
