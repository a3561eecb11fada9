#include "CardInterchange.h"

#include "VCard.h"

#include <QCryptographicHash>
#include <QRegularExpression>

namespace {

constexpr int Phones = 3;
constexpr int Emails = 3;

// One line for a one-line box: line breaks inside a value become ", ".
QString oneLine(const QString &text)
{
    static const QRegularExpression breaks(QStringLiteral("\\s*(\\r\\n|\\r|\\n)\\s*"));
    return QString(text).replace(breaks, QStringLiteral(", ")).trimmed();
}

QString joined(const QStringList &parts, const QString &separator)
{
    QStringList present;
    for (const QString &part : parts)
        if (!part.trimmed().isEmpty())
            present.append(part.trimmed());
    return present.join(separator);
}

// The N written for a card whose name has no parts: the whole name as the family name.
VCardProperty plainN(const QString &name)
{
    return VCardProperty::structured(QStringLiteral("N"), {name, {}, {}, {}, {}});
}

QString nameFromN(const VCardProperty &n)
{
    QStringList parts = n.components();
    parts.resize(5);
    for (QString &part : parts)
        part.replace(u',', u' ');
    return joined({parts[3], parts[1], parts[2], parts[0], parts[4]}, QStringLiteral(" "));
}

// The address's index among the ADRs: the one it prefers most, the first of equals.
qsizetype preferredAddress(const QList<VCardProperty> &addresses)
{
    qsizetype best = -1;
    for (qsizetype i = 0; i < addresses.size(); ++i)
        if (best < 0 || addresses[i].preference() < addresses[best].preference())
            best = i;
    return best;
}

QList<QByteArray> keptLines(const QByteArray &kept)
{
    QList<QByteArray> lines = kept.split('\n');
    for (QByteArray &line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    lines.removeIf([](const QByteArray &line) { return line.isEmpty(); });
    return lines;
}

} // namespace

CardInterchange CardInterchange::fromVCard(const VCard &vcard)
{
    CardInterchange result;
    auto &fields = result.card.fields;

    const QList<VCardProperty> formatted = vcard.all(QStringLiteral("FN"));
    const QList<VCardProperty> names = vcard.all(QStringLiteral("N"));
    const QList<VCardProperty> organisations = vcard.all(QStringLiteral("ORG"));
    qsizetype nameFrom = -1; // which FN gave the name
    for (qsizetype i = 0; i < formatted.size() && nameFrom < 0; ++i)
        if (!formatted[i].text().trimmed().isEmpty())
            nameFrom = i;
    if (nameFrom >= 0)
        fields[Card::Name] = oneLine(formatted[nameFrom].text());
    else if (!names.isEmpty() && !nameFromN(names.first()).isEmpty())
        fields[Card::Name] = oneLine(nameFromN(names.first()));
    else if (!organisations.isEmpty() && !joined(organisations.first().components(), QStringLiteral(" ")).isEmpty())
        fields[Card::Name] = oneLine(joined(organisations.first().components(), QStringLiteral(" ")));
    else
        fields[Card::Name] = QStringLiteral("(sin nombre)");

    const qsizetype preferred = preferredAddress(vcard.all(QStringLiteral("ADR")));
    int phones = 0, emails = 0, fnSeen = 0, nSeen = 0, addresses = 0;
    bool fax = false, uid = false;
    for (const VCardProperty &property : vcard.properties) {
        // Only the values that go to a field are read as text: a photo can be megabytes.
        const bool toField = property.name == u"UID" || property.name == u"TEL" || property.name == u"EMAIL";
        const QString text = toField ? oneLine(property.text()) : QString();
        bool placed = false;
        if (property.name == u"PRODID") {
            placed = true; // names the program that wrote the file, not the person
        } else if (property.name == u"UID" && !uid && !text.isEmpty()) {
            result.uid = property.text();
            placed = uid = true;
        } else if (property.name == u"FN") {
            placed = fnSeen++ == nameFrom;
        } else if (property.name == u"N") {
            placed = nSeen++ == 0 && property.value == plainN(fields[Card::Name]).value;
        } else if (property.name == u"TEL" && !text.isEmpty()) {
            // 4.0 may write the number as a tel: address.
            const QString number = text.startsWith(u"tel:", Qt::CaseInsensitive) ? text.mid(4) : text;
            if (property.hasType(QStringLiteral("FAX"))) {
                if (!fax)
                    fields[Card::Fax] = number;
                placed = !fax;
                fax = true;
            } else if (phones < Phones) {
                fields[Card::Phone1 + phones++] = number;
                placed = true;
            }
        } else if (property.name == u"EMAIL" && !text.isEmpty() && emails < Emails) {
            fields[Card::Email1 + emails++] = text;
            placed = true;
        } else if (property.name == u"ADR" && addresses++ == preferred) {
            QStringList parts = property.components();
            parts.resize(7);
            for (QString &part : parts)
                part = oneLine(part);
            fields[Card::Address] = joined({parts[2], parts[1], parts[0]}, QStringLiteral(", "));
            fields[Card::Town] = joined({parts[5], parts[3]}, QStringLiteral(" "));
            fields[Card::Province] = parts[4];
            fields[Card::Country] = parts[6];
            placed = true;
        }
        if (!placed)
            result.kept += property.contentLine() + "\r\n";
    }
    return result;
}

VCard CardInterchange::toVCard() const
{
    VCard vcard;
    vcard.version = QStringLiteral("3.0");
    QList<VCardProperty> kept;
    for (const QByteArray &line : keptLines(this->kept))
        if (std::optional<VCardProperty> property = VCardProperty::read(line, vcard.version, nullptr))
            kept.append(*property);
    const auto takeKept = [&kept](const QString &name) {
        std::optional<VCardProperty> found;
        const auto at = std::find_if(kept.begin(), kept.end(), [&](const VCardProperty &p) { return p.name == name; });
        if (at != kept.end()) {
            found = *at;
            kept.erase(at);
        }
        return found;
    };

    const auto &fields = card.fields;
    auto &out = vcard.properties;
    if (!uid.isEmpty())
        out.append(VCardProperty::text(QStringLiteral("UID"), uid));
    out.append(VCardProperty::text(QStringLiteral("FN"), fields[Card::Name]));
    out.append(takeKept(QStringLiteral("N")).value_or(plainN(fields[Card::Name])));
    for (int i = 0; i < Phones; ++i)
        if (!fields[Card::Phone1 + i].isEmpty())
            out.append(VCardProperty::text(QStringLiteral("TEL"), fields[Card::Phone1 + i]));
    if (!fields[Card::Fax].isEmpty()) {
        out.append(VCardProperty::text(QStringLiteral("TEL"), fields[Card::Fax]));
        out.last().parameters.append({QStringLiteral("TYPE"), {QStringLiteral("FAX")}});
    }
    for (int i = 0; i < Emails; ++i)
        if (!fields[Card::Email1 + i].isEmpty()) {
            out.append(VCardProperty::text(QStringLiteral("EMAIL"), fields[Card::Email1 + i]));
            out.last().parameters.append({QStringLiteral("TYPE"), {QStringLiteral("INTERNET")}});
        }
    if (!joined({fields[Card::Address], fields[Card::Town], fields[Card::Province], fields[Card::Country]}, {})
             .isEmpty()) {
        static const QRegularExpression postalCode(QStringLiteral("^(\\d[0-9-]*)(?:\\s+(\\S.*))?$"));
        const QRegularExpressionMatch town = postalCode.match(fields[Card::Town]);
        const QString code = town.hasMatch() ? town.captured(1) : QString();
        const QString locality = town.hasMatch() ? town.captured(2) : fields[Card::Town];
        out.append(VCardProperty::structured(
            QStringLiteral("ADR"),
            {{}, {}, fields[Card::Address], locality, fields[Card::Province], code, fields[Card::Country]}));
        // The kept addresses come after it; the card's own must stay the preferred one.
        if (std::any_of(kept.begin(), kept.end(), [](const VCardProperty &p) { return p.name == u"ADR"; }))
            out.last().parameters.append({QStringLiteral("TYPE"), {QStringLiteral("pref")}});
    }
    out += kept;
    return vcard;
}

QByteArray CardInterchange::contentKey() const
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString &field : card.fields) {
        hash.addData(field.toUtf8());
        hash.addData("\x1f");
    }
    hash.addData(kept);
    return hash.result().toHex();
}

QMap<QString, int> CardInterchange::keptKinds(const QByteArray &kept)
{
    QMap<QString, int> kinds;
    for (const QByteArray &line : keptLines(kept)) {
        QByteArrayView name =
            QByteArrayView(line).first(std::min(line.indexOf(':') < 0 ? line.size() : line.indexOf(':'),
                                                line.indexOf(';') < 0 ? line.size() : line.indexOf(';')));
        name = name.sliced(name.lastIndexOf('.') + 1);
        ++kinds[QString::fromUtf8(name).toUpper()];
    }
    kinds.remove(QStringLiteral("N")); // the parts of the name: the card has the name itself
    return kinds;
}
