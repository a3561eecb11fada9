#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// The Debian package, built by CPack into a temporary folder and read back with dpkg-deb.
class TestPackage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_package;

    static QString run(const QString &program, const QStringList &arguments, int *status)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        *status =
            process.waitForFinished(180000) && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return QString::fromUtf8(process.readAll());
    }

private slots:
    void initTestCase()
    {
        int status = 0;
        const QString output =
            run(QStringLiteral(CPACK_COMMAND_PATH),
                {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), m_dir.path(),
                 QStringLiteral("--config"), QStringLiteral(QUILLOMAR_BUILD_DIR "/CPackConfig.cmake")},
                &status);
        QVERIFY2(status == 0, qPrintable(output));
        const QStringList debs = QDir(m_dir.path()).entryList({QStringLiteral("*.deb")});
        QCOMPARE(debs, QStringList{QStringLiteral("quillomar_" QUILLOMAR_VERSION "_amd64.deb")});
        m_package = QDir(m_dir.path()).filePath(debs.first());
    }

    void holdsTheInstalledFiles()
    {
        int status = 0;
        const QString listing = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), m_package}, &status);
        QCOMPARE(status, 0);
        for (const char *file : {"./usr/bin/quillomar", "./usr/share/quillomar/tiempo.wav",
                                 "./usr/share/applications/" QUILLOMAR_APP_ID ".desktop",
                                 "./usr/share/metainfo/" QUILLOMAR_APP_ID ".metainfo.xml",
                                 "./usr/share/icons/hicolor/scalable/apps/" QUILLOMAR_APP_ID ".svg",
                                 "./usr/share/icons/hicolor/48x48/apps/" QUILLOMAR_APP_ID ".png",
                                 "./usr/share/icons/hicolor/128x128/apps/" QUILLOMAR_APP_ID ".png",
                                 "./usr/share/icons/hicolor/256x256/apps/" QUILLOMAR_APP_ID ".png"})
            QVERIFY2(listing.contains(QLatin1Char(' ') + QLatin1String(file) + QLatin1Char('\n')), file);
        QVERIFY2(!listing.contains(QStringLiteral("tst_")), "a test made its way into the package");
    }

    void namesTheLibrariesItNeeds()
    {
        int status = 0;
        const QString depends =
            run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), m_package, QStringLiteral("Depends")}, &status);
        QCOMPARE(status, 0);
        // Found by dpkg-shlibdeps from the executable, not written by hand.
        for (const char *library :
             {"libqt6widgets6", "libqt6svg6", "libqt6multimedia6", "libqt6network6", "libsqlite3-0"})
            QVERIFY2(depends.contains(QLatin1String(library)), qPrintable(depends));
    }

    // Debian's own checker: a copyright file, a changelog, a manual page, and the rest of policy.
    void lintianFindsNothingToSay()
    {
        const QString lintian = QStandardPaths::findExecutable(QStringLiteral("lintian"));
        QVERIFY2(!lintian.isEmpty(), "lintian is not installed");
        int status = 0;
        const QString output =
            run(lintian, {QStringLiteral("--fail-on"), QStringLiteral("error,warning"), m_package}, &status);
        QVERIFY2(status == 0, qPrintable(output));
    }
};

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
