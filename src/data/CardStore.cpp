#include "CardStore.h"

#include "WriteRules.h"

#include "Diary.h"
#include "Schema.h"
#include "interchange/InterchangeLinks.h"

namespace {

namespace Column = Schema::Telefonos;

// The columns of a card, in the table's order: field i of a Card is column i.
const std::array<QString, Card::FieldCount> &columns()
{
    static const std::array<QString, Card::FieldCount> names = {
        Column::Nombre, Column::Tel1,   Column::Tel2,      Column::Tel3,      Column::Fax,       Column::Email1,
        Column::Email2, Column::Email3, Column::Direccion, Column::Poblacion, Column::Provincia, Column::Pais,
    };
    return names;
}

const QString NoName = QStringLiteral("No se puede dar de alta una ficha sin nombre");
const QString Gone = QStringLiteral("La ficha ya no está en la agenda");

} // namespace

CardStore::CardStore(Diary &diary)
    : m_diary(diary)
{}

bool CardStore::open()
{
    // The diary may have been opened on another agenda since the last write.
    return WriteRules::openOn(m_telefonos, m_diary.databaseFile(), Column::Table);
}

std::optional<Card> CardStore::card(qint64 key)
{
    if (!open() || !m_telefonos.FindKey(key))
        return std::nullopt;
    Card card;
    card.key = key;
    for (int i = 0; i < Card::FieldCount; ++i)
        card.fields[size_t(i)] = m_telefonos.Text(columns()[size_t(i)]);
    return card;
}

// Writes the texts into the record being added or edited. An empty text is written as empty
// text, never as Null: Null marks a card never saved.
StoreResult CardStore::write(const Card &card)
{
    bool ok = true;
    for (int i = 0; ok && i < Card::FieldCount; ++i) {
        const QString &text = card.fields[size_t(i)];
        ok = m_telefonos.SetField(columns()[size_t(i)], text.isNull() ? QStringLiteral("") : text);
    }
    if (!ok || !m_telefonos.Update())
        return WriteRules::failure(m_telefonos);
    const qint64 key = card.key < 0 ? m_telefonos.lastAddedKey() : card.key;
    m_diary.notifyChanged({DiaryChange::Kind::Cards, key});
    return StoreResult::ok(key);
}

StoreResult CardStore::add(const Card &card)
{
    if (card.name().isEmpty())
        return StoreResult::refused(NoName);
    if (!open() || !m_telefonos.AddNew())
        return WriteRules::failure(m_telefonos);
    Card added = card;
    added.key = -1;
    return write(added);
}

StoreResult CardStore::update(const Card &card)
{
    if (card.name().isEmpty())
        return StoreResult::refused(NoName);
    if (!open())
        return WriteRules::failure(m_telefonos);
    if (!m_telefonos.FindKey(card.key))
        return m_telefonos.NoMatch() ? StoreResult::refused(Gone) : WriteRules::failure(m_telefonos);
    if (!m_telefonos.Edit())
        return WriteRules::failure(m_telefonos);
    return write(card);
}

StoreResult CardStore::remove(qint64 key)
{
    if (!open())
        return WriteRules::failure(m_telefonos);
    if (!m_telefonos.FindKey(key))
        return m_telefonos.NoMatch() ? StoreResult::refused(Gone) : WriteRules::failure(m_telefonos);
    if (!m_telefonos.Delete())
        return WriteRules::failure(m_telefonos);
    InterchangeLinks::forget(m_diary.databaseFile(), Column::Table, key);
    m_diary.notifyChanged({DiaryChange::Kind::Cards, key});
    return StoreResult::ok(key);
}

StoreResult CardStore::removeUnnamed()
{
    if (!open())
        return WriteRules::failure(m_telefonos);
    bool removed = false;
    StoreResult result = StoreResult::ok();
    for (bool on = m_telefonos.MoveFirst(); on && !m_telefonos.Eof(); on = m_telefonos.MoveNext()) {
        if (!m_telefonos.Field(Column::Nombre).isNull())
            continue;
        if (!m_telefonos.Delete()) {
            result = WriteRules::failure(m_telefonos);
            break;
        }
        removed = true;
    }
    if (removed)
        m_diary.notifyChanged({DiaryChange::Kind::Cards, -1});
    return result;
}
