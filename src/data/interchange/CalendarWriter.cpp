#include "CalendarWriter.h"

#include "CalendarReader.h"
#include "Ical.h"

#include <QTimeZone>
#include <map>
#include <set>

namespace {

icaltimetype dateOf(const QDate &date)
{
    icaltimetype t = icaltime_null_date();
    t.year = date.year();
    t.month = date.month();
    t.day = date.day();
    return t;
}

// The zone the times go out in: the system's, by its IANA name, when libical knows it; else
// every time goes out in UTC.
class OutputZone final
{
public:
    OutputZone()
    {
        const QByteArray id = QTimeZone::systemTimeZoneId();
        if (!id.isEmpty() && id != "UTC" && icaltimezone_get_builtin_timezone(id.constData()))
            m_id = id;
    }

    icalproperty *time(icalproperty *(*make)(icaltimetype), const QDateTime &local)
    {
        if (m_id.isEmpty()) {
            const QDateTime utc = local.toUTC();
            icaltimetype t = dateOf(utc.date());
            t.is_date = 0;
            t.hour = utc.time().hour();
            t.minute = utc.time().minute();
            t.second = utc.time().second();
            t.zone = icaltimezone_get_utc_timezone();
            return make(t);
        }
        if (!m_earliest.isValid() || local < m_earliest)
            m_earliest = local;
        icaltimetype t = dateOf(local.date());
        t.is_date = 0;
        t.hour = local.time().hour();
        t.minute = local.time().minute();
        t.second = local.time().second();
        icalproperty *property = make(t);
        icalproperty_add_parameter(property, icalparameter_new_tzid(m_id.constData()));
        return property;
    }

    QByteArray id() const { return m_id; }

    // libical's own VTIMEZONE for the zone, cut to the years written and named as the system
    // names it (libical would put its own prefix before the name and the zone's history since
    // the nineteenth century).
    Ical::Component component() const
    {
        if (m_id.isEmpty() || !m_earliest.isValid())
            return nullptr;
        icaltimezone *zone = icaltimezone_get_builtin_timezone(m_id.constData());
        Ical::Component vtimezone(icalcomponent_new_clone(icaltimezone_get_component(zone)));
        const QDateTime from = m_earliest.toUTC();
        icaltimetype start = dateOf(from.date().addYears(-1));
        start.is_date = 0;
        start.zone = icaltimezone_get_utc_timezone();
        icaltimezone_truncate_vtimezone(vtimezone.get(), start, icaltime_null_time(), 0);
        if (icalproperty *tzid = icalcomponent_get_first_property(vtimezone.get(), ICAL_TZID_PROPERTY))
            icalproperty_set_tzid(tzid, m_id.constData());
        while (icalproperty *location = icalcomponent_get_first_property(vtimezone.get(), ICAL_X_PROPERTY))
            icalcomponent_remove_property(vtimezone.get(), location), icalproperty_free(location);
        return vtimezone;
    }

private:
    QByteArray m_id;
    QDateTime m_earliest;
};

// Moves what an item kept into the component written for it. drop leaves out properties of
// those kinds (read again from the program's fields).
void addKept(icalcomponent *component, const QByteArray &kept, const char *kind,
             const std::set<icalproperty_kind> &drop = {})
{
    if (kept.isEmpty())
        return;
    const Ical::Component holder = Ical::parse(QByteArray("BEGIN:") + kind + "\r\n" + kept + "END:" + kind + "\r\n");
    if (!holder)
        return;
    while (icalproperty *p = icalcomponent_get_first_property(holder.get(), ICAL_ANY_PROPERTY)) {
        icalcomponent_remove_property(holder.get(), p);
        if (drop.count(icalproperty_isa(p)))
            icalproperty_free(p);
        else
            icalcomponent_add_property(component, p);
    }
    while (icalcomponent *c = icalcomponent_get_first_component(holder.get(), ICAL_ANY_COMPONENT)) {
        icalcomponent_remove_component(holder.get(), c);
        icalcomponent_add_component(component, c);
    }
}

icalproperty *stamp(const QDateTime &now)
{
    const QDateTime utc = now.toUTC();
    icaltimetype t = dateOf(utc.date());
    t.is_date = 0;
    t.hour = utc.time().hour();
    t.minute = utc.time().minute();
    t.second = utc.time().second();
    t.zone = icaltimezone_get_utc_timezone();
    return icalproperty_new_dtstamp(t);
}

icalcomponent *displayAlarm(const QString &text, icaltriggertype trigger)
{
    icalcomponent *alarm = icalcomponent_new_valarm();
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icalcomponent_add_property(alarm, icalproperty_new_description(text.toUtf8().constData()));
    icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
    return alarm;
}

// The VEVENT of one entry, without its identity's RECURRENCE-ID.
icalcomponent *eventOf(const CalendarWriter::EntryItem &item, OutputZone &zone, const QDateTime &now)
{
    const Entry &entry = item.entry;
    icalcomponent *event = icalcomponent_new_vevent();
    icalcomponent_add_property(event, icalproperty_new_uid(item.link.uid.toUtf8().constData()));
    icalcomponent_add_property(event, stamp(now));
    const QTime time = QTime::fromString(entry.time, QStringLiteral("HH:mm"));
    // An imported all-day event goes out as one while its entry stays at the start of the day.
    if (item.link.allDay && time == QTime(0, 0)) {
        icalcomponent_add_property(event, icalproperty_new_dtstart(dateOf(entry.date)));
        const qint64 days = item.link.length >= 86400 ? item.link.length / 86400 : 1;
        icalcomponent_add_property(event, icalproperty_new_dtend(dateOf(entry.date.addDays(days))));
    } else {
        const QDateTime start(entry.date, time.isValid() ? time : QTime(0, 0));
        icalcomponent_add_property(event, zone.time(icalproperty_new_dtstart, start));
        if (item.link.length >= 0)
            icalcomponent_add_property(event, zone.time(icalproperty_new_dtend, start.addSecs(item.link.length)));
    }
    icalcomponent_add_property(event, icalproperty_new_summary(entry.text.toUtf8().constData()));
    if (!entry.note.isEmpty())
        icalcomponent_add_property(event, icalproperty_new_description(entry.note.toUtf8().constData()));
    if (const QTime alarm = QTime::fromString(entry.alarmTime, QStringLiteral("HH:mm")); alarm.isValid()) {
        icaltriggertype trigger{};
        trigger.time = icaltime_null_time();
        trigger.duration = icaldurationtype_from_int(int((time.isValid() ? time : QTime(0, 0)).secsTo(alarm)));
        icalcomponent_add_component(event, displayAlarm(entry.text, trigger));
    }
    addKept(event, item.link.kept, "VEVENT");
    return event;
}

icalcomponent *todoOf(const CalendarWriter::TaskItem &item, OutputZone &zone, const QDateTime &now)
{
    const Task &task = item.task;
    icalcomponent *todo = icalcomponent_new_vtodo();
    icalcomponent_add_property(todo, icalproperty_new_uid(item.link.uid.toUtf8().constData()));
    icalcomponent_add_property(todo, stamp(now));
    const QTime time = QTime::fromString(task.time, QStringLiteral("HH:mm"));
    icalcomponent_add_property(todo, zone.time(icalproperty_new_dtstart, QDateTime(task.date, time)));
    icalcomponent_add_property(todo, icalproperty_new_summary(task.description.toUtf8().constData()));
    if (task.alarmDate.isValid()) {
        const QTime at = QTime::fromString(task.alarmTime, QStringLiteral("HH:mm"));
        const QDateTime utc = QDateTime(task.alarmDate, at.isValid() ? at : QTime(0, 0)).toUTC();
        icaltriggertype trigger{};
        trigger.time = dateOf(utc.date());
        trigger.time.is_date = 0;
        trigger.time.hour = utc.time().hour();
        trigger.time.minute = utc.time().minute();
        trigger.time.second = 0;
        trigger.time.zone = icaltimezone_get_utc_timezone();
        icalcomponent_add_component(todo, displayAlarm(task.description, trigger));
    }
    // The done mark as the file had it while it still says the same, else as the program has it.
    const Ical::Component holder = Ical::parse("BEGIN:VTODO\r\n" + item.link.kept + "END:VTODO\r\n");
    bool keptDone = false;
    bool keptMark = false;
    for (icalproperty *p = holder ? icalcomponent_get_first_property(holder.get(), ICAL_ANY_PROPERTY) : nullptr; p;
         p = icalcomponent_get_next_property(holder.get(), ICAL_ANY_PROPERTY)) {
        const icalproperty_kind kind = icalproperty_isa(p);
        if (kind == ICAL_STATUS_PROPERTY)
            keptDone = keptDone || icalproperty_get_status(p) == ICAL_STATUS_COMPLETED ||
                icalproperty_get_status(p) == ICAL_STATUS_CANCELLED;
        else if (kind == ICAL_PERCENTCOMPLETE_PROPERTY)
            keptDone = keptDone || icalproperty_get_percentcomplete(p) >= 100;
        else if (kind == ICAL_COMPLETED_PROPERTY)
            keptDone = true;
        keptMark = keptMark || kind == ICAL_STATUS_PROPERTY || kind == ICAL_PERCENTCOMPLETE_PROPERTY ||
            kind == ICAL_COMPLETED_PROPERTY;
    }
    if (keptMark && keptDone == task.done) {
        addKept(todo, item.link.kept, "VTODO");
    } else {
        addKept(todo, item.link.kept, "VTODO",
                {ICAL_STATUS_PROPERTY, ICAL_PERCENTCOMPLETE_PROPERTY, ICAL_COMPLETED_PROPERTY});
        icalcomponent_add_property(
            todo, icalproperty_new_status(task.done ? ICAL_STATUS_COMPLETED : ICAL_STATUS_NEEDSACTION));
    }
    return todo;
}

// The series uid again, from its stored text: its first VEVENT, with a DTSTAMP of now, the
// deleted repetitions as EXDATE; the time zones it names go into the calendar once.
void addSeries(icalcomponent *calendar, std::vector<icalcomponent *> &body, const QByteArray &text,
               const QStringList &gone, const QDateTime &now, std::set<QByteArray> *zones, icalcomponent **master)
{
    *master = nullptr;
    Ical::Component stored = Ical::parse("BEGIN:VCALENDAR\r\n" + text + "END:VCALENDAR\r\n");
    if (!stored)
        return;
    while (icalcomponent *c = icalcomponent_get_first_component(stored.get(), ICAL_ANY_COMPONENT)) {
        icalcomponent_remove_component(stored.get(), c);
        if (icalcomponent_isa(c) == ICAL_VTIMEZONE_COMPONENT) {
            icalproperty *tzid = icalcomponent_get_first_property(c, ICAL_TZID_PROPERTY);
            if (tzid && zones->insert(icalproperty_get_tzid(tzid)).second) {
                icalcomponent_add_component(calendar, c);
                continue;
            }
            icalcomponent_free(c);
            continue;
        }
        if (*master || icalcomponent_isa(c) != ICAL_VEVENT_COMPONENT) {
            icalcomponent_free(c);
            continue;
        }
        *master = c;
    }
    if (!*master)
        return;
    if (icalproperty *old = icalcomponent_get_first_property(*master, ICAL_DTSTAMP_PROPERTY)) {
        icalcomponent_remove_property(*master, old);
        icalproperty_free(old);
    }
    icalcomponent_add_property(*master, stamp(now));
    icalproperty *dtstart = icalcomponent_get_first_property(*master, ICAL_DTSTART_PROPERTY);
    icalparameter *tzid = dtstart ? icalproperty_get_first_parameter(dtstart, ICAL_TZID_PARAMETER) : nullptr;
    for (const QString &repetition : gone) {
        icalproperty *exdate = icalproperty_new_exdate(icaltime_from_string(repetition.toLatin1().constData()));
        if (tzid)
            icalproperty_add_parameter(exdate, icalparameter_new_clone(tzid));
        icalcomponent_add_property(*master, exdate);
    }
    body.push_back(*master);
}

} // namespace

QByteArray CalendarWriter::write(const std::vector<EntryItem> &entries, const std::vector<TaskItem> &tasks,
                                 const QHash<QString, QByteArray> &series, const QHash<QString, QStringList> &gone,
                                 const QDateTime &now)
{
    Ical::Component calendar(icalcomponent_new_vcalendar());
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Quillomar//Quillomar//ES"));
    OutputZone zone;
    std::set<QByteArray> zones;
    // The time zones come first, for readers that want them before the times that name them.
    std::vector<icalcomponent *> body;
    std::map<QString, std::vector<const EntryItem *>> repeating;
    for (const EntryItem &item : entries) {
        if (!item.link.recurrence.isEmpty() && series.contains(item.link.uid))
            repeating[item.link.uid].push_back(&item);
        else
            body.push_back(eventOf(item, zone, now));
    }
    for (const auto &[uid, items] : repeating) {
        icalcomponent *master = nullptr;
        addSeries(calendar.get(), body, series.value(uid), gone.value(uid), now, &zones, &master);
        if (!master)
            continue;
        icalproperty *dtstart = icalcomponent_get_first_property(master, ICAL_DTSTART_PROPERTY);
        icalparameter *tzid = dtstart ? icalproperty_get_first_parameter(dtstart, ICAL_TZID_PARAMETER) : nullptr;
        for (const EntryItem *item : items) {
            if (CalendarReader::print(item->entry) == item->link.print)
                continue;
            icalcomponent *changed = eventOf(*item, zone, now);
            icalproperty *id =
                icalproperty_new_recurrenceid(icaltime_from_string(item->link.recurrence.toLatin1().constData()));
            if (tzid)
                icalproperty_add_parameter(id, icalparameter_new_clone(tzid));
            icalcomponent_add_property(changed, id);
            body.push_back(changed);
        }
    }
    for (const TaskItem &item : tasks)
        body.push_back(todoOf(item, zone, now));
    if (Ical::Component vtimezone = zone.component(); vtimezone && zones.insert(zone.id()).second)
        icalcomponent_add_component(calendar.get(), vtimezone.release());
    for (icalcomponent *component : body)
        icalcomponent_add_component(calendar.get(), component);
    return Ical::text(calendar.get());
}
