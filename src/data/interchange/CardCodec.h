#pragma once

#include "CardInterchange.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <vector>

// The address files (vCard) as the import and export see them: the cards of a file with what
// each keeps, and the file of a list of cards.
namespace CardCodec {

struct Read
{
    std::vector<CardInterchange> cards;
    QMap<QString, int> kept; // what has no field, by kind
    QString error; // why the text is refused, in the user's words
    int line = 0;
};

Read read(const QByteArray &text);
QByteArray write(const std::vector<CardInterchange> &cards);

} // namespace CardCodec
