#include "widgets/Theme.h"

#include <QPalette>
#include <QWidget>

namespace Theme {

QFont serif(qreal points, bool bold, bool italic)
{
    QFont font;
    font.setFamilies(
        {QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
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
