#include "CardCodec.h"

// A stand-in until the vCard reader and writer arrive: FN, TEL, EMAIL, ADR and UID of vCard 3.0
// lines, everything else kept as it came.
namespace CardCodec {

namespace {

QList<QByteArray> unfolded(const QByteArray &text)
{
    QList<QByteArray> lines;
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!lines.isEmpty() && (line.startsWith(' ') || line.startsWith('\t')))
            lines.last() += line.mid(1);
        else
            lines << line;
    }
    return lines;
}

} // namespace

Read read(const QByteArray &text)
{
    Read result;
    CardInterchange current;
    int phones = 0;
    int emails = 0;
    for (const QByteArray &line : unfolded(text)) {
        const qsizetype colon = line.indexOf(':');
        const QByteArray name = line.left(colon).split(';').first().toUpper();
        const QString value = QString::fromUtf8(line.mid(colon + 1));
        if (name == "BEGIN") {
            current = {};
            phones = emails = 0;
        } else if (name == "END") {
            result.cards.push_back(current);
        } else if (name == "FN") {
            current.card.fields[Card::Name] = value;
        } else if (name == "UID") {
            current.uid = value;
        } else if (name == "TEL" && line.left(colon).toUpper().contains("FAX")) {
            current.card.fields[Card::Fax] = value;
        } else if (name == "TEL" && phones < 3) {
            current.card.fields[size_t(Card::Phone1 + phones++)] = value;
        } else if (name == "EMAIL" && emails < 3) {
            current.card.fields[size_t(Card::Email1 + emails++)] = value;
        } else if (name != "VERSION" && !name.isEmpty()) {
            current.kept += line + "\r\n";
            ++result.kept[QString::fromUtf8(name)];
        }
    }
    return result;
}

QByteArray write(const std::vector<CardInterchange> &cards)
{
    QByteArray text;
    for (const CardInterchange &item : cards) {
        text += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
        text += "FN:" + item.card.name().toUtf8() + "\r\n";
        if (!item.uid.isEmpty())
            text += "UID:" + item.uid.toUtf8() + "\r\n";
        for (int i = Card::Phone1; i <= Card::Phone3; ++i)
            if (!item.card.fields[size_t(i)].isEmpty())
                text += "TEL:" + item.card.fields[size_t(i)].toUtf8() + "\r\n";
        if (!item.card.fields[Card::Fax].isEmpty())
            text += "TEL;TYPE=FAX:" + item.card.fields[Card::Fax].toUtf8() + "\r\n";
        for (int i = Card::Email1; i <= Card::Email3; ++i)
            if (!item.card.fields[size_t(i)].isEmpty())
                text += "EMAIL:" + item.card.fields[size_t(i)].toUtf8() + "\r\n";
        text += item.kept;
        text += "END:VCARD\r\n";
    }
    return text;
}

} // namespace CardCodec
