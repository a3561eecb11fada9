// Times the task list on 2,000 tasks: quillomar_bench_tasks [FOLDER]
// Uses the agenda in FOLDER (quillomar_bench FOLDER builds one with 2,000 tasks), or builds its
// own. Reports the median of repeated runs of filling the list and of one tick (stored, then the
// list filled again), on the offscreen platform. Budget: 20 ms each. A tick holds one write
// committed to disk, whose time is the disk's: give a folder on tmpfs to see the list's own.
#include "data/AppContext.h"
#include "data/DateText.h"
#include "data/Diary.h"
#include "data/store/Database.h"
#include "tasks/TaskList.h"

#include "Median.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    const QString file = QDir(folder).filePath(QStringLiteral("quillomar.mdb"));
    QString error;
    auto db = Database::open(file, &error);
    if (!db) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    if (db->scalar(QStringLiteral("SELECT count(*) FROM tareas"), {}).toInt() == 0) {
        db->exec(QStringLiteral("BEGIN"), {});
        for (int i = 0; i < 2000; ++i)
            db->write(QStringLiteral("INSERT INTO tareas (Fecha, Hora, Terminada, Tarea) VALUES (?, ?, ?, ?)"),
                      {DateText::toStored(QDate(1995, 1, 1).addDays(i * 5)), QStringLiteral("10:00"), i % 2,
                       QStringLiteral("Tarea %1").arg(i)});
        db->exec(QStringLiteral("COMMIT"), {});
    }

    AppContext context;
    Diary diary;
    if (const QString failure = diary.open(file); !failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return 1;
    }
    TaskList tasks(diary, context, nullptr);
    tasks.resize(600, 900);
    tasks.show();
    tasks.layoutSection();
    QApplication::processEvents();

    const double load = medianMs(21, [&] {
        tasks.LoadTasks();
        QApplication::processEvents();
    });
    int line = 0;
    const double tick = medianMs(21, [&] {
        QListWidgetItem *item = tasks.List2->item(line++ % 50);
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        QApplication::processEvents();
    });
    std::printf("task list of %d, filled:  %8.3f ms (budget 20)\n", int(tasks.List2->count()), load);
    std::printf("one tick, stored and refilled: %8.3f ms (budget 20)\n", tick);
    return 0;
}
