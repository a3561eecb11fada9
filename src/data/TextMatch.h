#pragma once

#include <QString>
#include <string_view>

// Letter-case-insensitive matching over all of Unicode ("ÁNGEL" equals "ángel", "ñ" equals
// "Ñ"), as the store's criteria compare text. The needle is always given folded already.
namespace TextMatch {

QString fold(const QString &text);

// text and folded are UTF-8.
bool equalsFolded(std::string_view text, std::string_view folded);
bool containsFolded(std::string_view text, std::string_view folded);

} // namespace TextMatch
