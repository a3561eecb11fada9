#include "SyncSchedule.h"

#include "data/AppContext.h"
#include "data/Clock.h"
#include "data/Diary.h"
#include "data/Keyring.h"
#include "data/sync/SyncAccount.h"
#include "data/sync/SyncRunner.h"

SyncSchedule::SyncSchedule(Diary &diary, AppContext &context, QObject *parent)
    : QObject(parent)
    , m_context(context)
{
    Timer.setInterval(TickMs);
    connect(&Timer, &QTimer::timeout, this, &SyncSchedule::Timer_Timer);
    connect(&diary, &Diary::changed, this, &SyncSchedule::localChange);
    if (m_context.sync)
        connect(m_context.sync, &SyncRunner::finished, this, &SyncSchedule::passFinished);
    if (m_context.keyring)
        connect(m_context.keyring, &Keyring::readDone, this,
                [this](const QString &, bool found, const QString &password, const QString &) {
                    if (!std::exchange(m_askingKeyring, false))
                        return;
                    if (found && m_context.syncPassword.isEmpty())
                        m_context.syncPassword = password;
                    const SyncAccount account = SyncAccount::load(m_context.paths);
                    if (!m_context.syncPassword.isEmpty() && account.isSet() && !m_context.sync->busy())
                        startPass(account.target(m_context.syncPassword));
                });
}

void SyncSchedule::start()
{
    if (!m_context.sync)
        return;
    Timer.start();
    runPass();
}

void SyncSchedule::localChange()
{
    // What a pass brings is written while it is under way.
    if (!m_context.sync || m_context.sync->busy() || m_changePassMs >= 0)
        return;
    m_changePassMs = m_context.clock->steadyMs() + AfterChangeMs;
}

void SyncSchedule::Timer_Timer()
{
    const qint64 now = m_context.clock->steadyMs();
    if (now >= m_nextPassMs || (m_changePassMs >= 0 && now >= m_changePassMs))
        runPass();
}

void SyncSchedule::runPass()
{
    if (m_context.sync->busy() || m_askingKeyring)
        return;
    // An account given meanwhile has had its first pass from the window: it waits for the turn.
    m_nextPassMs = m_context.clock->steadyMs() + PeriodMs;
    m_changePassMs = -1;
    const SyncAccount account = SyncAccount::load(m_context.paths);
    if (!account.isSet())
        return;
    if (SyncAccount::environmentHasPassword()) {
        startPass(account.target(SyncAccount::environmentPassword()));
    } else if (!m_context.syncPassword.isEmpty() || !m_context.keyring) {
        startPass(account.target(m_context.syncPassword));
    } else {
        // The pass follows once the keyring answers; without a password there is none.
        m_askingKeyring = true;
        m_context.keyring->read(account.keyringKey());
    }
}

void SyncSchedule::startPass(const SyncTarget &target)
{
    m_ownPass = m_context.sync->sync(target);
}

void SyncSchedule::passFinished(const SyncReport &report)
{
    if (!std::exchange(m_ownPass, false)) {
        // The user's pass from the window takes the place of the next turn.
        m_nextPassMs = m_context.clock->steadyMs() + PeriodMs;
        m_changePassMs = -1;
        return;
    }
    SyncAccount account = SyncAccount::load(m_context.paths);
    account.record(report, true);
    account.save(m_context.paths);
}
