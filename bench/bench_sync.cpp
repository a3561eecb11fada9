// One sync pass of an agenda with a CalDAV/CardDAV server, for bench/sync.sh (not a test):
//   quillomar_bench_sync AGENDA CALENDAR_URL ADDRESS_BOOK_URL USER PASSWORD
// Opens (or makes) the agenda file AGENDA, syncs it once with the calendar and address book given
// and prints the pass's milliseconds and its summary. Exit 0 when the pass went to its end.
#include "data/Diary.h"
#include "data/dav/DavClient.h"
#include "data/sync/SyncRunner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 6) {
        std::fprintf(stderr, "usage: %s AGENDA CALENDAR_URL ADDRESS_BOOK_URL USER PASSWORD\n", argv[0]);
        return 2;
    }
    Diary diary;
    if (const QString failure = diary.open(arguments.at(1)); !failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return 2;
    }
    SyncTarget target;
    target.calendar = QUrl(arguments.at(2));
    target.addressBook = QUrl(arguments.at(3));
    target.server = target.calendar;
    target.user = arguments.at(4);
    target.password = arguments.at(5);

    SyncRunner runner(diary, [](const QUrl &url, const QString &user, const QString &password) {
        return std::unique_ptr<DavServer>(std::make_unique<DavClient>(url, user, password));
    });
    SyncReport report;
    QEventLoop loop;
    QObject::connect(&runner, &SyncRunner::finished, &loop, [&](const SyncReport &done) {
        report = done;
        loop.quit();
    });
    QElapsedTimer timer;
    timer.start();
    if (!runner.sync(target))
        return 2;
    loop.exec();
    std::printf("%.1f ms\t%s\n", timer.nsecsElapsed() / 1e6, qPrintable(report.summary()));
    return report.ok ? 0 : 1;
}
