#include "TextMatch.h"

#include <algorithm>

namespace TextMatch {

QString fold(const QString &text)
{
    return text.toCaseFolded();
}

static bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

static char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

// Most diary text is plain ASCII: compare it byte by byte without building strings. A folded
// needle that is not ASCII can never match an ASCII text, whose folding stays ASCII.
bool equalsFolded(std::string_view text, std::string_view folded)
{
    if (isAscii(text)) {
        if (text.size() != folded.size())
            return false;
        for (size_t i = 0; i < text.size(); ++i)
            if (lowerAscii(text[i]) != folded[i])
                return false;
        return true;
    }
    return fold(QString::fromUtf8(text.data(), qsizetype(text.size())))
           == QString::fromUtf8(folded.data(), qsizetype(folded.size()));
}

bool containsFolded(std::string_view text, std::string_view folded)
{
    if (folded.empty())
        return true;
    if (isAscii(text)) {
        if (!isAscii(folded) || folded.size() > text.size())
            return false;
        const char first = folded[0];
        const char firstUpper = (first >= 'a' && first <= 'z') ? char(first - ('a' - 'A')) : first;
        const size_t last = text.size() - folded.size();
        for (size_t i = 0; i <= last; ++i) {
            if (text[i] != first && text[i] != firstUpper)
                continue;
            size_t j = 1;
            while (j < folded.size() && lowerAscii(text[i + j]) == folded[j])
                ++j;
            if (j == folded.size())
                return true;
        }
        return false;
    }
    return fold(QString::fromUtf8(text.data(), qsizetype(text.size())))
        .contains(QString::fromUtf8(folded.data(), qsizetype(folded.size())));
}

} // namespace TextMatch
