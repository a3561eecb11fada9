#pragma once

#include "ImportPlan.h"
#include "InterchangeFile.h"
#include "data/StoreResult.h"

#include <QDateTime>
#include <QString>

class Diary;

// Bringing a calendar (.ics) or address (.vcf) file into the diary and taking the diary out to
// one. An import is read and checked whole first (prepare), told to the user (describe), then
// written through the diary's stores in one transaction (apply): a refused or failed import
// leaves the agenda as it was. Items already brought in once are found by their UID and
// updated, never copied. An export replaces its file only once the whole text is on the disk.
class Interchange final
{
public:
    explicit Interchange(Diary &diary);

    struct Prepared
    {
        InterchangeFile::Format format = InterchangeFile::Format::Unknown;
        ImportPlan plan;
        QString error; // why the file is refused, in the user's words
        int line = 0; // where, when known
    };
    // Reads and checks the file at path; writes nothing. Endless series are expanded around today.
    static Prepared prepare(const QString &path, const QDate &today);
    // The refusal of a prepared file in one sentence naming it (and the line).
    static QString refusal(const QString &path, const Prepared &prepared);
    // What the plan brings, for the user to see before it is written.
    static QString describe(const ImportPlan &plan);

    struct Counts
    {
        int added = 0;
        int updated = 0;
        int unchanged = 0;
    };
    StoreResult apply(const ImportPlan &plan, Counts *counts = nullptr);
    // The one line told after an import.
    static QString summary(const QString &path, const ImportPlan &plan, const Counts &counts);

    // Writes the entries and tasks (a .ics name) or the cards (a .vcf name) to path. *items
    // (when given) is how many were written.
    StoreResult exportTo(const QString &path, const QDateTime &now, int *items = nullptr);

private:
    Diary &m_diary;
};
