#pragma once

#include "data/AppContext.h"
#include "data/Diary.h"
#include "widgets/ActivityWatch.h"

#include <QWidget>

// A diary open on a test agenda and a plain window standing in for the main window, so the
// agenda's dialogs can be tested as the week view opens them, without the whole program.
class DiaryWindow final : public QWidget
{
public:
    explicit DiaryWindow(AppContext &context)
        : m_activity(context)
    {
        const QString databaseFile = context.paths.databaseFile(context.settings.DataFolder);
        diary.open(databaseFile);
        resize(1200, 800);
    }

    Diary diary;

private:
    ActivityWatch m_activity;
};
