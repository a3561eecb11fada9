#include "TextMatch.h"

#include <QChar>

#include <algorithm>
#include <string>

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
    return fold(QString::fromUtf8(text.data(), qsizetype(text.size()))) ==
        QString::fromUtf8(folded.data(), qsizetype(folded.size()));
}

// The only characters outside ASCII whose folding is an ASCII letter: the Kelvin sign (to "k")
// and the long s (to "s"). A text holding neither can be searched for an ASCII needle byte by
// byte: no other byte of a UTF-8 sequence can stand for an ASCII character.
static bool mayFoldToAscii(std::string_view text)
{
    return text.find("\xE2\x84\xAA") != std::string_view::npos || text.find("\xC5\xBF") != std::string_view::npos;
}

static bool containsAsciiNeedle(std::string_view text, std::string_view folded)
{
    if (folded.size() > text.size())
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

bool containsFolded(std::string_view text, std::string_view folded)
{
    if (folded.empty())
        return true;
    const bool needleAscii = isAscii(folded);
    if (needleAscii && !mayFoldToAscii(text))
        return containsAsciiNeedle(text, folded);
    if (!needleAscii && isAscii(text))
        return false;
    // Fold the text one code point at a time into a buffer kept between calls: no string is
    // built for each row searched.
    thread_local std::u32string haystack;
    thread_local std::u32string needle;
    thread_local std::string lastNeedle;
    thread_local std::string asciiRun;
    if (lastNeedle != folded) {
        lastNeedle.assign(folded);
        needle = QString::fromUtf8(folded.data(), qsizetype(folded.size())).toStdU32String();
        // The needle's longest ASCII run must stand in the text as it is, letter case aside.
        asciiRun.clear();
        std::string run;
        for (char c : lastNeedle) {
            if (static_cast<unsigned char>(c) < 0x80) {
                run += c;
                if (run.size() > asciiRun.size())
                    asciiRun = run;
            } else {
                run.clear();
            }
        }
    }
    if (asciiRun.size() >= 2 && !mayFoldToAscii(text) && !containsAsciiNeedle(text, asciiRun))
        return false;
    haystack.clear();
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    const auto *end = p + text.size();
    while (p < end) {
        char32_t c = *p++;
        int more = 0;
        if (c >= 0xF0) {
            c &= 0x07;
            more = 3;
        } else if (c >= 0xE0) {
            c &= 0x0F;
            more = 2;
        } else if (c >= 0xC0) {
            c &= 0x1F;
            more = 1;
        }
        while (more-- > 0 && p < end)
            c = (c << 6) | (*p++ & 0x3F);
        haystack.push_back(c < 0x80 ? char32_t(lowerAscii(char(c))) : QChar::toCaseFolded(c));
    }
    return haystack.find(needle) != std::u32string::npos;
}

} // namespace TextMatch
