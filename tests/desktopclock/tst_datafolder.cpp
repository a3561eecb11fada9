#include "data/Module1.h"
#include "desktopclock/DataFolderChoice.h"
#include "desktopclock/Form9.h"
#include "desktopclock/SettingsPanel.h"
#include "mainwindow/Application.h"
#include "mainwindow/Form1.h"
#include "support/TestAgenda.h"
#include "widgets/FileChooser.h"
#include "widgets/ImageButton.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Answers the file dialog with a name set by the test; an empty name is a cancelled dialog.
class FakeFileChooser final : public FileChooser
{
public:
    QString openFileName(QWidget *, const QString &title) override
    {
        titles << title;
        return answer;
    }
    QString saveFileName(QWidget *, const QString &title, const QString &, const QString &) override
    {
        titles << title;
        return answer;
    }
    QString answer;
    QStringList titles;
};

class TestDataFolder : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<Application> m_program;
    Form1 *m_main = nullptr;
    std::unique_ptr<Form9> m_widget;
    std::unique_ptr<QTemporaryDir> m_elsewhere;
    FakeFileChooser m_chooser;
    int m_quits = 0;
    QString m_oldFolder;

    RecordingMessenger &messenger() { return m_agenda->messenger; }
    QString settingsFile() const { return m_agenda->context.paths.settingsFile; }

    // A file in a folder of its own, as the user would pick it.
    QString makeFile(const QString &folderName, const QString &fileName)
    {
        QDir dir(m_elsewhere->path());
        dir.mkpath(folderName);
        const QString path = dir.filePath(folderName + QLatin1Char('/') + fileName);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        return path;
    }

    void clickChangeFolder() { QTest::mouseClick(m_widget->Picture1->Image2, Qt::LeftButton); }

    Settings savedSettings() const
    {
        Settings reread;
        Module1::LoadSettings(reread, settingsFile(), QSize(19200, 14400), QStringLiteral("/ninguna"));
        return reread;
    }

private slots:
    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        m_elsewhere = std::make_unique<QTemporaryDir>();
        m_program = std::make_unique<Application>(m_agenda->context);
        m_main = &m_program->mainWindow();
        QVERIFY(m_program->Form_Load());
        m_oldFolder = m_agenda->context.settings.DataFolder;
        m_widget = std::make_unique<Form9>(m_main->diary(), m_main->context());
        m_widget->quitProgram = [this] { ++m_quits; };
        m_widget->setFileChooser(&m_chooser);
        m_widget->show();
        m_chooser = FakeFileChooser();
        m_quits = 0;
    }

    void cleanup()
    {
        m_widget.reset();
        m_program.reset();
        m_agenda.reset();
        m_elsewhere.reset();
    }

    void removeFirst_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("whole");
        QTest::addColumn<QString>("result");
        QTest::newRow("folder of a file") << "\\otro.txt"
                                          << "D:\\Datos\\otro.txt"
                                          << "D:\\Datos";
        QTest::newRow("root of a drive") << "\\otro.txt"
                                         << "C:\\otro.txt"
                                         << "C:";
        QTest::newRow("only the first") << "ab"
                                        << "xabyabz"
                                        << "xyabz";
        QTest::newRow("not there") << "q"
                                   << "abc"
                                   << "abc";
        QTest::newRow("empty part") << ""
                                    << "abc"
                                    << "abc";
        QTest::newRow("the whole") << "abc"
                                   << "abc"
                                   << "";
    }

    void removeFirst()
    {
        QFETCH(QString, part);
        QFETCH(QString, whole);
        QFETCH(QString, result);
        QCOMPARE(DataFolderChoice::RemoveFirst(part, whole), result);
    }

    void folderOfAFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("folder");
        QTest::newRow("plain") << "/home/ana/Datos/otro.txt"
                               << "/home/ana/Datos";
        QTest::newRow("with spaces") << "/home/ana/Mis datos/quillomar.mdb"
                                     << "/home/ana/Mis datos";
        QTest::newRow("at the root") << "/otro.txt"
                                     << "/";
        // Cutting the first "/otro.txt" would leave "/a.d/otro.txt".
        QTest::newRow("file name inside the path") << "/a/otro.txt.d/otro.txt"
                                                   << "/a/otro.txt.d";
    }

    void folderOfAFile()
    {
        QFETCH(QString, file);
        QFETCH(QString, folder);
        QCOMPARE(DataFolderChoice::FolderOf(file), folder);
    }

    void noChangesNothing()
    {
        messenger().answerNext(Messenger::No);
        clickChangeFolder();
        QCOMPARE(messenger().shown.size(), 1);
        const auto &question = messenger().shown.first();
        QCOMPARE(question.text,
                 QStringLiteral("La carpeta de datos actual es: \n%1\n¿Desea buscar el archivo de datos "
                                "en otra ubicación?")
                     .arg(m_oldFolder));
        QCOMPARE(question.title, QStringLiteral("Atención"));
        QCOMPARE(question.icon, Messenger::Icon::Question);
        QCOMPARE(question.buttons, unsigned(Messenger::Yes | Messenger::No));
        QVERIFY(m_chooser.titles.isEmpty());
        QCOMPARE(m_agenda->context.settings.DataFolder, m_oldFolder);
        QCOMPARE(m_quits, 0);
        QVERIFY(!QFile::exists(settingsFile()));
    }

    void noFileChosen_data()
    {
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("dialog cancelled") << true;
        QTest::newRow("file that does not exist") << false;
    }

    void noFileChosen()
    {
        QFETCH(bool, cancelled);
        m_chooser.answer = cancelled ? QString() : m_elsewhere->filePath(QStringLiteral("falta.txt"));
        clickChangeFolder();
        QCOMPARE(m_chooser.titles, QStringList{QStringLiteral("Abrir Datos de Quillomar y fijar ruta acceso...")});
        QCOMPARE(messenger().shown.size(), 2);
        const auto &notice = messenger().shown.at(1);
        QCOMPARE(notice.text, QStringLiteral("No se ha indicado una ruta al archivo de datos de Quillomar"));
        QCOMPARE(notice.title, QStringLiteral("Atención"));
        QCOMPARE(notice.icon, Messenger::Icon::Critical);
        QCOMPARE(notice.buttons, unsigned(Messenger::Ok));
        QCOMPARE(m_agenda->context.settings.DataFolder, m_oldFolder);
        QCOMPARE(m_quits, 0);
        QVERIFY(!QFile::exists(settingsFile()));

        // The button can be used again.
        m_chooser.answer = makeFile(QStringLiteral("Datos"), QStringLiteral("otro.txt"));
        clickChangeFolder();
        QCOMPARE(m_quits, 1);
    }

    void choosingAFileSetsItsFolderSavesAndEnds()
    {
        const QString file = makeFile(QStringLiteral("Datos"), QStringLiteral("otro.txt"));
        const QString folder = QDir(m_elsewhere->path()).filePath(QStringLiteral("Datos"));
        m_chooser.answer = file;
        m_agenda->context.settings.Alpha = 55;
        clickChangeFolder();

        QCOMPARE(messenger().shown.size(), 3);
        const auto &confirm = messenger().shown.at(1);
        QCOMPARE(confirm.text, QStringLiteral("La nueva ruta del archivo de datos (Quillomar.mdb) es: \n") + file);
        QCOMPARE(confirm.title, QStringLiteral("Atención"));
        QCOMPARE(confirm.icon, Messenger::Icon::None);
        QCOMPARE(confirm.buttons, unsigned(Messenger::Ok | Messenger::Cancel));
        const auto &leave = messenger().shown.at(2);
        QCOMPARE(leave.text, QStringLiteral("Ha de Salir de Quillomar para cargar los datos"));
        QCOMPARE(leave.title, QStringLiteral("Atención"));
        QCOMPARE(leave.icon, Messenger::Icon::Information);
        QCOMPARE(leave.buttons, unsigned(Messenger::Ok));

        QCOMPARE(m_agenda->context.settings.DataFolder, folder);
        QCOMPARE(m_quits, 1);
        const Settings saved = savedSettings();
        QCOMPARE(saved.DataFolder, folder);
        QCOMPARE(saved.Alpha, qint16(55));
        // The next start opens the agenda of the new folder; the open one stays until then.
        const QString agenda = m_agenda->context.paths.databaseFile(saved.DataFolder);
        QCOMPARE(agenda, folder + QStringLiteral("/quillomar.mdb"));
        QCOMPARE(m_main->diary().Data1.DatabaseName, m_agenda->context.paths.databaseFile(m_oldFolder));
    }

    void cancelAtTheLastQuestionSavesTheOldFolderAndEnds()
    {
        m_chooser.answer = makeFile(QStringLiteral("Otra"), QStringLiteral("quillomar.mdb"));
        messenger().answerNext(Messenger::Yes);
        messenger().answerNext(Messenger::Cancel);
        clickChangeFolder();

        QCOMPARE(messenger().shown.size(), 4);
        const auto &cancelled = messenger().shown.at(2);
        QCOMPARE(cancelled.text, QStringLiteral("Operación Cancelada por el Usuario"));
        QCOMPARE(cancelled.title, QStringLiteral("Quillomar"));
        QCOMPARE(cancelled.icon, Messenger::Icon::None);
        QCOMPARE(cancelled.buttons, unsigned(Messenger::Ok));
        QCOMPARE(messenger().shown.at(3).text, QStringLiteral("Ha de Salir de Quillomar para cargar los datos"));

        QCOMPARE(m_agenda->context.settings.DataFolder, m_oldFolder);
        QCOMPARE(m_quits, 1);
        QVERIFY(QFile::exists(settingsFile()));
        QCOMPARE(savedSettings().DataFolder, m_oldFolder);
    }

    void anEmptyDataFolderNamesTheDefaultFolder()
    {
        m_agenda->context.settings.DataFolder.clear();
        messenger().answerNext(Messenger::No);
        clickChangeFolder();
        QVERIFY(messenger().shown.first().text.contains(m_agenda->context.paths.defaultDataFolder));
        QVERIFY(!m_agenda->context.paths.defaultDataFolder.isEmpty());
    }

    void aFolderWhoseNameBreaksTheLineIsRefused()
    {
        m_chooser.answer = makeFile(QStringLiteral("dos\nlíneas"), QStringLiteral("otro.txt"));
        QVERIFY(QFile::exists(m_chooser.answer));
        clickChangeFolder();
        QCOMPARE(messenger().shown.size(), 2);
        QCOMPARE(messenger().shown.at(1).icon, Messenger::Icon::Critical);
        QCOMPARE(m_agenda->context.settings.DataFolder, m_oldFolder);
        QCOMPARE(m_quits, 0);
        QVERIFY(!QFile::exists(settingsFile()));
    }
};

QTEST_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
