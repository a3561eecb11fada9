#pragma once

#include "InterchangeLink.h"
#include "data/Card.h"
#include "data/Entry.h"
#include "data/Task.h"

#include <QHash>
#include <QMap>
#include <vector>

// What a calendar or address file brings, read whole and checked before anything is written:
// the items with their links, the series, and what has no place in the program, counted.
struct ImportPlan
{
    struct EntryItem
    {
        Entry entry;
        InterchangeLink link;
    };
    struct TaskItem
    {
        Task task;
        InterchangeLink link;
    };
    struct CardItem
    {
        Card card;
        InterchangeLink link;
    };

    std::vector<EntryItem> entries;
    std::vector<TaskItem> tasks;
    std::vector<CardItem> cards;
    QHash<QString, QByteArray> series; // by UID: the text the series goes out with again
    int unexpanded = 0; // repetitions of series past the limits, not made into entries
    int alarmsNotSet = 0; // alarms on another day than their entry's, kept with it
    QMap<QString, int> kept; // what has no field in the program, by kind, kept with its item
};
