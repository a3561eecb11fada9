#include "PhoneSearch.h"

#include "data/Schema.h"

namespace PhoneSearch {

bool beginsWithNumber(QStringView text)
{
    bool signAllowed = true;
    bool pointSeen = false;
    for (const QChar ch : text) {
        if (ch == u' ' || ch == u'\t' || ch == u'\n')
            continue;
        if (signAllowed && (ch == u'+' || ch == u'-')) {
            signAllowed = false;
            continue;
        }
        signAllowed = false;
        if (ch >= u'1' && ch <= u'9')
            return true;
        if (ch == u'0')
            continue;
        if (ch == u'.' && !pointSeen) {
            pointSeen = true;
            continue;
        }
        return false;
    }
    return false;
}

Criterion criterionFor(const QString &text)
{
    if (beginsWithNumber(text))
        return Criterion::containsIgnoringAccents(
            {Schema::Telefonos::Tel1, Schema::Telefonos::Tel2, Schema::Telefonos::Tel3}, text);
    return Criterion::containsIgnoringAccents({Schema::Telefonos::Nombre}, text);
}

} // namespace PhoneSearch
