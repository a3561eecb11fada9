#pragma once

#include <QByteArray>
#include <QString>
#include <libical/ical.h>
#include <memory>

// The few pieces of libical's C API the calendar files are read and written with, each owned by
// a smart pointer that frees it the way libical wants.
namespace Ical {

struct FreeComponent
{
    void operator()(icalcomponent *component) const { icalcomponent_free(component); }
};
struct FreeIterator
{
    void operator()(icalrecur_iterator *iterator) const { icalrecur_iterator_free(iterator); }
};
using Component = std::unique_ptr<icalcomponent, FreeComponent>;
using RecurIterator = std::unique_ptr<icalrecur_iterator, FreeIterator>;

// Parses the text of a calendar file; nothing when libical finds no component at all. Values
// libical could not read are in the tree as X-LIC-ERROR properties, not refused.
Component parse(const QByteArray &utf8);

// The iCalendar text of a component or a property, folded and ended by CRLF.
QByteArray text(icalcomponent *component);
QByteArray text(icalproperty *property);

inline QString string(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// The TZID parameter of a property, without the prefix libical puts before the zones it
// writes itself; empty when the property has none.
QString tzid(icalproperty *property);

// The prefix libical writes before its own TZIDs.
inline constexpr char LibicalPrefix[] = "/freeassociation.sourceforge.net/";

} // namespace Ical
