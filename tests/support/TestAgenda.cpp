#include "TestAgenda.h"

#include "data/DateText.h"

#include <QDir>

TestAgenda::TestAgenda()
{
    context.paths = AppPaths::forProgramFolder(m_dir.path());
    context.paths.lockFile = QDir(m_dir.path()).filePath(QStringLiteral("quillomar.lock"));
    context.settings.DataFolder = m_dir.path();
    context.clock = &clock;
    context.messenger = &messenger;
    context.sound = &sound;
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
