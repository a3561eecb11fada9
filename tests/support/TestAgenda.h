#pragma once

#include "TestDoubles.h"
#include "data/AppContext.h"
#include "data/Diary.h"
#include "data/store/RecordCursor.h"

#include <QDate>
#include <QTemporaryDir>
#include <memory>

// A fresh program folder in a temporary directory, with its own settings, agenda and lock, and
// the test doubles wired into an AppContext. Each test makes its own and throws it away.
class TestAgenda
{
public:
    TestAgenda();

    QString folder() const { return m_dir.path(); }
    QString databaseFile() const { return context.paths.databaseFile(context.settings.DataFolder); }

    // A diary opened on the agenda, made when first asked for: for windows that write through
    // its stores.
    Diary &diary();

    // Opens a cursor of the test's own on a table of the agenda.
    std::unique_ptr<RecordCursor> cursor(const QString &table);

    // Overwrites the first page of table in the agenda file at path, as a failing disk would.
    static void damageTable(const QString &path, const QString &table);

    // Adds a diary entry and returns its numero.
    qint64 addEntry(const QDate &date, const QString &time, const QString &text, const QString &note = {},
                    const QString &alarm = {});

    FakeClock clock;
    RecordingMessenger messenger;
    RecordingSoundPlayer sound;
    AppContext context;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Diary> m_diary; // closed before the folder goes
};
