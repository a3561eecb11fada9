#pragma once

#include "data/store/Criterion.h"

#include <QString>
#include <QStringView>

// What a text typed into the phone book's search box looks for. A text that begins with a number
// other than zero is a phone number, looked for in the three phone columns (never the fax);
// anything else is looked for in the names. Either way the text may stand anywhere in the column,
// and case and the accents of vowels do not count.
namespace PhoneSearch {

// Whether text begins with a number other than zero: an optional sign, digits, an optional
// decimal point and fraction, blanks anywhere among them skipped. "000", "0.0" and "abc" do not;
// "5551", "+34 91", "-1" and ".5" do.
bool beginsWithNumber(QStringView text);

Criterion criterionFor(const QString &text);

} // namespace PhoneSearch
