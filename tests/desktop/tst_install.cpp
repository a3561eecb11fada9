#include "data/AppPaths.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// The install rules, run into a temporary DESTDIR, and the desktop's own validators on what they
// put there.
class TestInstall : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_destDir;
    QString m_usr;

    static QString run(const QString &program, const QStringList &arguments, int *exitCode,
                       const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        if (!process.waitForFinished(60000))
            *exitCode = -1;
        else
            *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return QString::fromUtf8(process.readAll());
    }

    QString installed(const QString &path) const { return m_usr + QLatin1Char('/') + path; }

private slots:
    void initTestCase()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DESTDIR"), m_destDir.path());
        int status = 0;
        const QString output = run(QStringLiteral(CMAKE_COMMAND_PATH),
                                   {QStringLiteral("--install"), QStringLiteral(QUILLOMAR_BUILD_DIR),
                                    QStringLiteral("--prefix"), QStringLiteral("/usr")},
                                   &status, environment);
        QVERIFY2(status == 0, qPrintable(output));
        m_usr = m_destDir.path() + QStringLiteral("/usr");
    }

    void installsEveryFile()
    {
        const QString id = QStringLiteral(QUILLOMAR_APP_ID);
        const QStringList files = {
            QStringLiteral("bin/quillomar"),
            QStringLiteral("share/quillomar/tiempo.wav"),
            QStringLiteral(QUILLOMAR_INSTALL_LIBDIR) + QStringLiteral("/quillomar/modules/quillomar-sound.so"),
            QStringLiteral(QUILLOMAR_INSTALL_LIBDIR) + QStringLiteral("/quillomar/modules/quillomar-dav.so"),
            QStringLiteral("share/applications/%1.desktop").arg(id),
            QStringLiteral("share/metainfo/%1.metainfo.xml").arg(id),
            QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(id),
            QStringLiteral("share/icons/hicolor/48x48/apps/%1.png").arg(id),
            QStringLiteral("share/icons/hicolor/128x128/apps/%1.png").arg(id),
            QStringLiteral("share/icons/hicolor/256x256/apps/%1.png").arg(id),
        };
        for (const QString &file : files)
            QVERIFY2(QFileInfo::exists(installed(file)), qPrintable(file));
        for (const int size : {48, 128, 256}) {
            const QImage icon(installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(id)));
            QCOMPARE(icon.size(), QSize(size, size));
        }
    }

    void validatorsFindNothingToSay_data()
    {
        QTest::addColumn<QString>("validator");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        QTest::newRow("desktop entry") << "desktop-file-validate" << QStringList()
                                       << "share/applications/" QUILLOMAR_APP_ID ".desktop";
        QTest::newRow("metainfo") << "appstreamcli" << QStringList{"validate", "--no-net"}
                                  << "share/metainfo/" QUILLOMAR_APP_ID ".metainfo.xml";
    }

    void validatorsFindNothingToSay()
    {
        QFETCH(QString, validator);
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        const QString program = QStandardPaths::findExecutable(validator);
        QVERIFY2(!program.isEmpty(), qPrintable(validator + QStringLiteral(" is not installed")));
        int status = 0;
        const QString output = run(program, arguments << installed(file), &status);
        QVERIFY2(status == 0, qPrintable(output));
        // desktop-file-validate says nothing of a clean file; appstreamcli may add hints ("I:").
        static const QRegularExpression complaint(QStringLiteral("^(E|W):|error|warning"),
                                                  QRegularExpression::MultilineOption);
        QVERIFY2(!output.contains(complaint), qPrintable(output));
    }

    void soundIsFoundInEitherLayout()
    {
        const QString bin = installed(QStringLiteral("bin"));
        QCOMPARE(AppPaths::findSoundFile(bin),
                 QFileInfo(installed(QStringLiteral("share/quillomar/tiempo.wav"))).absoluteFilePath());
        // A copy beside the executable, as in a portable folder, comes first.
        QVERIFY(QFile::copy(installed(QStringLiteral("share/quillomar/tiempo.wav")), bin + "/tiempo.wav"));
        QCOMPARE(AppPaths::findSoundFile(bin), bin + "/tiempo.wav");
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
