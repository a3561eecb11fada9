#include "widgets/Theme.h"

#include <QFontDatabase>
#include <QPalette>
#include <QWidget>

namespace Theme {

// The serif families in the order they are wanted, from the first the desktop has: asking for one
// it lacks makes the font system look through every font for a substitute, for each style.
static const QStringList &serifFamilies()
{
    static const QStringList families = [] {
        QStringList wanted{QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                           QStringLiteral("DejaVu Serif")};
        // Looked up among the installed families by name: asking the font system whether a name
        // stands for another font costs a search through its rules for each name.
        const QStringList installed = QFontDatabase::families();
        while (wanted.size() > 1 && !installed.contains(wanted.first(), Qt::CaseInsensitive))
            wanted.removeFirst();
        return wanted;
    }();
    return families;
}

QFont serif(qreal points, bool bold, bool italic)
{
    QFont font;
    font.setFamilies(serifFamilies());
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QFont serifCaption(qreal points, bool bold, bool italic)
{
    QFont font = serif(points, bold, italic);
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

void paintEntryBox(QWidget &box)
{
    QPalette palette = box.palette();
    palette.setColor(QPalette::Base, EntryBox);
    palette.setColor(QPalette::Text, Qt::black);
    box.setPalette(palette);
}

} // namespace Theme
