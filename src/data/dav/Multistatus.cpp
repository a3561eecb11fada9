#include "data/dav/Multistatus.h"

#include <QXmlStreamReader>

using namespace DavNames;

namespace {

QString nameOf(const QXmlStreamReader &xml)
{
    return name(xml.namespaceUri().toString(), xml.name().toString());
}

// "HTTP/1.1 404 Not Found" -> 404
int statusCode(const QString &line)
{
    const QStringList parts = line.simplified().split(QLatin1Char(' '));
    return parts.size() > 1 ? parts.at(1).toInt() : 0;
}

// Reads a property element whole; the reader is on its start and ends on its end.
Multistatus::Property readProperty(QXmlStreamReader &xml)
{
    Multistatus::Property property;
    int depth = 0;
    QString href;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            if (depth == 1)
                property.children << nameOf(xml);
            if (xml.namespaceUri() == dav && xml.name() == QLatin1String("href"))
                href.clear();
            if (xml.namespaceUri() == caldav && xml.name() == QLatin1String("comp"))
                property.components << xml.attributes().value(QLatin1String("name")).toString();
        } else if (token == QXmlStreamReader::EndElement) {
            if (depth == 0)
                break;
            if (xml.namespaceUri() == dav && xml.name() == QLatin1String("href"))
                property.hrefs << href.trimmed();
            --depth;
        } else if (token == QXmlStreamReader::Characters) {
            property.text += xml.text();
            href += xml.text();
        }
    }
    // Only a text with no element around it is the property's value.
    if (!property.children.isEmpty() && property.text.trimmed().isEmpty())
        property.text.clear();
    return property;
}

void readPropstat(QXmlStreamReader &xml, Multistatus::Response *response)
{
    QHash<QString, Multistatus::Property> properties;
    int status = 0;
    while (xml.readNextStartElement()) {
        if (xml.namespaceUri() != dav) {
            xml.skipCurrentElement();
        } else if (xml.name() == QLatin1String("prop")) {
            while (xml.readNextStartElement()) {
                const QString name = nameOf(xml);
                properties.insert(name, readProperty(xml));
            }
        } else if (xml.name() == QLatin1String("status")) {
            status = statusCode(xml.readElementText());
        } else {
            xml.skipCurrentElement();
        }
    }
    if (status / 100 == 2)
        response->found.insert(properties);
}

Multistatus::Response readResponse(QXmlStreamReader &xml)
{
    Multistatus::Response response;
    while (xml.readNextStartElement()) {
        if (xml.namespaceUri() != dav)
            xml.skipCurrentElement();
        else if (xml.name() == QLatin1String("href"))
            response.href = xml.readElementText().trimmed();
        else if (xml.name() == QLatin1String("status"))
            response.status = statusCode(xml.readElementText());
        else if (xml.name() == QLatin1String("propstat"))
            readPropstat(xml, &response);
        else
            xml.skipCurrentElement();
    }
    return response;
}

} // namespace

bool Multistatus::Response::isCollection() const
{
    return found.value(name(dav, QStringLiteral("resourcetype")))
        .children.contains(name(dav, QStringLiteral("collection")));
}

bool Multistatus::parse(const QByteArray &text, Multistatus *into)
{
    QXmlStreamReader xml(text);
    if (!xml.readNextStartElement() || xml.namespaceUri() != dav || xml.name() != QLatin1String("multistatus"))
        return false;
    while (xml.readNextStartElement()) {
        if (xml.namespaceUri() == dav && xml.name() == QLatin1String("response"))
            into->responses << readResponse(xml);
        else if (xml.namespaceUri() == dav && xml.name() == QLatin1String("sync-token"))
            into->syncToken = xml.readElementText().trimmed();
        else
            xml.skipCurrentElement();
    }
    return !xml.hasError();
}
