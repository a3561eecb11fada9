#include "CardCodec.h"

#include "VCard.h"
#include "VCardParse.h"

namespace CardCodec {

Read read(const QByteArray &text)
{
    Read result;
    const VCardParse parsed = VCard::parse(text);
    if (!parsed.ok()) {
        result.error = parsed.error;
        result.line = parsed.line;
        return result;
    }
    for (const VCard &vcard : parsed.cards) {
        result.cards.push_back(CardInterchange::fromVCard(vcard));
        const QMap<QString, int> kinds = CardInterchange::keptKinds(result.cards.back().kept);
        for (auto it = kinds.cbegin(); it != kinds.cend(); ++it)
            result.kept[it.key()] += it.value();
    }
    return result;
}

QByteArray write(const std::vector<CardInterchange> &cards)
{
    QList<VCard> vcards;
    for (const CardInterchange &card : cards)
        vcards << card.toVCard();
    return VCard::write(vcards);
}

} // namespace CardCodec
