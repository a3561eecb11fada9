#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

// The folded texts of some columns of one table, kept in memory in cursor order, so that a
// search that ignores case and accents scans one buffer instead of asking the file for every
// row: with a diary of 200,000 entries a step stays well under what a user notices.
//
// Each row is its columns' texts folded by TextMatch::foldAccents, UTF-8, each followed by a
// zero byte. A needle never holds a zero byte, so a match never runs from one column or row
// into the next.
class FoldedIndex final
{
public:
    void clear();
    // texts are the row's column values, UTF-8 as the file holds them.
    void append(qint64 key, const std::vector<std::string_view> &texts);
    // Rewrites a row in place (an empty list blanks it); false when the row is not held or its
    // new text does not fit where the old one stood.
    bool replace(qint64 key, const std::vector<std::string_view> &texts);
    qint64 lastKey() const { return m_keys.empty() ? -1 : m_keys.back(); }

    // The key of the first row after `after` (ascending) or the last row before `before`
    // (descending) whose text holds needle (folded, UTF-8); -1 when there is none.
    qint64 findAfter(std::string_view needle, qint64 after) const;
    qint64 findBefore(std::string_view needle, qint64 before) const;

private:
    size_t rowAt(size_t offset) const;

    std::string m_text;
    std::vector<qint64> m_keys;
    std::vector<size_t> m_starts;
};
