#include "Diary.h"

Diary::Diary(QObject *parent)
    : QObject(parent)
{}

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
