#pragma once

#include "VCardProperty.h"

#include <QByteArray>
#include <QList>
#include <QString>

struct VCardParse;

// One card of a vCard file: its properties in the file's order (BEGIN, VERSION and END apart).
// Reads vCard 2.1, 3.0 and 4.0; writes 3.0 in UTF-8 with CRLF line ends and lines folded at 75
// octets, never inside a character.
struct VCard
{
    QString version; // as the file says: "2.1", "3.0" or "4.0"
    QList<VCardProperty> properties;
    int line = 0; // the line of its BEGIN:VCARD

    // The properties with this name, in order.
    QList<VCardProperty> all(const QString &name) const;

    // Every card of a file, or why it cannot be read and where: a file is read whole or not at all.
    static VCardParse parse(const QByteArray &data);
    static QByteArray write(const QList<VCard> &cards);
    // One line folded as vCard wants it: at most 75 octets a line, each further line starting with
    // a space, a UTF-8 character never cut; every line ends with CRLF.
    static QByteArray folded(const QByteArray &line);
};
