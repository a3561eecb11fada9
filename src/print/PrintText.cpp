#include "PrintText.h"

#include "data/DayStatus.h"
#include "widgets/Theme.h"

#include <QStringList>

namespace PrintText {

namespace {

// Letters are printed one by one, never joined into ligatures ("fi" as one glyph): a PDF's text
// then reads back, and is found, letter for letter. Latin text needs no shaping to be read.
QFont unjoined(QFont font)
{
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

} // namespace

QFont serif(qreal points, bool bold, bool italic)
{
    return unjoined(Theme::serif(points, bold, italic));
}

QFont sans(qreal points, bool bold, bool italic)
{
    QFont font;
    // DejaVu Sans carries the task boxes and arrows printed beside the text.
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return unjoined(font);
}

QColor holiday()
{
    return Theme::Holiday;
}

QString capitalizeFirst(const QString &text)
{
    return text.isEmpty() ? text : text.left(1).toUpper() + text.mid(1);
}

QString dayLine(const DayStatus &status)
{
    QStringList parts;
    for (const QString &part : {status.fixedText.trimmed(), status.dayText.trimmed()})
        if (!part.isEmpty())
            parts << part;
    return parts.join(QStringLiteral(" - "));
}

QString unreadable(const QString &reason)
{
    return QStringLiteral("no se puede leer la agenda: %1.").arg(reason);
}

} // namespace PrintText
