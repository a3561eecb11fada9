#pragma once

#include <QMetaType>
#include <QtGlobal>

// What changed in the agenda: which kind of thing, and which one (its key), or every kind at
// once after the whole agenda was replaced (a restored copy, an import).
struct DiaryChange
{
    enum class Kind { Entries, Days, Tasks, Cards, Everything };

    Kind kind = Kind::Everything;
    qint64 key = -1; // the row written; -1 for many rows of the kind

    static DiaryChange everything() { return {}; }
    // Whether a view showing things of kind k must read them again.
    bool touches(Kind k) const { return kind == Kind::Everything || kind == k; }
    bool operator==(const DiaryChange &) const = default;
};

Q_DECLARE_METATYPE(DiaryChange)
