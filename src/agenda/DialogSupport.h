#pragma once

#include <QColor>
#include <QString>

struct AppContext;
class QWidget;

// What the agenda's dialogs share: their placement in twips, their colours, and how a write that
// did not reach the agenda is told to the user.
namespace DialogSupport {

// The background of every box the user types a diary text or time into.
inline const QColor EntryBoxColour(255, 224, 192);

// Twips to pixels on the screen the widget is (or will be) shown on.
int toPixels(const QWidget &widget, double twips);
double toTwips(const QWidget &widget, int pixels);

// Moves a window to a place on the desktop given in twips (desktop coordinates, the same the
// main window's geometry is in).
void placeAt(QWidget &window, double leftTwips, double topTwips);

// Paints a widget's background with the entry box colour.
void paintEntryBox(QWidget &box);

// Tells the user that a write did not reach the agenda ("No se ha podido guardar …") and why,
// in a critical message box, so no change is lost without the user knowing.
void tellNotWritten(AppContext &context, const QString &sentence, const QString &why);

} // namespace DialogSupport
