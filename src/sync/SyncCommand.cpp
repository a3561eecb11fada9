#include "SyncCommand.h"

#include "data/AppPaths.h"
#include "data/Diary.h"
#include "data/Module1.h"
#include "data/sync/DavModule.h"
#include "data/sync/SyncAccount.h"
#include "data/sync/SyncRunner.h"
#include "widgets/QtKeyring.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <cstdio>
#include <cstring>

namespace {

void print(FILE *stream, const QString &text)
{
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stream);
}

int fail(const QString &why)
{
    print(stderr, QStringLiteral("quillomar: ") + why);
    return 1;
}

// The password the desktop's keyring keeps for the account; empty when it keeps none.
QString keptPassword(const SyncAccount &account)
{
    QtKeyring keyring;
    QEventLoop loop;
    QString kept;
    QObject::connect(&keyring, &Keyring::readDone, &loop,
                     [&](const QString &, bool found, const QString &password, const QString &) {
                         if (found)
                             kept = password;
                         loop.quit();
                     });
    keyring.read(account.keyringKey());
    loop.exec();
    return kept;
}

} // namespace

namespace SyncCommand {

bool takeFromArguments(int &argc, char **argv, bool *force)
{
    // With one dash too, as every other option of the program.
    const auto take = [&](const char *option) {
        bool found = false;
        int kept = 0;
        for (int index = 0; index < argc; ++index) {
            if (index > 0 && (std::strcmp(argv[index], option) == 0 || std::strcmp(argv[index], option + 1) == 0))
                found = true;
            else
                argv[kept++] = argv[index];
        }
        argc = kept;
        argv[argc] = nullptr;
        return found;
    };
    if (!take("--sync"))
        return false;
    *force = take("--force");
    return true;
}

int run(int argc, char **argv, bool force)
{
    QCoreApplication core(argc, argv);
    const AppPaths paths = AppPaths::forProgramFolder(QCoreApplication::applicationDirPath());
    SyncAccount account = SyncAccount::load(paths);
    if (!account.isSet())
        return fail(QStringLiteral("no hay cuenta de sincronización. Dé el servidor, el usuario y la contraseña en "
                                   "«Sincronización…» del menú de la agenda, o en QUILLOMAR_DAV_URL, "
                                   "QUILLOMAR_DAV_USER y QUILLOMAR_DAV_PASSWORD."));
    const QString password =
        SyncAccount::environmentHasPassword() ? SyncAccount::environmentPassword() : keptPassword(account);
    if (password.isEmpty())
        return fail(QStringLiteral("no hay contraseña guardada para %1. Escríbala en «Sincronización…» o dela en "
                                   "QUILLOMAR_DAV_PASSWORD.")
                        .arg(account.keyringKey()));

    Settings settings;
    Module1::LoadSettings(settings, paths.settingsFile, QSize(), paths.defaultDataFolder);
    const QString agenda = paths.databaseFile(settings.DataFolder);
    Diary diary;
    if (const QString why = diary.open(agenda); !why.isEmpty())
        return fail(QStringLiteral("no se puede abrir la agenda %1: %2.").arg(agenda, why));

    SyncRunner runner(diary, DavModule::connector());
    SyncReport report;
    QEventLoop loop;
    QObject::connect(&runner, &SyncRunner::finished, &loop, [&](const SyncReport &finished) {
        report = finished;
        loop.quit();
    });
    if (!runner.sync(account.target(password), force))
        return fail(QStringLiteral("no se ha podido empezar la sincronización."));
    loop.exec();
    account.record(report);
    account.save(paths);
    if (!report.ok)
        return fail(report.summary());
    print(stdout, report.summary());
    if (report.heldDeletions > 0 && !force)
        return fail(report.heldQuestion +
                    QStringLiteral(" No se ha borrado nada; para borrarlos, repita con «quillomar --sync --force»."));
    return 0;
}

} // namespace SyncCommand
