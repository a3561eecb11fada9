#include "DialogSupport.h"

#include "data/AppContext.h"
#include "data/Messenger.h"
#include "mainwindow/Twips.h"

#include <QPalette>
#include <QWidget>

namespace DialogSupport {

int toPixels(const QWidget &widget, double twips)
{
    return Twips::toPixels(twips, widget.screen());
}

double toTwips(const QWidget &widget, int pixels)
{
    return Twips::fromPixels(pixels, widget.screen());
}

void placeAt(QWidget &window, double leftTwips, double topTwips)
{
    window.move(toPixels(window, leftTwips), toPixels(window, topTwips));
}

void paintEntryBox(QWidget &box)
{
    QPalette palette = box.palette();
    palette.setColor(QPalette::Base, EntryBoxColour);
    palette.setColor(QPalette::Text, Qt::black);
    box.setPalette(palette);
}

void tellNotWritten(AppContext &context, const QString &sentence, const QString &why)
{
    if (!context.messenger)
        return;
    context.messenger->tell(QStringLiteral("%1.\n\nMotivo: %2.").arg(sentence, why),
                            QStringLiteral("Atención"), Messenger::Icon::Critical);
}

} // namespace DialogSupport
