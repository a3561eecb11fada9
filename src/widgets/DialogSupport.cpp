#include "widgets/DialogSupport.h"

#include "data/AppContext.h"
#include "data/Messenger.h"
#include "widgets/ImageButton.h"
#include "widgets/Twips.h"

#include <QHBoxLayout>
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

void addButtonRow(QWidget &panel, std::initializer_list<ButtonSpec> buttons, int side,
                  const std::function<void(int index, ImageButton *button)> &made)
{
    auto *row = new QHBoxLayout(&panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (const ButtonSpec &b : buttons) {
        auto *button = new ImageButton(QString::fromLatin1(b.picture), QString::fromUtf8(b.toolTip), &panel);
        button->setObjectName(QStringLiteral("Image1(%1)").arg(b.index));
        button->setFocusPolicy(Qt::NoFocus);
        if (side > 0)
            button->setFixedSize(side, side);
        row->addWidget(button);
        made(b.index, button);
    }
}

} // namespace DialogSupport
