#pragma once

#include "Entry.h"
#include "StoreResult.h"
#include "WriteRules.h"
#include "store/RecordCursor.h"

#include <functional>
#include <optional>

class Diary;

// Where every window reads one diary entry by its numero and writes it. The store finds the
// entry itself, through a cursor no window moves, so no write lands on another entry; it refuses
// a text longer than the agenda keeps (never cutting it) and any write to an agenda that may not
// be written; and after every write that changed something it tells the diary's views
// (Diary::changed, kind Entries, the entry's numero).
class EntryStore final
{
public:
    explicit EntryStore(Diary &diary);
    EntryStore(const EntryStore &) = delete;
    EntryStore &operator=(const EntryStore &) = delete;

    // Works on the agenda file from now on (the diary opens it).
    void open(const QString &databaseFile);

    // The entry numero as the agenda holds it now; nothing when it holds none, or when the agenda
    // cannot be read: then *unreadable (when given) says why.
    std::optional<Entry> find(qint64 numero, QString *unreadable = nullptr);

    // Adds the entry on its date with its time and text (and its note and alarm when it has
    // them). The result's key is the new entry's numero.
    StoreResult add(const Entry &entry);
    // Makes the stored entry entry.numero hold entry's values, writing only those that differ.
    // Refused when the entry is no longer in the agenda.
    StoreResult update(const Entry &entry);
    // One value of the entry numero, the others as the agenda holds them.
    StoreResult setText(qint64 numero, const QString &text);
    StoreResult setNote(qint64 numero, const QString &note);
    StoreResult setAlarmTime(qint64 numero, const QString &time); // empty: no alarm
    // Deletes the entry; one already gone needs nothing done.
    StoreResult remove(qint64 numero);

private:
    WriteRules::Lookup findRow(qint64 numero, QString *unreadable);
    StoreResult change(qint64 numero, const std::function<void(Entry &)> &edit);
    StoreResult refusal(const Entry &entry);
    StoreResult written(qint64 numero);

    Diary &m_diary;
    RecordCursor m_notas;
};
