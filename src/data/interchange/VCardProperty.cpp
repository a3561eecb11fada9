#include "VCardProperty.h"

#include <QStringDecoder>

namespace {

// The places of the separator outside double quotes, up to the first stop character (when given).
QList<qsizetype> splitPoints(QByteArrayView text, char separator)
{
    QList<qsizetype> points;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (!quoted && text[i] == separator)
            points.append(i);
    }
    return points;
}

QList<QByteArrayView> split(QByteArrayView text, char separator)
{
    QList<QByteArrayView> parts;
    qsizetype from = 0;
    for (qsizetype point : splitPoints(text, separator)) {
        parts.append(text.sliced(from, point - from));
        from = point + 1;
    }
    parts.append(text.sliced(from));
    return parts;
}

bool isName(QByteArrayView name)
{
    if (name.isEmpty())
        return false;
    for (char c : name)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_'))
            return false;
    return true;
}

QByteArray decodedQuotedPrintable(QByteArrayView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '=') {
            bytes.append(c);
            continue;
        }
        if (i + 1 < text.size() && (text[i + 1] == '\r' || text[i + 1] == '\n')) { // a soft break
            i += (text[i + 1] == '\r' && i + 2 < text.size() && text[i + 2] == '\n') ? 2 : 1;
            continue;
        }
        bool ok = false;
        const int byte = i + 2 < text.size() ? text.sliced(i + 1, 2).toByteArray().toInt(&ok, 16) : 0;
        if (ok) {
            bytes.append(static_cast<char>(byte));
            i += 2;
        } else {
            bytes.append(c); // a stray '=' is taken as itself, as every reader does
        }
    }
    return bytes;
}

// 2.1 escapes nothing but a ';' inside a compound value; 3.0 escapes '\', ',' and line ends too.
QString escapesOfVersion3(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < text.size() && text[i + 1] == u';') {
            out += u"\\;";
            ++i;
        } else if (c == u'\\') {
            out += u"\\\\";
        } else if (c == u',') {
            out += u"\\,";
        } else if (c == u'\r') {
            out += u"\\n";
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            out += u"\\n";
        } else {
            out += c;
        }
    }
    return out;
}

QString unescaped(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar next = text[++i];
        out += (next == u'n' || next == u'N') ? QChar(u'\n') : next;
    }
    return out;
}

QString quotedIfNeeded(const QString &value)
{
    QString plain = value;
    plain.remove(u'"');
    if (plain.contains(u':') || plain.contains(u';') || plain.contains(u','))
        return u'"' + plain + u'"';
    return plain;
}

} // namespace

VCardProperty VCardProperty::text(const QString &name, const QString &text)
{
    VCardProperty property;
    property.name = name;
    property.value = escaped(text);
    return property;
}

VCardProperty VCardProperty::structured(const QString &name, const QStringList &components)
{
    QStringList parts;
    for (const QString &component : components)
        parts.append(escaped(component));
    VCardProperty property;
    property.name = name;
    property.value = parts.join(u';');
    return property;
}

QString VCardProperty::escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' || c == u',' || c == u';') {
            out += u'\\';
            out += c;
        } else if (c == u'\r' || c == u'\n') {
            out += u"\\n";
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QString VCardProperty::text() const
{
    return unescaped(value);
}

QStringList VCardProperty::components() const
{
    QStringList parts;
    qsizetype from = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\') {
            ++i;
        } else if (value[i] == u';') {
            parts.append(unescaped(QStringView(value).mid(from, i - from)));
            from = i + 1;
        }
    }
    parts.append(unescaped(QStringView(value).mid(from)));
    return parts;
}

bool VCardProperty::hasType(const QString &type) const
{
    for (const QString &each : parameter(QStringLiteral("TYPE")))
        if (each.compare(type, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

int VCardProperty::preference() const
{
    constexpr int unsaid = 101;
    int best = hasType(QStringLiteral("PREF")) ? 1 : unsaid;
    for (const QString &each : parameter(QStringLiteral("PREF"))) {
        bool ok = false;
        const int pref = each.toInt(&ok);
        best = std::min(best, ok ? std::clamp(pref, 1, 100) : 1);
    }
    return best;
}

QStringList VCardProperty::parameter(const QString &name) const
{
    QStringList values;
    for (const auto &[each, eachValues] : parameters)
        if (each == name)
            values += eachValues;
    return values;
}

void VCardProperty::removeParameter(const QString &name)
{
    parameters.removeIf([&](const Parameter &each) { return each.first == name; });
}

QByteArray VCardProperty::contentLine() const
{
    QString line = group.isEmpty() ? name : group + u'.' + name;
    for (const auto &[each, values] : parameters) {
        QStringList quoted;
        for (const QString &value : values)
            quoted.append(quotedIfNeeded(value));
        line += u';' + each;
        if (!(each == u"TYPE" && values.isEmpty()))
            line += u'=' + quoted.join(u',');
    }
    return (line + u':' + value).toUtf8();
}

std::optional<VCardProperty> VCardProperty::read(const QByteArray &line, const QString &version, QString *why)
{
    const auto fail = [why](const QString &text) {
        if (why)
            *why = text;
        return std::nullopt;
    };
    const QList<qsizetype> colons = splitPoints(line, ':');
    if (colons.isEmpty())
        return fail(QStringLiteral("A la línea le falta el «:» que separa el nombre del valor"));
    const QByteArrayView head = QByteArrayView(line).first(colons.first());
    QByteArrayView raw = QByteArrayView(line).sliced(colons.first() + 1);

    VCardProperty property;
    const QList<QByteArrayView> parts = split(head, ';');
    const QByteArrayView fullName = parts.first().trimmed();
    const qsizetype dot = fullName.lastIndexOf('.');
    const QByteArrayView name = dot < 0 ? fullName : fullName.sliced(dot + 1);
    const QByteArrayView group = dot < 0 ? QByteArrayView() : fullName.first(dot);
    if (!isName(name) || (dot >= 0 && !isName(group)))
        return fail(
            QStringLiteral("«%1» no es un nombre de propiedad de vCard")
                .arg(QString::fromUtf8(fullName.first(std::min<qsizetype>(fullName.size(), 40)).toByteArray())));
    property.name = QString::fromLatin1(name).toUpper();
    property.group = QString::fromLatin1(group);

    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArrayView parameter = parts[i].trimmed();
        if (parameter.isEmpty())
            continue;
        const qsizetype equals = parameter.indexOf('=');
        QString parameterName = QString::fromUtf8(equals < 0 ? parameter : parameter.first(equals)).toUpper();
        QStringList values;
        if (equals < 0) {
            values.append(parameterName);
            static const QStringList encodings = {QStringLiteral("QUOTED-PRINTABLE"), QStringLiteral("BASE64"),
                                                  QStringLiteral("8BIT"), QStringLiteral("7BIT")};
            parameterName = encodings.contains(values.first()) ? QStringLiteral("ENCODING") : QStringLiteral("TYPE");
        } else {
            for (QByteArrayView value : split(parameter.sliced(equals + 1), ',')) {
                QString text = QString::fromUtf8(value.trimmed());
                if (text.startsWith(u'"') && text.endsWith(u'"') && text.size() >= 2)
                    text = text.mid(1, text.size() - 2);
                // 4.0 writes several types as one quoted list: TYPE="home,voice".
                if (parameterName == u"TYPE")
                    values += text.split(u',', Qt::SkipEmptyParts);
                else
                    values.append(text);
            }
        }
        property.parameters.append({parameterName, values});
    }

    const QString encoding = property.parameter(QStringLiteral("ENCODING")).value(0).toUpper();
    const QString charset = property.parameter(QStringLiteral("CHARSET")).value(0);
    property.removeParameter(QStringLiteral("CHARSET"));
    QByteArray bytes = raw.toByteArray();
    if (encoding == u"BASE64" || encoding == u"B") {
        bytes.removeIf([](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
        if (!QByteArray::fromBase64Encoding(bytes, QByteArray::AbortOnBase64DecodingErrors))
            return fail(QStringLiteral("El valor de %1 no está bien codificado en base64").arg(property.name));
        property.removeParameter(QStringLiteral("ENCODING"));
        property.parameters.prepend({QStringLiteral("ENCODING"), {QStringLiteral("b")}});
        property.value = QString::fromLatin1(bytes);
        return property;
    }
    if (encoding == u"QUOTED-PRINTABLE")
        bytes = decodedQuotedPrintable(bytes);
    if (!encoding.isEmpty())
        property.removeParameter(QStringLiteral("ENCODING"));

    const QByteArray charsetName = charset.isEmpty() ? QByteArray("UTF-8") : charset.toLatin1();
    QStringDecoder decoder(charsetName.constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return fail(QStringLiteral("El juego de caracteres «%1» no se conoce").arg(charset.left(40)));
    QString value = decoder.decode(bytes);
    if (decoder.hasError())
        return fail(charset.isEmpty() ? QStringLiteral("El texto no es UTF-8 válido")
                                      : QStringLiteral("El texto no es %1 válido").arg(charset.left(40)));

    if (value.contains(QChar(0))) // written out, it would make a file no reader takes
        return fail(QStringLiteral("El archivo contiene un carácter nulo"));

    // 4.0 carries a photo or a sound inside the value, as data:image/jpeg;base64,...
    static const QString dataPrefix = QStringLiteral("data:");
    const qsizetype base64 = value.indexOf(u";base64,");
    if (value.startsWith(dataPrefix) && base64 > 0) {
        const QString mediaType = value.mid(dataPrefix.size(), base64 - dataPrefix.size());
        const QByteArray payload = value.mid(base64 + 8).toLatin1();
        if (!QByteArray::fromBase64Encoding(payload, QByteArray::AbortOnBase64DecodingErrors))
            return fail(QStringLiteral("El valor de %1 no está bien codificado en base64").arg(property.name));
        property.removeParameter(QStringLiteral("VALUE"));
        property.removeParameter(QStringLiteral("MEDIATYPE"));
        const QString subtype = mediaType.section(u'/', 1).toUpper();
        if (!subtype.isEmpty())
            property.parameters.prepend({QStringLiteral("TYPE"), {subtype}});
        property.parameters.prepend({QStringLiteral("ENCODING"), {QStringLiteral("b")}});
        property.value = QString::fromLatin1(payload);
        return property;
    }
    if (version == u"2.1") {
        value = escapesOfVersion3(value);
    } else {
        // A line end decoded from quoted-printable, which some 3.0 writers still use.
        value.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
        value.replace(u'\r', QStringLiteral("\\n")).replace(u'\n', QStringLiteral("\\n"));
    }
    property.value = value;
    return property;
}
