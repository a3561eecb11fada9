#pragma once

#include <QColor>
#include <QString>
#include <functional>
#include <initializer_list>

struct AppContext;
class ImageButton;
class QWidget;

// What the agenda's dialogs share: their placement in twips, their colours, and how a write that
// did not reach the agenda is told to the user.
namespace DialogSupport {

// Twips to pixels on the screen the widget is (or will be) shown on.
int toPixels(const QWidget &widget, double twips);
double toTwips(const QWidget &widget, int pixels);

// Moves a window to a place on the desktop given in twips (desktop coordinates, the same the
// main window's geometry is in).
void placeAt(QWidget &window, double leftTwips, double topTwips);

// One image button of a dialog's button panel: its element of the Image1 array, picture and tooltip.
struct ButtonSpec
{
    int index;
    const char *picture;
    const char *toolTip;
};

// Lines image buttons up left to right on panel, named Image1(index), never taking the keyboard
// focus (the text boxes keep it); side > 0 fixes their size in pixels. made receives each button
// to keep and connect.
void addButtonRow(QWidget &panel, std::initializer_list<ButtonSpec> buttons, int side,
                  const std::function<void(int index, ImageButton *button)> &made);

} // namespace DialogSupport
