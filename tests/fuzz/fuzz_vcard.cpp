#include "data/interchange/CardInterchange.h"
#include "data/interchange/VCard.h"
#include "data/interchange/VCardParse.h"

#include <cstdlib>

// Feeds any bytes to the vCard reader. A file it reads must also go out again as a file it reads,
// with as many cards: the cards the program writes are read back by the same code.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const VCardParse parsed = VCard::parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!parsed.ok())
        return 0;
    QList<VCard> written;
    for (const VCard &vcard : parsed.cards)
        written.append(CardInterchange::fromVCard(vcard).toVCard());
    const VCardParse again = VCard::parse(VCard::write(written));
    if (!again.ok() || again.cards.size() != parsed.cards.size())
        std::abort();
    return 0;
}
