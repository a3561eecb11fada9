#pragma once

#include "data/Card.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <vector>

// A phone card as it goes to and from an address file: its twelve texts, its UID, and the vCard
// text of what has no field in the program.
struct CardInterchange
{
    Card card;
    QString uid;
    QByteArray kept;
};

// The address files (vCard) as the import and export see them.
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
