#pragma once

#include "data/Card.h"

#include <QByteArray>
#include <QMap>
#include <QString>

struct VCard;

// A phone card as it travels in a vCard: the card's twelve texts, its UID and what the card has
// no field for, kept as it was read (one unfolded vCard 3.0 line for each property, each ended by
// CRLF) so that it goes back out on export.
struct CardInterchange
{
    Card card;
    QString uid;
    QByteArray kept;

    // The card a vCard holds: FN (else N) is the name, the first three TELs that are not a fax
    // the phones, the first fax the fax, the first three EMAILs, the preferred ADR the address,
    // town (after its postal code), province and country; everything else is kept.
    static CardInterchange fromVCard(const VCard &vcard);
    // The vCard 3.0 of the card: its fields, then what was kept.
    VCard toVCard() const;

    // Names the same card whatever its key or UID: for matching a card that has no UID.
    QByteArray contentKey() const;
    // How many kept properties there are of each name (TEL, ADR, PHOTO, X-...), for the summary.
    static QMap<QString, int> keptKinds(const QByteArray &kept);

    bool operator==(const CardInterchange &) const = default;
};
