#pragma once

#include <QString>
#include <string_view>

// Letter-case-insensitive matching over all of Unicode ("ÁNGEL" equals "ángel", "ñ" equals
// "Ñ", "STRASSE" equals "straße", "Ⓐ" equals "ⓐ"), as the store's criteria compare text.
// The needle is always given folded already.
//
// The searches people type into (the phone book, the diary's text search) go further: they
// also ignore the accents of vowels ("reunion" finds "Reunión", "muller" finds "Müller"), while
// "ñ" stays a letter of its own ("pena" does not find "Peña").
namespace TextMatch {

// Full Unicode case folding.
QString fold(const QString &text);
// Full case folding, and every vowel without its accents.
QString foldAccents(const QString &text);

// Appends text (UTF-8) folded as by foldAccents, UTF-8, to out.
void appendAccentsFolded(std::string_view text, std::string &out);

// text and folded are UTF-8; folded comes from fold() or foldAccents() respectively.
bool equalsFolded(std::string_view text, std::string_view folded);
bool containsFolded(std::string_view text, std::string_view folded);
bool containsAccentsFolded(std::string_view text, std::string_view folded);

// Where needle stands in text, ignoring case and the accents of vowels, counted in text's own
// characters: the stretch to select, accents and all. position is -1 when needle is absent.
struct Stretch
{
    qsizetype position = -1;
    qsizetype length = 0;
    bool found() const { return position >= 0; }
};
Stretch findIgnoringAccents(const QString &text, const QString &needle, qsizetype from = 0);

} // namespace TextMatch
