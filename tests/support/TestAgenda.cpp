#include "TestAgenda.h"

#include "data/DateText.h"

#include <QDir>
#include <QFile>
#include <sqlite3.h>

TestAgenda::TestAgenda()
{
    context.paths = AppPaths::forProgramFolder(m_dir.path());
    context.paths.lockFile = QDir(m_dir.path()).filePath(QStringLiteral("quillomar.lock"));
    context.settings.DataFolder = m_dir.path();
    context.paths.cacheFolder = QDir(m_dir.path()).filePath(QStringLiteral("cache"));
    context.clock = &clock;
    context.messenger = &messenger;
    context.sound = &sound;
}

Diary &TestAgenda::diary()
{
    if (!m_diary) {
        m_diary = std::make_unique<Diary>();
        m_diary->open(databaseFile());
    }
    return *m_diary;
}

std::unique_ptr<RecordCursor> TestAgenda::cursor(const QString &table)
{
    auto c = std::make_unique<RecordCursor>();
    c->DatabaseName = databaseFile();
    c->RecordSource = table;
    c->Refresh();
    return c;
}

qint64 TestAgenda::addEntry(const QDate &date, const QString &time, const QString &text, const QString &note,
                            const QString &alarm)
{
    auto notas = cursor(QStringLiteral("notas"));
    notas->AddNew();
    notas->SetField(QStringLiteral("fecha"), DateText::fromDate(date));
    notas->SetField(QStringLiteral("hora"), time);
    notas->SetField(QStringLiteral("texto"), text);
    if (!note.isEmpty())
        notas->SetField(QStringLiteral("nota"), note);
    if (!alarm.isEmpty())
        notas->SetField(QStringLiteral("horaalarma"), alarm);
    notas->Update();
    return notas->lastAddedKey();
}

void TestAgenda::damageTable(const QString &path, const QString &table)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT rootpage, (SELECT page_size FROM pragma_page_size) FROM sqlite_schema WHERE name=?",
                       -1, &statement, nullptr);
    const QByteArray name = table.toUtf8();
    sqlite3_bind_text(statement, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
    qint64 page = 0, size = 0;
    if (sqlite3_step(statement) == SQLITE_ROW) {
        page = sqlite3_column_int64(statement, 0);
        size = sqlite3_column_int64(statement, 1);
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    QFile file(path);
    if (page > 0 && file.open(QIODevice::ReadWrite) && file.seek((page - 1) * size))
        file.write(QByteArray(size, '\xff'));
}
