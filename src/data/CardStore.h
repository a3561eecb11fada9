#pragma once

#include "Card.h"
#include "StoreResult.h"
#include "store/RecordCursor.h"

#include <optional>

class Diary;

// Every write to the phone cards. Each finds its row by key with a cursor of its own, so no
// window that moves the phone book's cursor can send it to another row. A card without a name is
// not kept. Each write done is told to the diary's views.
class CardStore final
{
public:
    explicit CardStore(Diary &diary);

    // The card with this key, or nothing when it is no longer in the agenda.
    std::optional<Card> card(qint64 key);

    StoreResult add(const Card &card);
    // Writes the twelve texts of the card with card.key, each as given (an empty one as empty text).
    StoreResult update(const Card &card);
    StoreResult remove(qint64 key);
    // Removes the cards that were never saved (their name is Null), as left by another program or
    // an older copy of this one.
    StoreResult removeUnnamed();

private:
    bool open();
    StoreResult write(const Card &card);

    Diary &m_diary;
    RecordCursor m_telefonos;
};
