#include "CalendarReader.h"

#include "Ical.h"
#include "InterchangeFile.h"
#include "data/Schema.h"

#include <QCryptographicHash>
#include <QTimeZone>
#include <map>
#include <set>

namespace {

const QString Untitled = QStringLiteral("(sin título)");
constexpr int TextWidth = 255;
// Rules whose repetitions never match stop here rather than hold the import up.
constexpr int StepLimit = 200000;

QString hhmm(const QTime &time)
{
    return time.toString(QStringLiteral("HH:mm"));
}

bool validTime(const icaltimetype &t)
{
    if (icaltime_is_null_time(t) || !QDate::isValid(t.year, t.month, t.day) || t.year < 1 || t.year > 9999)
        return false;
    return t.is_date ||
        (t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0 && t.second <= 60);
}

QByteArray timeText(icaltimetype t)
{
    char *owned = icaltime_as_ical_string_r(t);
    QByteArray text(owned);
    icalmemory_free_buffer(owned);
    return text;
}

// The names the summary gives what it keeps, by property or component.
QString kindName(const QString &name)
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("LOCATION"), QStringLiteral("lugar")},
        {QStringLiteral("ATTENDEE"), QStringLiteral("asistentes")},
        {QStringLiteral("ORGANIZER"), QStringLiteral("organizador")},
        {QStringLiteral("DUE"), QStringLiteral("fecha límite")},
        {QStringLiteral("DESCRIPTION"), QStringLiteral("descripción")},
        {QStringLiteral("CATEGORIES"), QStringLiteral("categorías")},
        {QStringLiteral("URL"), QStringLiteral("enlace")},
        {QStringLiteral("PRIORITY"), QStringLiteral("prioridad")},
        {QStringLiteral("CLASS"), QStringLiteral("clase")},
        {QStringLiteral("GEO"), QStringLiteral("posición")},
        {QStringLiteral("ATTACH"), QStringLiteral("adjuntos")},
        {QStringLiteral("COMMENT"), QStringLiteral("comentarios")},
        {QStringLiteral("VALARM"), QStringLiteral("otras alarmas")},
        {QStringLiteral("RECURRENCE-ID"), QStringLiteral("repeticiones sueltas")},
    };
    return names.value(name, name);
}

// Kept with the item and written back, but no loss worth telling the user of.
bool housekeeping(icalproperty_kind kind)
{
    switch (kind) {
    case ICAL_SEQUENCE_PROPERTY:
    case ICAL_CREATED_PROPERTY:
    case ICAL_LASTMODIFIED_PROPERTY:
    case ICAL_TRANSP_PROPERTY:
    case ICAL_STATUS_PROPERTY:
    case ICAL_PERCENTCOMPLETE_PROPERTY:
    case ICAL_COMPLETED_PROPERTY:
        return true;
    default:
        return false;
    }
}

// The date or time a property holds, whatever its kind.
icaltimetype timeOf(icalproperty *property)
{
    const icalvalue *value = icalproperty_get_value(property);
    if (!value)
        return icaltime_null_time();
    switch (icalvalue_isa(value)) {
    case ICAL_DATE_VALUE:
        return icalvalue_get_date(value);
    case ICAL_DATETIME_VALUE:
        return icalvalue_get_datetime(value);
    case ICAL_DATETIMEPERIOD_VALUE: {
        const icaldatetimeperiodtype period = icalvalue_get_datetimeperiod(value);
        return icaltime_is_null_time(period.time) ? period.period.start : period.time;
    }
    case ICAL_TRIGGER_VALUE:
        return icalvalue_get_trigger(value).time;
    default:
        return icaltime_null_time();
    }
}

class Reader final
{
public:
    Reader(const QByteArray &text, const QDate &today)
        : m_text(text)
        , m_today(today)
    {}

    CalendarReader::Result run();

private:
    struct Zone
    {
        QTimeZone qt;
        icaltimezone *ical = nullptr;
    };

    bool fail(const QString &why, const QByteArray &needle);
    bool checkTree(icalcomponent *component);
    QDateTime local(icalproperty *property, icaltimetype t);
    const Zone &zoneOf(icalproperty *property);
    qint64 lengthOf(icalcomponent *event, const QDateTime &start, bool allDay);
    void setTexts(Entry &entry, icalcomponent *event);
    QDateTime alarmOf(icalcomponent *alarm, const QDateTime &start, const QDateTime &end, bool *set);
    icalcomponent *entryAlarm(icalcomponent *event, const QDateTime &start, qint64 length, Entry &entry, bool count);
    QByteArray keep(icalcomponent *component, icalcomponent *used, const std::set<icalproperty_kind> &read, bool count);
    ImportPlan::EntryItem entryOf(icalcomponent *event, const QDateTime &start, bool count, bool loose);
    QString uidOf(icalcomponent *component);
    void event(icalcomponent *event);
    bool series(icalcomponent *master, const std::vector<icalcomponent *> &changed);
    void todo(icalcomponent *todo);

    const QByteArray &m_text;
    const QDate m_today;
    CalendarReader::Result m_result;
    icalcomponent *m_calendar = nullptr;
    QHash<QString, Zone> m_zones;
};

bool Reader::fail(const QString &why, const QByteArray &needle)
{
    if (m_result.error.isEmpty()) {
        m_result.error = why;
        m_result.line = InterchangeFile::lineOf(m_text, needle);
    }
    return false;
}

// Refuses what libical marked as wrong, and dates no calendar has (30 February).
bool Reader::checkTree(icalcomponent *component)
{
    for (icalproperty *p = icalcomponent_get_first_property(component, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_ANY_PROPERTY)) {
        if (icalproperty_isa(p) == ICAL_XLICERROR_PROPERTY) {
            const QByteArray what = icalproperty_get_xlicerror(p);
            // An empty value (an empty SUMMARY) is no error: the property is as good as absent.
            if (what.startsWith("No value for "))
                continue;
            // libical quotes the line it could not read after the last colon.
            const QByteArray quoted = what.mid(what.lastIndexOf(':') + 1).trimmed();
            return fail(QStringLiteral("hay un valor que no se puede leer"), quoted);
        }
        if (const icalvalue *value = icalproperty_get_value(p)) {
            const icalvalue_kind kind = icalvalue_isa(value);
            const bool dated = kind == ICAL_DATE_VALUE || kind == ICAL_DATETIME_VALUE ||
                kind == ICAL_DATETIMEPERIOD_VALUE || (kind == ICAL_TRIGGER_VALUE && !icaltime_is_null_time(timeOf(p)));
            if (dated && !validTime(timeOf(p))) {
                const QByteArray line = Ical::text(p);
                const QByteArray value = line.mid(line.lastIndexOf(':') + 1).trimmed();
                return fail(QStringLiteral("la fecha «%1» no existe").arg(QString::fromUtf8(value)), value);
            }
        }
    }
    for (icalcomponent *c = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT))
        if (!checkTree(c))
            return false;
    return true;
}

const Reader::Zone &Reader::zoneOf(icalproperty *property)
{
    const QString id = Ical::tzid(property);
    if (auto found = m_zones.constFind(id); found != m_zones.constEnd())
        return *found;
    Zone zone;
    // The system's zone data first: some producers send VTIMEZONEs that are wrong.
    if (QTimeZone::isTimeZoneIdAvailable(id.toUtf8()))
        zone.qt = QTimeZone(id.toUtf8());
    else if (const QByteArray iana = QTimeZone::windowsIdToDefaultIanaId(id.toUtf8()); !iana.isEmpty())
        zone.qt = QTimeZone(iana);
    if (!zone.qt.isValid()) {
        icalparameter *parameter = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
        zone.ical = icalcomponent_get_timezone(m_calendar, icalparameter_get_tzid(parameter));
    }
    if (!zone.qt.isValid() && !zone.ical)
        ++m_result.plan.kept[QStringLiteral("zona horaria desconocida, tomada como hora local")];
    return *m_zones.insert(id, zone);
}

QDateTime Reader::local(icalproperty *property, icaltimetype t)
{
    const QDate date(t.year, t.month, t.day);
    if (t.is_date)
        return QDateTime(date, QTime(0, 0));
    const QTime time(t.hour, t.minute, qMin(t.second, 59));
    if (icaltime_is_utc(t))
        return QDateTime(date, time, QTimeZone::utc()).toLocalTime();
    if (Ical::tzid(property).isEmpty())
        return QDateTime(date, time);
    const Zone &zone = zoneOf(property);
    if (zone.qt.isValid())
        return QDateTime(date, time, zone.qt).toLocalTime();
    if (zone.ical) {
        icaltimetype utc = t;
        utc.zone = nullptr;
        icaltimezone_convert_time(&utc, zone.ical, icaltimezone_get_utc_timezone());
        return QDateTime(QDate(utc.year, utc.month, utc.day), QTime(utc.hour, utc.minute, qMin(utc.second, 59)),
                         QTimeZone::utc())
            .toLocalTime();
    }
    return QDateTime(date, time);
}

qint64 Reader::lengthOf(icalcomponent *event, const QDateTime &start, bool allDay)
{
    if (icalproperty *end = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY)) {
        const QDateTime to = local(end, timeOf(end));
        return allDay ? start.date().daysTo(to.date()) * 86400 : start.secsTo(to);
    }
    if (icalproperty *duration = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY))
        return icaldurationtype_as_int(icalproperty_get_duration(duration));
    return -1;
}

void Reader::setTexts(Entry &entry, icalcomponent *event)
{
    icalproperty *summary = icalcomponent_get_first_property(event, ICAL_SUMMARY_PROPERTY);
    icalproperty *description = icalcomponent_get_first_property(event, ICAL_DESCRIPTION_PROPERTY);
    QString text = summary ? Ical::string(icalproperty_get_summary(summary)) : QString();
    const QString note = description ? Ical::string(icalproperty_get_description(description)) : QString();
    if (text.trimmed().isEmpty())
        text = Untitled;
    if (text.size() <= TextWidth) {
        entry.text = text;
        entry.note = note;
        return;
    }
    // The whole summary goes into the note, so nothing of it is lost.
    QString cut = text.left(TextWidth - 1);
    if (cut.back().isHighSurrogate())
        cut.chop(1);
    entry.text = cut + QChar(0x2026);
    entry.note = note.isEmpty() ? text : text + QStringLiteral("\n\n") + note;
}

QDateTime Reader::alarmOf(icalcomponent *alarm, const QDateTime &start, const QDateTime &end, bool *set)
{
    *set = false;
    icalproperty *trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
    if (!trigger)
        return {};
    const icaltriggertype when = icalproperty_get_trigger(trigger);
    if (!icaltime_is_null_time(when.time)) {
        *set = true;
        return local(trigger, when.time);
    }
    icalparameter *related = icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER);
    const QDateTime anchor =
        related && icalparameter_get_related(related) == ICAL_RELATED_END && end.isValid() ? end : start;
    if (!anchor.isValid())
        return {};
    *set = true;
    return anchor.addSecs(icaldurationtype_as_int(when.duration));
}

icalcomponent *Reader::entryAlarm(icalcomponent *event, const QDateTime &start, qint64 length, Entry &entry, bool count)
{
    icalcomponent *alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT);
    if (!alarm)
        return nullptr;
    bool set = false;
    const QDateTime at = alarmOf(alarm, start, length >= 0 ? start.addSecs(length) : QDateTime(), &set);
    if (set && at.date() == entry.date) {
        entry.alarmTime = hhmm(at.time());
        return alarm;
    }
    // The program rings an entry's alarm on the entry's own day only.
    if (count)
        ++m_result.plan.alarmsNotSet;
    return alarm;
}

QByteArray Reader::keep(icalcomponent *component, icalcomponent *used, const std::set<icalproperty_kind> &read,
                        bool count)
{
    QByteArray kept;
    for (icalproperty *p = icalcomponent_get_first_property(component, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_ANY_PROPERTY)) {
        const icalproperty_kind kind = icalproperty_isa(p);
        if (read.count(kind))
            continue;
        kept += Ical::text(p);
        if (count && !housekeeping(kind))
            ++m_result.plan.kept[kindName(Ical::string(icalproperty_get_property_name(p)))];
    }
    for (icalcomponent *c = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
        kept += Ical::text(c);
        if (count && c != used)
            ++m_result.plan.kept[kindName(Ical::string(icalcomponent_kind_to_string(icalcomponent_isa(c))))];
    }
    return kept;
}

QString Reader::uidOf(icalcomponent *component)
{
    if (const char *uid = icalcomponent_get_uid(component); uid && *uid)
        return Ical::string(uid);
    // Without one, the same item read again must still be found: its text names it.
    QByteArray text;
    for (icalproperty_kind kind : {ICAL_DTSTART_PROPERTY, ICAL_SUMMARY_PROPERTY, ICAL_DESCRIPTION_PROPERTY})
        if (icalproperty *p = icalcomponent_get_first_property(component, kind))
            text += Ical::text(p);
    return QStringLiteral("sin-uid-") +
        QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Sha1).toHex());
}

// One entry of an event starting at start (a repetition's, or its own DTSTART's). A loose
// repetition, whose series is not in the file, keeps its RECURRENCE-ID with what has no field.
ImportPlan::EntryItem Reader::entryOf(icalcomponent *event, const QDateTime &start, bool count, bool loose)
{
    ImportPlan::EntryItem item;
    icalproperty *dtstart = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
    const bool allDay = dtstart && timeOf(dtstart).is_date;
    item.entry.date = start.date();
    item.entry.time = hhmm(start.time());
    setTexts(item.entry, event);
    item.link.table = Schema::Notas::Table;
    item.link.uid = uidOf(event);
    item.link.allDay = allDay;
    item.link.length = lengthOf(event, local(dtstart, timeOf(dtstart)), allDay);
    icalcomponent *alarm = entryAlarm(event, start, item.link.length, item.entry, count);
    // An alarm on another day than the entry's stays with the item.
    const bool alarmRead = alarm && !item.entry.alarmTime.isEmpty();
    std::set<icalproperty_kind> read = {ICAL_UID_PROPERTY,         ICAL_DTSTAMP_PROPERTY,  ICAL_DTSTART_PROPERTY,
                                        ICAL_DTEND_PROPERTY,       ICAL_DURATION_PROPERTY, ICAL_SUMMARY_PROPERTY,
                                        ICAL_DESCRIPTION_PROPERTY, ICAL_RRULE_PROPERTY,    ICAL_RDATE_PROPERTY,
                                        ICAL_EXDATE_PROPERTY};
    if (!loose)
        read.insert(ICAL_RECURRENCEID_PROPERTY);
    if (alarmRead)
        icalcomponent_remove_component(event, alarm);
    item.link.kept = keep(event, alarmRead ? nullptr : alarm, read, count);
    if (alarmRead)
        icalcomponent_add_component(event, alarm);
    return item;
}

void Reader::event(icalcomponent *event)
{
    icalproperty *dtstart = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
    if (!dtstart) {
        fail(QStringLiteral("un evento no tiene fecha de comienzo (DTSTART)"), "BEGIN:VEVENT");
        return;
    }
    const bool loose = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY) != nullptr;
    m_result.plan.entries.push_back(entryOf(event, local(dtstart, timeOf(dtstart)), true, loose));
}

// A repeating event: one entry per repetition (every one of a finite rule, an endless one's
// from a year back to two years ahead, at most SeriesLimit), the changed repetitions as the file
// changed them, the deleted ones (EXDATE) left out. libical's bare rule iterator does not leave
// out EXDATE, so they are taken out here.
bool Reader::series(icalcomponent *master, const std::vector<icalcomponent *> &changed)
{
    icalproperty *dtstart = icalcomponent_get_first_property(master, ICAL_DTSTART_PROPERTY);
    if (!dtstart)
        return fail(QStringLiteral("un evento no tiene fecha de comienzo (DTSTART)"), "BEGIN:VEVENT");
    const icaltimetype first = timeOf(dtstart);
    const QDate from = m_today.addYears(-1);
    const QDate to = m_today.addYears(2);
    std::map<QDateTime, icaltimetype> starts;
    bool endless = false;
    int past = 0;
    const auto add = [&](icaltimetype t, bool windowed) {
        const QDateTime start = local(dtstart, t);
        if (windowed && (start.date() < from || start.date() > to))
            return;
        starts.emplace(start, t);
    };
    for (icalproperty *p = icalcomponent_get_first_property(master, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(master, ICAL_RRULE_PROPERTY)) {
        const icalrecurrencetype rule = icalproperty_get_rrule(p);
        const bool open = rule.count == 0 && icaltime_is_null_time(rule.until);
        endless = endless || open;
        Ical::RecurIterator iterator(icalrecur_iterator_new(rule, first));
        if (!iterator)
            return fail(QStringLiteral("la regla de repetición no se puede leer"), "RRULE");
        if (open) {
            icaltimetype start = first;
            const QDate day = from.addDays(-1);
            start.year = day.year();
            start.month = day.month();
            start.day = day.day();
            if (QDate(first.year, first.month, first.day) < day)
                icalrecur_iterator_set_start(iterator.get(), start);
        }
        for (int step = 0; step < StepLimit; ++step) {
            const icaltimetype t = icalrecur_iterator_next(iterator.get());
            if (icaltime_is_null_time(t) || !validTime(t))
                break;
            if (open && local(dtstart, t).date() > to)
                break;
            add(t, open);
        }
    }
    add(first, endless);
    for (icalproperty *p = icalcomponent_get_first_property(master, ICAL_RDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(master, ICAL_RDATE_PROPERTY))
        add(timeOf(p), false);
    for (icalproperty *p = icalcomponent_get_first_property(master, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(master, ICAL_EXDATE_PROPERTY)) {
        const QDateTime gone = local(p, timeOf(p));
        std::erase_if(starts, [&](const auto &start) {
            return first.is_date || timeOf(p).is_date ? start.first.date() == gone.date() : start.first == gone;
        });
    }
    std::map<QDateTime, icalcomponent *> changes;
    for (icalcomponent *c : changed) {
        icalproperty *id = icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY);
        changes.emplace(local(id, timeOf(id)), c);
    }
    if (starts.size() > size_t(CalendarReader::SeriesLimit)) {
        past = int(starts.size()) - CalendarReader::SeriesLimit;
        starts.erase(std::next(starts.begin(), CalendarReader::SeriesLimit), starts.end());
    }
    m_result.plan.unexpanded += past;

    bool counted = false;
    const auto instance = [&](const QDateTime &start, icaltimetype t) {
        ImportPlan::EntryItem plain = entryOf(master, start, !counted, false);
        counted = true;
        plain.link.recurrence = QString::fromLatin1(timeText(t));
        plain.link.print = CalendarReader::print(plain.entry);
        plain.link.kept.clear(); // the series' own text keeps it
        if (auto change = changes.find(start); change != changes.end()) {
            icalproperty *own = icalcomponent_get_first_property(change->second, ICAL_DTSTART_PROPERTY);
            ImportPlan::EntryItem moved = entryOf(change->second, own ? local(own, timeOf(own)) : start, true, false);
            moved.link.recurrence = plain.link.recurrence;
            moved.link.print = plain.link.print;
            changes.erase(change);
            plain = moved;
        }
        m_result.plan.entries.push_back(plain);
    };
    for (const auto &[start, t] : starts)
        instance(start, t);
    // Changed repetitions of dates past the limits are brought in all the same.
    for (const auto &[start, c] : std::map<QDateTime, icalcomponent *>(changes)) {
        icalproperty *id = icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY);
        instance(start, timeOf(id));
    }

    // The series goes out again as it came, with the time zones it names that the file defined.
    QByteArray text;
    std::set<QByteArray> zones;
    for (icalproperty *p = icalcomponent_get_first_property(master, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(master, ICAL_ANY_PROPERTY))
        if (icalparameter *tzid = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER))
            zones.insert(icalparameter_get_tzid(tzid));
    for (const QByteArray &zone : zones)
        if (icaltimezone *defined = icalcomponent_get_timezone(m_calendar, zone.constData()))
            text += Ical::text(icaltimezone_get_component(defined));
    text += Ical::text(master);
    m_result.plan.series.insert(uidOf(master), text);
    return true;
}

void Reader::todo(icalcomponent *todo)
{
    ImportPlan::TaskItem item;
    Task &task = item.task;
    icalproperty *summary = icalcomponent_get_first_property(todo, ICAL_SUMMARY_PROPERTY);
    task.description = summary ? Ical::string(icalproperty_get_summary(summary)) : QString();
    if (task.description.trimmed().isEmpty())
        task.description = Untitled;
    icalproperty *dtstart = icalcomponent_get_first_property(todo, ICAL_DTSTART_PROPERTY);
    icalproperty *created = icalcomponent_get_first_property(todo, ICAL_CREATED_PROPERTY);
    icalproperty *due = icalcomponent_get_first_property(todo, ICAL_DUE_PROPERTY);
    const QDateTime start = dtstart ? local(dtstart, timeOf(dtstart))
        : created                   ? local(created, timeOf(created))
                                    : QDateTime(m_today, QTime(0, 0));
    task.date = start.date();
    task.time = hhmm(start.time());
    for (icalproperty *p = icalcomponent_get_first_property(todo, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(todo, ICAL_ANY_PROPERTY)) {
        switch (icalproperty_isa(p)) {
        case ICAL_STATUS_PROPERTY:
            task.done = task.done || icalproperty_get_status(p) == ICAL_STATUS_COMPLETED ||
                icalproperty_get_status(p) == ICAL_STATUS_CANCELLED;
            break;
        case ICAL_PERCENTCOMPLETE_PROPERTY:
            task.done = task.done || icalproperty_get_percentcomplete(p) >= 100;
            break;
        case ICAL_COMPLETED_PROPERTY:
            task.done = true;
            break;
        default:
            break;
        }
    }
    icalcomponent *alarm = icalcomponent_get_first_component(todo, ICAL_VALARM_COMPONENT);
    bool alarmRead = false;
    if (alarm) {
        bool set = false;
        const QDateTime at =
            alarmOf(alarm, dtstart ? start : QDateTime(), due ? local(due, timeOf(due)) : QDateTime(), &set);
        if (set) {
            task.alarmDate = at.date();
            task.alarmTime = hhmm(at.time());
            alarmRead = true;
        } else {
            ++m_result.plan.alarmsNotSet;
        }
    }
    item.link.table = Schema::Tareas::Table;
    item.link.uid = uidOf(todo);
    if (alarmRead)
        icalcomponent_remove_component(todo, alarm);
    item.link.kept =
        keep(todo, alarmRead ? nullptr : alarm,
             {ICAL_UID_PROPERTY, ICAL_DTSTAMP_PROPERTY, ICAL_DTSTART_PROPERTY, ICAL_SUMMARY_PROPERTY}, true);
    if (alarmRead) {
        icalcomponent_add_component(todo, alarm);
    }
    m_result.plan.tasks.push_back(item);
}

CalendarReader::Result Reader::run()
{
    Ical::Component root = Ical::parse(m_text);
    if (!root) {
        fail(QStringLiteral("no se encuentra ningún calendario"), {});
        return m_result;
    }
    if (!checkTree(root.get()))
        return m_result;
    std::vector<icalcomponent *> calendars;
    if (icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT)
        calendars.push_back(root.get());
    for (icalcomponent *c = icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT); c;
         c = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT))
        calendars.push_back(c);
    for (icalcomponent *calendar : calendars) {
        m_calendar = calendar;
        m_zones.clear();
        // The events of one UID: the series (its RRULE or RDATE) and its changed repetitions.
        std::vector<QString> order;
        QHash<QString, std::vector<icalcomponent *>> byUid;
        for (icalcomponent *c = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); c;
             c = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
            const QString uid = uidOf(c);
            if (!byUid.contains(uid))
                order.push_back(uid);
            byUid[uid].push_back(c);
        }
        for (const QString &uid : order) {
            icalcomponent *master = nullptr;
            std::vector<icalcomponent *> changed;
            std::vector<icalcomponent *> single;
            for (icalcomponent *c : byUid.value(uid)) {
                const bool repeats = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY) ||
                    icalcomponent_get_first_property(c, ICAL_RDATE_PROPERTY);
                if (icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY))
                    changed.push_back(c);
                else if (repeats && !master)
                    master = c;
                else
                    single.push_back(c);
            }
            for (icalcomponent *c : single)
                event(c);
            if (master)
                series(master, changed);
            else
                for (icalcomponent *c : changed)
                    event(c);
            if (!m_result.error.isEmpty())
                return m_result;
        }
        for (icalcomponent *c = icalcomponent_get_first_component(calendar, ICAL_VTODO_COMPONENT); c;
             c = icalcomponent_get_next_component(calendar, ICAL_VTODO_COMPONENT))
            todo(c);
        for (icalcomponent *c = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT); c;
             c = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
            const icalcomponent_kind kind = icalcomponent_isa(c);
            if (kind != ICAL_VEVENT_COMPONENT && kind != ICAL_VTODO_COMPONENT && kind != ICAL_VTIMEZONE_COMPONENT)
                ++m_result.plan
                      .kept[QStringLiteral("%1 (no se importa)").arg(Ical::string(icalcomponent_kind_to_string(kind)))];
        }
    }
    return m_result;
}

} // namespace

CalendarReader::Result CalendarReader::read(const QByteArray &text, const QDate &today)
{
    return Reader(text, today).run();
}

QString CalendarReader::print(const Entry &entry)
{
    return QStringList{entry.date.toString(Qt::ISODate), entry.time, entry.text, entry.note, entry.alarmTime}.join(
        QChar(0x1F));
}
