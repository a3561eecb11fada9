#include "data/AppPaths.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestAppPaths : public QObject
{
    Q_OBJECT

private slots:
    void filesBesideOnlyAPortableCopy_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("earlierFile");
        QTest::addColumn<bool>("beside");
        QTest::newRow("portable") << false << true << QString() << true;
        QTest::newRow("portable, read-only") << false << false << QString() << false;
        QTest::newRow("installed") << true << true << QString() << false;
        QTest::newRow("installed, read-only") << true << false << QString() << false;
        QTest::newRow("installed, earlier agenda") << true << true << "quillomar.mdb" << true;
        QTest::newRow("installed, earlier settings") << true << true << "quillomar.cfg" << true;
        QTest::newRow("installed, read-only, another user's settings") << true << false << "quillomar.cfg" << false;
    }

    void filesBesideOnlyAPortableCopy()
    {
        QFETCH(bool, installed);
        QFETCH(bool, writable);
        QFETCH(QString, earlierFile);
        QFETCH(bool, beside);
        QTemporaryDir dir;
        const QDir root(dir.path());
        qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_DATA_HOME", root.filePath(QStringLiteral("data")).toUtf8());
        QVERIFY(root.mkpath(QStringLiteral("prefix/bin")) && root.mkpath(QStringLiteral("prefix/share/quillomar")));
        const QString bin = root.filePath(QStringLiteral("prefix/bin"));
        QFile sound(root.filePath(installed ? QStringLiteral("prefix/share/quillomar/tiempo.wav")
                                            : QStringLiteral("prefix/bin/tiempo.wav")));
        QVERIFY(sound.open(QIODevice::WriteOnly));
        if (!earlierFile.isEmpty()) {
            QFile earlier(QDir(bin).filePath(earlierFile));
            QVERIFY(earlier.open(QIODevice::WriteOnly));
        }
        if (!writable)
            QVERIFY(
                QFile::setPermissions(bin, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        if (QFileInfo(bin).isWritable() != writable)
            QSKIP("the superuser can write to any folder");

        const AppPaths paths = AppPaths::forProgramFolder(bin);
        QFile::setPermissions(bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString dataFolder = beside ? bin : root.filePath(QStringLiteral("data/quillomar"));
        QCOMPARE(paths.defaultDataFolder, dataFolder);
        QCOMPARE(paths.settingsFile,
                 QDir(beside ? bin : root.filePath(QStringLiteral("config/quillomar"))).filePath("quillomar.cfg"));
        QVERIFY(QFileInfo(paths.defaultDataFolder).isDir());
    }
};

QTEST_GUILESS_MAIN(TestAppPaths)
#include "tst_apppaths.moc"
