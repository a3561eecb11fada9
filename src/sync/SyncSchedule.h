// SyncSchedule: when the diary syncs by itself.
#pragma once

#include "data/sync/SyncReport.h"
#include "data/sync/SyncTarget.h"

#include <QObject>
#include <QTimer>

class Diary;
struct AppContext;
struct DiaryChange;

// For a user with an account only: a pass once the week is on the screen, then one every
// PeriodMs while the program runs, and one AfterChangeMs after a change made here, so that
// an edit reaches the other computers soon. The changes a pass itself writes are not changes
// made here. A server that cannot be reached is tried again at the next turn. The times are read
// from the program's clock each time Timer fires, so a computer that slept catches up at once.
class SyncSchedule final : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 PeriodMs = 15 * 60 * 1000;
    static constexpr qint64 AfterChangeMs = 30 * 1000;
    static constexpr int TickMs = 5000;

    SyncSchedule(Diary &diary, AppContext &context, QObject *parent = nullptr);

    // The first pass, and the turns after it.
    void start();

    QTimer Timer; // looks every TickMs whether a pass is due
    void Timer_Timer();

private:
    void localChange();
    void runPass();
    void startPass(const SyncTarget &target);
    void passFinished(const SyncReport &report);

    AppContext &m_context;
    qint64 m_nextPassMs = 0; // on the clock's steady time
    qint64 m_changePassMs = -1; // a pass asked for by a change made here; -1: none
    bool m_ownPass = false;
    bool m_askingKeyring = false;
};
