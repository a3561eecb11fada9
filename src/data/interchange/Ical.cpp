#include "Ical.h"

namespace Ical {

namespace {

// libical stops the program on an error unless told otherwise; a bad file must only be refused.
void tameErrors()
{
    static const bool tamed = [] {
        icalerror_set_errors_are_fatal(0);
        return true;
    }();
    Q_UNUSED(tamed);
}

QByteArray taken(char *owned)
{
    QByteArray bytes(owned ? owned : "");
    icalmemory_free_buffer(owned);
    return bytes;
}

} // namespace

Component parse(const QByteArray &utf8)
{
    tameErrors();
    return Component(icalparser_parse_string(utf8.constData()));
}

QByteArray text(icalcomponent *component)
{
    return taken(icalcomponent_as_ical_string_r(component));
}

QByteArray text(icalproperty *property)
{
    return taken(icalproperty_as_ical_string_r(property));
}

QString tzid(icalproperty *property)
{
    icalparameter *parameter = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    if (!parameter)
        return {};
    QString id = string(icalparameter_get_tzid(parameter));
    if (id.startsWith(QLatin1String(LibicalPrefix)))
        id = id.mid(int(sizeof(LibicalPrefix)) - 1);
    // Its zones read from the system's files carry one more folder.
    if (id.startsWith(QLatin1String("Tzfile/")))
        id = id.mid(7);
    return id;
}

} // namespace Ical
