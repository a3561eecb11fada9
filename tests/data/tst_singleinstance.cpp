#include "data/SingleInstance.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void lockOfNoLiveCopyIsStale_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("garbage") << QByteArray("\x01\xff basura sin número\n");
        QTest::newRow("dead process") << "2147483600\nquillomar\n" + QSysInfo::machineHostName().toUtf8() + "\n";
    }

    void lockOfNoLiveCopyIsStale()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("quillomar.lock"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        SingleInstance instance(path);
        QVERIFY(instance.tryAcquire());
    }

    void liveCopyKeepsItsLock()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("quillomar.lock"));
        SingleInstance first(path);
        QVERIFY(first.tryAcquire());
        SingleInstance second(path);
        QVERIFY(!second.tryAcquire());
    }

    void liveCopyOutlastsItsLockFile_data()
    {
        QTest::addColumn<QByteArray>("replacement");
        QTest::addColumn<bool>("removed");
        QTest::newRow("deleted") << QByteArray() << true;
        QTest::newRow("replaced by an empty file") << QByteArray() << false;
        QTest::newRow("replaced by a dead copy's lock")
            << "2147483600\nquillomar\n" + QSysInfo::machineHostName().toUtf8() + "\n"
            << false;
    }

    void liveCopyOutlastsItsLockFile()
    {
        QFETCH(QByteArray, replacement);
        QFETCH(bool, removed);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("quillomar.lock"));
        SingleInstance first(path);
        QVERIFY(first.tryAcquire());
        QVERIFY(QFile::remove(path));
        if (!removed) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(replacement);
        }
        SingleInstance second(path);
        QVERIFY(!second.tryAcquire());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
