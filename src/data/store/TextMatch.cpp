#include "TextMatch.h"

#include <QChar>
#include <QHash>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace TextMatch {

namespace {

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isPlainVowel(char32_t c)
{
    return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u';
}

// Accented vowels live in the Latin blocks below this bound.
constexpr char32_t VowelTableEnd = 0x2000;

struct FoldTables
{
    // Characters (already simply folded) whose full folding is more than one character.
    QHash<char32_t, std::u32string> expansions;
    // The plain vowel an accented vowel stands for, or 0.
    std::array<char32_t, VowelTableEnd> vowels{};
};

const FoldTables &tables()
{
    static const FoldTables built = [] {
        FoldTables t;
        // The characters whose full folding is longer than their simple one all lie here; their
        // full folding is that of their full upper case.
        const std::pair<char32_t, char32_t> ranges[] = {{0xDF, 0xDF},     {0x149, 0x149},   {0x1F0, 0x1F0},
                                                        {0x390, 0x390},   {0x3B0, 0x3B0},   {0x587, 0x587},
                                                        {0x1E96, 0x1E9A}, {0x1F50, 0x1FFF}, {0xFB00, 0xFB17}};
        for (const auto &[first, last] : ranges) {
            for (char32_t c = first; c <= last; ++c) {
                const QString upper = QString::fromUcs4(&c, 1).toUpper();
                if (upper.size() > 1)
                    t.expansions.insert(c, upper.toCaseFolded().toStdU32String());
            }
        }
        // Dotted capital I: its simple folding keeps it as it is.
        t.expansions.insert(0x130, U"i\u0307");
        for (char32_t c = 0xC0; c < VowelTableEnd; ++c) {
            char32_t base = c;
            while (QChar::decompositionTag(base) == QChar::Canonical)
                base = QChar::decomposition(base).toStdU32String().front();
            if (base < 0x80 && isPlainVowel(char32_t(lowerAscii(char(base)))))
                t.vowels[c] = char32_t(lowerAscii(char(base)));
        }
        return t;
    }();
    return built;
}

// Folds text one character at a time, remembering, when asked, which stretch of the original
// each folded character came from.
class Folder
{
public:
    Folder(bool accents, bool track)
        : m_accents(accents)
        , m_track(track)
        , m_tables(tables())
    {}

    std::u32string text;
    std::vector<qsizetype> starts;
    std::vector<qsizetype> ends;

    void clear()
    {
        text.clear();
        starts.clear();
        ends.clear();
    }

    void add(char32_t c, qsizetype from = 0, qsizetype to = 0)
    {
        if (c < 0x80) {
            push(char32_t(lowerAscii(char(c))), from, to);
            return;
        }
        const char32_t simple = c == 0x130 ? c : QChar::toCaseFolded(c);
        if (!mayExpand(simple)) {
            push(simple, from, to);
            return;
        }
        const auto expansion = m_tables.expansions.constFind(simple);
        if (expansion == m_tables.expansions.cend()) {
            push(simple, from, to);
            return;
        }
        for (char32_t part : *expansion)
            push(part, from, to);
    }

    void addUtf8(std::string_view utf8)
    {
        const auto *p = reinterpret_cast<const unsigned char *>(utf8.data());
        const auto *end = p + utf8.size();
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
            add(c);
        }
    }

    void addUtf16(const QString &utf16, qsizetype from)
    {
        for (qsizetype i = from; i < utf16.size();) {
            const qsizetype start = i;
            char32_t c = utf16[i++].unicode();
            if (QChar::isHighSurrogate(c) && i < utf16.size() && utf16[i].isLowSurrogate())
                c = QChar::surrogateToUcs4(char16_t(c), utf16[i++].unicode());
            add(c, start, i);
        }
    }

private:
    // The blocks that hold every character of FoldTables::expansions.
    static bool mayExpand(char32_t c)
    {
        return c == 0xDF || c == 0x130 || c == 0x149 || c == 0x1F0 || c == 0x390 || c == 0x3B0 || c == 0x587 ||
            (c >= 0x1E96 && c <= 0x1E9A) || (c >= 0x1F50 && c <= 0x1FFF) || (c >= 0xFB00 && c <= 0xFB17);
    }

    void push(char32_t c, qsizetype from, qsizetype to)
    {
        if (m_accents && c >= 0x80 && c < VowelTableEnd) {
            if (const char32_t vowel = m_tables.vowels[c]) {
                c = vowel;
            } else if (!text.empty() && QChar::category(c) == QChar::Mark_NonSpacing) {
                // A vowel's accent written as a mark of its own after it; a tilde after an n
                // makes the letter ñ, whichever way it was written.
                if (isPlainVowel(text.back())) {
                    extendLast(to);
                    return;
                }
                if (c == 0x303 && text.back() == 'n') {
                    text.back() = 0xF1;
                    extendLast(to);
                    return;
                }
            }
        }
        text.push_back(c);
        if (m_track) {
            starts.push_back(from);
            ends.push_back(to);
        }
    }

    void extendLast(qsizetype to)
    {
        if (m_track)
            ends.back() = to;
    }

    bool m_accents;
    bool m_track;
    const FoldTables &m_tables;
};

QString toQString(const std::u32string &text)
{
    return QString::fromUcs4(text.data(), qsizetype(text.size()));
}

QString foldWith(const QString &text, bool accents)
{
    Folder folder(accents, false);
    folder.addUtf16(text, 0);
    return toQString(folder.text);
}

// The characters outside ASCII whose full folding holds an ASCII letter, such as the Kelvin
// sign (to "k"), the long s (to "s") and "ß" (to "ss"). A text holding none can be searched for
// an ASCII needle byte by byte: no other byte of a UTF-8 sequence can stand for an ASCII character.
bool mayFoldToAscii(std::string_view text)
{
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    const size_t n = text.size();
    // Looks at lead bytes only; continuation bytes (0x80 to 0xBF) and ASCII are passed over.
    for (size_t i = 0; i + 1 < n; ++i) {
        if (p[i] < 0xC3)
            continue;
        const unsigned char next = p[i + 1];
        const unsigned char third = i + 2 < n ? p[i + 2] : 0;
        switch (p[i]) {
        case 0xC3: // ß
            if (next == 0x9F)
                return true;
            break;
        case 0xC4: // İ
            if (next == 0xB0)
                return true;
            break;
        case 0xC5: // ŉ, ſ
            if (next == 0x89 || next == 0xBF)
                return true;
            break;
        case 0xC7: // ǰ
            if (next == 0xB0)
                return true;
            break;
        case 0xE1: // ẖ to ẞ
            if (next == 0xBA && third >= 0x96 && third <= 0x9E)
                return true;
            break;
        case 0xE2: // Kelvin sign
            if (next == 0x84 && third == 0xAA)
                return true;
            break;
        case 0xEF: // ﬀ to ﬆ
            if (next == 0xAC && third >= 0x80 && third <= 0x86)
                return true;
            break;
        default:
            break;
        }
    }
    return false;
}

bool containsAsciiNeedle(std::string_view text, std::string_view folded)
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

// The folded needle as code points, kept between calls: a search asks the same for every row.
// Its longest ASCII run must stand in a text as it is, letter case aside.
struct Needle
{
    std::string utf8;
    std::u32string codePoints;
    std::string asciiRun;
};

const Needle &needleOf(std::string_view folded)
{
    thread_local Needle needle;
    if (needle.utf8 != folded) {
        needle.utf8.assign(folded);
        needle.codePoints = QString::fromUtf8(folded.data(), qsizetype(folded.size())).toStdU32String();
        needle.asciiRun.clear();
        std::string run;
        for (char c : needle.utf8) {
            if (static_cast<unsigned char>(c) < 0x80) {
                run += c;
                if (run.size() > needle.asciiRun.size())
                    needle.asciiRun = run;
            } else {
                run.clear();
            }
        }
    }
    return needle;
}

} // namespace

QString fold(const QString &text)
{
    return foldWith(text, false);
}

QString foldAccents(const QString &text)
{
    return foldWith(text, true);
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
    thread_local Folder folder(false, false);
    folder.clear();
    folder.addUtf8(text);
    return folder.text == needleOf(folded).codePoints;
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
    const Needle &needle = needleOf(folded);
    if (needle.asciiRun.size() >= 2 && !mayFoldToAscii(text) && !containsAsciiNeedle(text, needle.asciiRun))
        return false;
    // Fold the text into a buffer kept between calls: no string is built for each row searched.
    thread_local Folder folder(false, false);
    folder.clear();
    folder.addUtf8(text);
    return folder.text.find(needle.codePoints) != std::u32string::npos;
}

bool containsAccentsFolded(std::string_view text, std::string_view folded)
{
    if (folded.empty())
        return true;
    const bool textAscii = isAscii(text);
    if (textAscii)
        return isAscii(folded) && containsAsciiNeedle(text, folded);
    thread_local Folder folder(true, false);
    folder.clear();
    folder.addUtf8(text);
    return folder.text.find(needleOf(folded).codePoints) != std::u32string::npos;
}

void appendAccentsFolded(std::string_view text, std::string &out)
{
    if (isAscii(text)) {
        for (char c : text)
            out += lowerAscii(c);
        return;
    }
    thread_local Folder folder(true, false);
    folder.clear();
    folder.addUtf8(text);
    for (char32_t c : folder.text) {
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
}

Stretch findIgnoringAccents(const QString &text, const QString &needle, qsizetype from)
{
    Folder folder(true, true);
    folder.addUtf16(text, std::max<qsizetype>(from, 0));
    const std::u32string folded = foldAccents(needle).toStdU32String();
    const size_t at = folder.text.find(folded);
    if (at == std::u32string::npos)
        return {};
    if (folded.empty())
        return {std::max<qsizetype>(from, 0), 0};
    const qsizetype start = folder.starts[at];
    return {start, folder.ends[at + folded.size() - 1] - start};
}

} // namespace TextMatch
