#include "Diary.h"

#include "CardStore.h"
#include "DayStore.h"
#include "EntryStore.h"
#include "TaskStore.h"
#include "store/Database.h"

Diary::Diary(QObject *parent)
    : QObject(parent)
    , m_tasks(std::make_unique<TaskStore>(*this))
    , m_cards(std::make_unique<CardStore>(*this))
    , m_entries(std::make_unique<EntryStore>(*this))
    , m_days(std::make_unique<DayStore>(*this))
{}

Diary::~Diary() = default;

QString Diary::open(const QString &databaseFile)
{
    struct Opening
    {
        RecordCursor *cursor;
        const char *table;
    };
    const Opening openings[] = {{&Data1, "NOTAS"},         {&Data4, "NOTAS"},  {&Data2, "dias"},
                                {&Data3, "festivosfijos"}, {&Data5, "Tareas"}, {&DataTelefonos, "telefonos"}};
    QString failure;
    for (const Opening &opening : openings) {
        opening.cursor->DatabaseName = databaseFile;
        opening.cursor->RecordSource = QString::fromLatin1(opening.table);
        if (!opening.cursor->Refresh() && failure.isEmpty())
            failure = opening.cursor->lastError();
    }
    m_entries->open(databaseFile);
    m_days->open(databaseFile);
    // Part of a file that cannot be read is no ground to write the rest: the alarm scan's mark,
    // a holiday's day or an entry written now would go into a file that wants a copy restored
    // over it, and a copy made of it would take the place of a good one.
    m_readOnly.clear();
    if (!failure.isEmpty())
        Database::refuseWrites(databaseFile,
                               QStringLiteral("la agenda no se pudo abrir entera, y no se escribe nada en "
                                              "ella hasta que restaure una copia de seguridad o elija "
                                              "otra carpeta de datos"));
    else if (m_readOnly = Database::whyReadOnly(databaseFile); !m_readOnly.isEmpty())
        Database::refuseWrites(databaseFile, QStringLiteral("la agenda no se puede modificar: %1").arg(m_readOnly));
    return failure;
}

void Diary::setSelectedDate(const QDate &date)
{
    if (SelectedDate == date)
        return;
    SelectedDate = date;
    emit selectedDateChanged(date);
}

void Diary::showWeekOf(const QDate &date, Arrival arrival)
{
    const QDate previous = SelectedDate;
    setSelectedDate(date);
    emit weekWanted(previous, arrival);
}

bool Diary::showEntry(qint64 numero)
{
    const std::optional<Entry> entry = m_entries->find(numero);
    if (!entry || !entry->date.isValid())
        return false;
    emit entryWanted(numero);
    showWeekOf(entry->date);
    emit diaryWanted();
    return true;
}

bool Diary::showTask(qint64 key)
{
    if (!m_tasks->task(key))
        return false;
    m_wantedTask = key;
    emit taskWanted(key);
    m_wantedTask = -1;
    emit diaryWanted();
    return true;
}
