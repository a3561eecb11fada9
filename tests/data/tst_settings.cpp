#include "data/AppPaths.h"
#include "data/Module1.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = m_dir->filePath(QStringLiteral("quillomar.cfg"));
    }

    void defaultsWithoutAFile()
    {
        Settings s;
        Module1::LoadSettings(s, m_path, QSize(19200, 14400), QStringLiteral("/datos"));
        QCOMPARE(s.MainWidth, 9600);
        QCOMPARE(s.MainHeight, 7200);
        QCOMPARE(s.MainLeft, 4800);
        QCOMPARE(s.MainTop, 3600);
        QCOMPARE(s.WidgetLeft, 4800);
        QCOMPARE(s.WidgetTop, 3600);
        QCOMPARE(s.Alpha, 80);
        QCOMPARE(s.Delay, 15);
        QCOMPARE(s.DataFolder, QStringLiteral("/datos"));
        QVERIFY(!QFile::exists(m_path)); // the defaults write nothing
    }

    void defaultsRoundHalvesToEven()
    {
        Settings s;
        Module1::DefaultSettings(s, QSize(19202, 14406), QString());
        QCOMPARE(s.MainWidth, 9601);
        QCOMPARE(s.MainLeft, 4800); // 4800.5
        QCOMPARE(s.MainTop, 3602); // 3601.5
    }

    void numberLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "80" << 80;
        QTest::newRow("negative") << "-120" << -120;
        QTest::newRow("leading spaces") << "   75" << 75;
        QTest::newRow("trailing text") << "90 por ciento" << 90;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("no digits") << "abc" << 0;
        QTest::newRow("fraction up") << "10.6" << 11;
        QTest::newRow("half to even, down") << "10.5" << 10;
        QTest::newRow("half to even, up") << "11.5" << 12;
        QTest::newRow("upper bound") << "32767" << 32767;
        QTest::newRow("lower bound") << "-32768" << -32768;
    }

    void numberLines()
    {
        QFETCH(QString, line);
        QFETCH(int, value);
        const auto parsed = Module1::ParseSettingNumber(line);
        QVERIFY(parsed.has_value());
        QCOMPARE(int(*parsed), value);
    }

    void outOfRangeStopsReading()
    {
        write("70\r\n20\r\n40000\r\n8000\r\n100\r\n200\r\n/x\r\n1\r\n2\r\n");
        Settings s;
        Module1::LoadSettings(s, m_path, QSize(19200, 14400), QStringLiteral("/datos"));
        QCOMPARE(s.Alpha, 70);
        QCOMPARE(s.Delay, 20);
        QCOMPARE(s.MainWidth, 0);
        QCOMPARE(s.MainHeight, 0);
        QCOMPARE(s.DataFolder, QString());
        QCOMPARE(s.WidgetTop, 0);
        QVERIFY(!Module1::ParseSettingNumber(QStringLiteral("32767.5")).has_value());
        QVERIFY(!Module1::ParseSettingNumber(QStringLiteral("-32769")).has_value());
    }

    void shortFileAppliesWhatItHas()
    {
        write("55\r\n   9 segundos\r\n");
        Settings s;
        s.MainWidth = 1234;
        Module1::LoadSettings(s, m_path, QSize(19200, 14400), QStringLiteral("/datos"));
        QCOMPARE(s.Alpha, 55);
        QCOMPARE(s.Delay, 9);
        QCOMPARE(s.MainWidth, 1234);
        QCOMPARE(s.DataFolder, QString());
    }

    void emptyFirstLineReadsZero()
    {
        write("\r\n15\r\n");
        Settings s;
        s.Alpha = 99;
        Module1::LoadSettings(s, m_path, QSize(19200, 14400), QString());
        QCOMPARE(s.Alpha, 0);
        QCOMPARE(s.Delay, 15);
    }

    void roundTripIsByteExact()
    {
        Settings s;
        s.Alpha = 100;
        s.Delay = -1;
        s.MainWidth = 14400;
        s.MainHeight = 9000;
        s.MainLeft = -120;
        s.MainTop = 32767;
        s.DataFolder = QStringLiteral("/home/ana/Mis datos/agenda ñ #1 'x'");
        s.WidgetLeft = -32768;
        s.WidgetTop = 0;
        QVERIFY(Module1::SaveSettings(s, m_path));
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes,
                 QByteArray("100\r\n-1\r\n14400\r\n9000\r\n-120\r\n32767\r\n") + s.DataFolder.toUtf8() +
                     QByteArray("\r\n-32768\r\n0\r\n"));
        Settings back;
        Module1::LoadSettings(back, m_path, QSize(1, 1), QStringLiteral("/otra"));
        QCOMPARE(back, s);
    }

    void folderWithPercentDigitRoundTrips()
    {
        Settings s;
        s.DataFolder = QStringLiteral("/home/ana/agenda%1 %9 %%2");
        s.WidgetTop = 7;
        QVERIFY(Module1::SaveSettings(s, m_path));
        Settings back;
        Module1::LoadSettings(back, m_path, QSize(1, 1), QString());
        QCOMPARE(back, s);
    }

    void fullDiskKeepsTheOldFile()
    {
        Settings old;
        old.DataFolder = QStringLiteral("/datos/anteriores");
        QVERIFY(Module1::SaveSettings(old, m_path));
        const QByteArray before = readAll();

        // A file size limit makes every write past a few bytes fail as a full disk does.
        Settings s = old;
        s.DataFolder = QStringLiteral("/datos/nuevos");
        rlimit saved{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
        const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit tiny = saved;
        tiny.rlim_cur = 8;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &tiny) == 0);
        QString error;
        const bool savedOk = Module1::SaveSettings(s, m_path, &error);
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, previousHandler);

        QVERIFY(!savedOk);
        QVERIFY(!error.isEmpty());
        QCOMPARE(readAll(), before);
    }

    void overlongLineIsAMissingValue()
    {
        write("70\r\n20\r\n1\r\n2\r\n3\r\n4\r\n" + QByteArray(10 * 1024 * 1024, 'x') + "\r\n5\r\n6\r\n");
        Settings s;
        Module1::LoadSettings(s, m_path, QSize(19200, 14400), QStringLiteral("/datos"));
        QCOMPARE(s.DataFolder, QString());
        QCOMPARE(s.MainTop, 4);
        QCOMPARE(s.WidgetLeft, 5);
        QCOMPARE(s.WidgetTop, 6);

        write("70\r\n20\r\n1\r\n2\r\n3\r\n4\r\n" + QByteArray(4096, 'y') + "\r\n5\r\n6\r\n");
        Module1::LoadSettings(s, m_path, QSize(19200, 14400), QStringLiteral("/datos"));
        QCOMPARE(s.DataFolder, QString(4096, u'y'));
    }

    void relativeFolderBelongsToTheProgram()
    {
        const AppPaths paths = AppPaths::forProgramFolder(m_dir->path());
        QCOMPARE(QFileInfo(paths.databaseFile(QStringLiteral("datos"))).absoluteFilePath(),
                 QDir(m_dir->path()).absoluteFilePath(QStringLiteral("datos/quillomar.mdb")));
        QCOMPARE(paths.databaseFile(QStringLiteral("/otra")), QStringLiteral("/otra/quillomar.mdb"));
    }

    void unwritableFileIsReported()
    {
        Settings s;
        QString error;
        QVERIFY(!Module1::SaveSettings(s, m_dir->filePath(QStringLiteral("no/such/folder/quillomar.cfg")), &error));
        QVERIFY(!error.isEmpty());
    }

    void valuesAreClampedWhenStored()
    {
        QCOMPARE(Module1::ToSetting(40000.0), 32767);
        QCOMPARE(Module1::ToSetting(-50000.0), -32768);
        QCOMPARE(Module1::ToSetting(2.5), 2);
        QCOMPARE(Module1::ToSetting(3.5), 4);
    }

private:
    QByteArray readAll()
    {
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void write(const QByteArray &bytes)
    {
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
