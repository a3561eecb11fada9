#include "data/Diary.h"
#include "desktopclock/Autostart.h"
#include "desktopclock/Form9.h"
#include "support/TestAgenda.h"

#include <QCheckBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestAutostart : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_config;

    // A file where the autostart folder should be, so that no entry can be written.
    void blockAutostartFolder()
    {
        QFile blocker(QDir(m_config->path()).filePath(QStringLiteral("autostart")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }

    static QString execLine()
    {
        QFile file(Autostart::entryFile());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        for (const QString &line : lines)
            if (line.startsWith(QLatin1String("Exec=")))
                return line.mid(5);
        return {};
    }

private slots:
    void init()
    {
        m_config = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
        QCOMPARE(Autostart::entryFile(),
                 m_config->path() + QStringLiteral("/autostart/io.github.quillomar.Quillomar.desktop"));
    }

    void cleanup() { m_config.reset(); }

    void entryIsWrittenReadBackAndRemoved_data()
    {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << "/usr/bin/quillomar"
                               << "/usr/bin/quillomar";
        QTest::newRow("space") << "/opt/Mi agenda/quillomar"
                               << "\"/opt/Mi agenda/quillomar\"";
        QTest::newRow("reserved") << "/home/a$b/\"q\"\\x/100%/quillomar"
                                  << "\"/home/a\\\\$b/\\\\\"q\\\\\"\\\\\\\\x/100%%/quillomar\"";
    }

    void entryIsWrittenReadBackAndRemoved()
    {
        QFETCH(QString, executable);
        QFETCH(QString, exec);
        Autostart autostart(executable);
        QVERIFY(!autostart.isEnabled());
        QVERIFY2(autostart.setEnabled(true), qPrintable(autostart.error()));
        QVERIFY(autostart.isEnabled());
        QCOMPARE(execLine(), exec);

        const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (!validator.isEmpty()) {
            QProcess validate;
            validate.setProcessChannelMode(QProcess::MergedChannels);
            validate.start(validator, {Autostart::entryFile()});
            QVERIFY(validate.waitForFinished());
            QVERIFY2(validate.exitCode() == 0 && validate.readAll().trimmed().isEmpty(), "the entry is not valid");
        }

        QVERIFY(autostart.setEnabled(false));
        QVERIFY(!QFile::exists(Autostart::entryFile()));
        QVERIFY(!autostart.isEnabled());
        QVERIFY(autostart.setEnabled(false)); // nothing left to remove is no failure
    }

    void entryTurnedOffByTheDesktopIsNotEnabled()
    {
        Autostart autostart(QStringLiteral("/usr/bin/quillomar"));
        QVERIFY(autostart.setEnabled(true));
        QFile file(Autostart::entryFile());
        QVERIFY(file.open(QIODevice::Append));
        file.write("Hidden=true\n");
        file.close();
        QVERIFY(!autostart.isEnabled());
    }

    void panelBoxWritesAndRemovesTheEntry()
    {
        TestAgenda agenda;
        Diary diary;
        Form9 widget(diary, agenda.context);
        auto *box = widget.findChild<QCheckBox *>(QStringLiteral("autostartCheck"));
        QVERIFY(box);
        QVERIFY(!box->isChecked());

        box->click();
        QCOMPARE(execLine(), QCoreApplication::applicationFilePath());
        box->click();
        QVERIFY(!QFile::exists(Autostart::entryFile()));

        // A box created while the entry exists shows it ticked.
        QVERIFY(Autostart(QStringLiteral("/usr/bin/quillomar")).setEnabled(true));
        Form9 again(diary, agenda.context);
        QVERIFY(again.findChild<QCheckBox *>(QStringLiteral("autostartCheck"))->isChecked());
        QVERIFY(agenda.messenger.shown.isEmpty());
    }

    void panelBoxTellsAFailedWrite()
    {
        blockAutostartFolder();
        TestAgenda agenda;
        Diary diary;
        Form9 widget(diary, agenda.context);
        auto *box = widget.findChild<QCheckBox *>(QStringLiteral("autostartCheck"));
        box->click();
        QCOMPARE(agenda.messenger.shown.size(), 1);
        QCOMPARE(agenda.messenger.shown.first().icon, Messenger::Icon::Critical);
        QVERIFY(agenda.messenger.shown.first().text.contains(Autostart::entryFile()));
        // Named in the user's words, not as Qt's unknown error.
        QVERIFY(agenda.messenger.shown.first().text.contains(QStringLiteral("ya hay un archivo con ese nombre")));
        QVERIFY(!box->isChecked());
    }
};

QTEST_MAIN(TestAutostart)
#include "tst_autostart.moc"
