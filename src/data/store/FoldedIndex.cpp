#include "FoldedIndex.h"

#include "TextMatch.h"

#include <algorithm>
#include <cstring>

void FoldedIndex::clear()
{
    m_text.clear();
    m_keys.clear();
    m_starts.clear();
}

static void appendRow(const std::vector<std::string_view> &texts, std::string &out)
{
    for (std::string_view text : texts) {
        TextMatch::appendAccentsFolded(text, out);
        out += '\0';
    }
}

void FoldedIndex::append(qint64 key, const std::vector<std::string_view> &texts)
{
    m_keys.push_back(key);
    m_starts.push_back(m_text.size());
    appendRow(texts, m_text);
}

bool FoldedIndex::replace(qint64 key, const std::vector<std::string_view> &texts)
{
    const auto it = std::lower_bound(m_keys.begin(), m_keys.end(), key);
    if (it == m_keys.end() || *it != key)
        return false;
    const size_t row = size_t(it - m_keys.begin());
    const size_t start = m_starts[row];
    const size_t end = row + 1 < m_starts.size() ? m_starts[row + 1] : m_text.size();
    std::string folded;
    appendRow(texts, folded);
    if (folded.size() > end - start)
        return false;
    std::memcpy(m_text.data() + start, folded.data(), folded.size());
    std::memset(m_text.data() + start + folded.size(), 0, end - start - folded.size());
    return true;
}

size_t FoldedIndex::rowAt(size_t offset) const
{
    return size_t(std::upper_bound(m_starts.begin(), m_starts.end(), offset) - m_starts.begin()) - 1;
}

qint64 FoldedIndex::findAfter(std::string_view needle, qint64 after) const
{
    const size_t row = size_t(std::upper_bound(m_keys.begin(), m_keys.end(), after) - m_keys.begin());
    if (row >= m_keys.size())
        return -1;
    const size_t from = m_starts[row];
    const void *hit = memmem(m_text.data() + from, m_text.size() - from, needle.data(), needle.size());
    if (!hit)
        return -1;
    return m_keys[rowAt(size_t(static_cast<const char *>(hit) - m_text.data()))];
}

qint64 FoldedIndex::findBefore(std::string_view needle, qint64 before) const
{
    const size_t rows = size_t(std::lower_bound(m_keys.begin(), m_keys.end(), before) - m_keys.begin());
    if (rows == 0)
        return -1;
    // The last match before the end: forward scans, each resuming at the row after the last hit.
    const size_t end = rows < m_starts.size() ? m_starts[rows] : m_text.size();
    qint64 found = -1;
    size_t from = 0;
    while (from < end) {
        const void *hit = memmem(m_text.data() + from, end - from, needle.data(), needle.size());
        if (!hit)
            break;
        const size_t row = rowAt(size_t(static_cast<const char *>(hit) - m_text.data()));
        found = m_keys[row];
        from = row + 1 < m_starts.size() ? m_starts[row + 1] : end;
    }
    return found;
}
