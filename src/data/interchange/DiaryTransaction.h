#pragma once

#include "data/Diary.h"
#include "data/store/Database.h"

// One transaction of several writes through the diary's stores: begun with the agenda brought to
// the schema the writes need, rolled back when it did not come to its commit, and the views told
// of what was written once it ends.
class DiaryTransaction final
{
public:
    DiaryTransaction(Database &database, Diary &diary)
        : m_database(database)
        , m_diary(diary)
    {
        m_diary.holdChanges(true);
    }
    ~DiaryTransaction()
    {
        if (m_open)
            m_database.rollback();
        m_diary.holdChanges(false);
    }
    DiaryTransaction(const DiaryTransaction &) = delete;
    DiaryTransaction &operator=(const DiaryTransaction &) = delete;

    bool begin(int schemaVersion) { return (m_open = m_database.begin()) && m_database.migrate(schemaVersion); }
    bool commit()
    {
        m_open = false;
        return m_database.commit();
    }

private:
    Database &m_database;
    Diary &m_diary;
    bool m_open = false;
};
