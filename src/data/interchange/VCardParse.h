#pragma once

#include "VCard.h"

#include <QList>
#include <QString>

// What reading a vCard file came to: every card of the file, or why the file cannot be read (in
// the user's words) and the line of the file where reading stopped.
struct VCardParse
{
    QList<VCard> cards;
    QString error;
    int line = 0;

    bool ok() const { return error.isEmpty(); }
};
