#include "VCard.h"

#include "VCardParse.h"

namespace {

// A property longer than this is no contact data but a broken or hostile file.
constexpr qsizetype LongestProperty = 16 * 1024 * 1024;
constexpr qsizetype LongestLine = 75;

struct LogicalLine
{
    QByteArray text;
    int line = 0;
};

bool isFold(QByteArrayView line)
{
    return !line.isEmpty() && (line.front() == ' ' || line.front() == '\t');
}

// Whether a line of a 2.1 card is quoted-printable and its last '=' is a soft break that carries
// the value onto the next line.
bool continuesQuotedPrintable(const QByteArray &line)
{
    if (!line.endsWith('='))
        return false;
    const qsizetype colon = line.indexOf(':');
    return colon > 0 && line.first(colon).toUpper().contains("QUOTED-PRINTABLE");
}

// Whether a 2.1 base64 value goes on below without the leading space of a folded line, as some
// phones write it: the lines of the value run up to an empty line.
bool isBase64Start(const QByteArray &line)
{
    const qsizetype colon = line.indexOf(':');
    return colon > 0 && line.first(colon).toUpper().contains("BASE64");
}

bool isBase64Text(QByteArrayView line)
{
    if (line.isEmpty())
        return false;
    for (char c : line)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '/' || c == '='))
            return false;
    return true;
}

bool is(QByteArrayView line, QByteArrayView text)
{
    return line.trimmed().compare(text, Qt::CaseInsensitive) == 0;
}

} // namespace

QList<VCardProperty> VCard::all(const QString &name) const
{
    QList<VCardProperty> found;
    for (const VCardProperty &property : properties)
        if (property.name == name)
            found.append(property);
    return found;
}

VCardParse VCard::parse(const QByteArray &data)
{
    VCardParse result;
    const auto fail = [&result](const QString &why, int line) {
        result.cards.clear();
        result.error = why;
        result.line = line;
        return result;
    };

    // Physical lines, with the number each starts on.
    QList<QByteArrayView> lines;
    QByteArrayView rest(data);
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    while (!rest.isEmpty()) {
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView line = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(line);
    }
    const qsizetype nul = data.indexOf('\0');
    if (nul >= 0)
        return fail(QStringLiteral("El archivo contiene un carácter nulo"),
                    int(QByteArrayView(data).first(nul).count('\n')) + 1);

    // Logical lines: folded lines joined, and the soft breaks of 2.1's quoted-printable.
    QList<LogicalLine> logical;
    bool version21 = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        if (!logical.isEmpty() && version21 && continuesQuotedPrintable(logical.last().text)) {
            logical.last().text.chop(1);
            logical.last().text += lines[i];
        } else if (isFold(lines[i]) && !logical.isEmpty()) {
            logical.last().text += lines[i].sliced(1);
        } else if (!logical.isEmpty() && version21 && isBase64Start(logical.last().text) && isBase64Text(lines[i])) {
            logical.last().text += lines[i];
        } else {
            logical.append({lines[i].toByteArray(), int(i) + 1});
        }
        if (logical.last().text.size() > LongestProperty)
            return fail(QStringLiteral("Una línea es demasiado larga para una tarjeta"), logical.last().line);
        if (is(logical.last().text, "VERSION:2.1"))
            version21 = true;
        else if (is(logical.last().text, "BEGIN:VCARD"))
            version21 = false;
        // A 2.1 card says its version on the line after BEGIN, before any value that needs it.
    }

    std::optional<VCard> card;
    for (const LogicalLine &line : logical) {
        if (is(line.text, "BEGIN:VCARD")) {
            if (card)
                return fail(QStringLiteral("Empieza una tarjeta antes de que termine la anterior (falta END:VCARD)"),
                            line.line);
            card = VCard();
            card->line = line.line;
            continue;
        }
        if (is(line.text, "END:VCARD")) {
            if (!card)
                return fail(QStringLiteral("END:VCARD sin BEGIN:VCARD"), line.line);
            if (card->version.isEmpty())
                card->version = QStringLiteral("3.0");
            result.cards.append(*card);
            card.reset();
            continue;
        }
        if (!card)
            return fail(QStringLiteral("Hay datos fuera de una tarjeta (falta BEGIN:VCARD)"), line.line);
        const QString version = card->version.isEmpty() ? QStringLiteral("3.0") : card->version;
        QString why;
        std::optional<VCardProperty> property = VCardProperty::read(line.text, version, &why);
        if (!property)
            return fail(why, line.line);
        property->line = line.line;
        if (property->name == u"VERSION") {
            if (property->value != u"2.1" && property->value != u"3.0" && property->value != u"4.0")
                return fail(QStringLiteral("La versión de vCard «%1» no se conoce").arg(property->value.left(20)),
                            line.line);
            card->version = property->value;
            continue;
        }
        if (property->name == u"BEGIN" || property->name == u"END")
            return fail(QStringLiteral("Se esperaba BEGIN:VCARD o END:VCARD"), line.line);
        card->properties.append(*property);
    }
    if (card)
        return fail(QStringLiteral("La tarjeta que empieza aquí no termina (falta END:VCARD)"), card->line);
    if (result.cards.isEmpty())
        return fail(QStringLiteral("El archivo no contiene ninguna tarjeta"), 1);
    return result;
}

QByteArray VCard::write(const QList<VCard> &cards)
{
    QByteArray out;
    for (const VCard &card : cards) {
        out += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
        for (const VCardProperty &property : card.properties)
            if (property.name != u"VERSION" && property.name != u"BEGIN" && property.name != u"END")
                out += folded(property.contentLine());
        out += "END:VCARD\r\n";
    }
    return out;
}

QByteArray VCard::folded(const QByteArray &line)
{
    QByteArray out;
    out.reserve(line.size() + line.size() / (LongestLine - 1) * 3 + 2);
    qsizetype from = 0;
    qsizetype room = LongestLine;
    while (line.size() - from > room) {
        qsizetype cut = from + room;
        while (cut > from && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) // inside a character
            --cut;
        if (cut == from)
            cut = from + room;
        out += QByteArrayView(line).sliced(from, cut - from);
        out += "\r\n ";
        from = cut;
        room = LongestLine - 1;
    }
    out += QByteArrayView(line).sliced(from);
    out += "\r\n";
    return out;
}
