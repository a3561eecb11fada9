#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

// One property of a vCard as the program keeps it, whatever version it was read from: the group
// ("item1" of item1.TEL), the name in upper case, the parameters (names in upper case; a 2.1 bare
// type such as the HOME of TEL;HOME is a TYPE), and the value in the form vCard 3.0 writes it:
// escapes as read, quoted-printable and character sets already decoded, a binary value as one
// base64 run with ENCODING=b.
struct VCardProperty
{
    using Parameter = std::pair<QString, QStringList>;

    QString group;
    QString name;
    QList<Parameter> parameters;
    QString value;
    int line = 0; // where the property starts in its file; 0 for one made by the program

    // A text property with the value escaped as vCard 3.0 wants it.
    static VCardProperty text(const QString &name, const QString &text);
    // A structured property (N, ADR): each component escaped, then joined with ';'.
    static VCardProperty structured(const QString &name, const QStringList &components);
    static QString escaped(const QString &text);

    // The value with its escapes undone.
    QString text() const;
    // The value split at each unescaped ';', each part with its escapes undone.
    QStringList components() const;
    // Whether TYPE names this type (case ignored).
    bool hasType(const QString &type) const;
    // How strongly the card prefers this property: PREF=n of 4.0, 1 for TYPE=pref of 3.0 and the
    // bare PREF of 2.1, 101 (below any PREF) when it says nothing.
    int preference() const;
    QStringList parameter(const QString &name) const;
    void removeParameter(const QString &name);

    // The whole property as one unfolded vCard 3.0 line in UTF-8, without its line end.
    QByteArray contentLine() const;
    // Reads one unfolded line of a vCard of this version ("2.1", "3.0" or "4.0"): decodes its
    // quoted-printable, character set and base64, turns a 4.0 data: address into base64 and a
    // 2.1 value into the escapes of 3.0. Nothing, and why in the user's words, when the line is
    // not a property.
    static std::optional<VCardProperty> read(const QByteArray &line, const QString &version, QString *why);

    bool operator==(const VCardProperty &other) const
    {
        return group == other.group && name == other.name && parameters == other.parameters && value == other.value;
    }
};
