#include "DataFolderChoice.h"

#include "data/AppContext.h"
#include "data/Messenger.h"
#include "widgets/FileChooser.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString Attention = QStringLiteral("Atención");

} // namespace

DataFolderChoice::DataFolderChoice(AppContext &context, FileChooser &chooser)
    : m_context(context)
    , m_chooser(chooser)
{}

QString DataFolderChoice::RemoveFirst(const QString &part, const QString &whole)
{
    const qsizetype at = part.isEmpty() ? -1 : whole.indexOf(part);
    if (at < 0)
        return whole;
    return whole.left(at) + whole.mid(at + part.size());
}

QString DataFolderChoice::FolderOf(const QString &fileName)
{
    // Taken from the end of the name: cutting the first "/name" out of the whole path would
    // also cut a folder that happens to start with the file's name ("/a/otro.txt.d/otro.txt").
    return QDir::toNativeSeparators(QFileInfo(fileName).absolutePath());
}

DataFolderChoice::Outcome DataFolderChoice::ChooseDataFolder(QWidget *dialogParent)
{
    Messenger &messenger = *m_context.messenger;
    Settings &settings = m_context.settings;

    // An empty DataFolder stands for the default folder: name the folder actually in use.
    const QString current = settings.DataFolder.isEmpty() ? m_context.paths.defaultDataFolder : settings.DataFolder;
    if (messenger.ask(QStringLiteral("La carpeta de datos actual es: \n%1\n¿Desea buscar el archivo de datos en otra "
                                     "ubicación?")
                          .arg(current),
                      Attention, Messenger::Icon::Question, Messenger::Yes | Messenger::No) != Messenger::Yes)
        return Outcome::Stay;

    const QString fileName =
        m_chooser.openFileName(dialogParent, QStringLiteral("Abrir Datos de Quillomar y fijar ruta acceso..."));
    if (fileName.isEmpty() || !QFileInfo(fileName).isFile()) {
        messenger.ask(QStringLiteral("No se ha indicado una ruta al archivo de datos de Quillomar"), Attention,
                      Messenger::Icon::Critical, Messenger::Ok);
        return Outcome::Stay;
    }

    const QString folder = FolderOf(fileName);
    // The settings file keeps one value a line: a folder whose name holds a line break would
    // spill into the next settings and could not be read back.
    if (folder.contains(QLatin1Char('\n')) || folder.contains(QLatin1Char('\r'))) {
        messenger.ask(QStringLiteral("La carpeta %1 no puede guardarse como carpeta de datos: su nombre contiene un "
                                     "salto de línea.")
                          .arg(folder),
                      Attention, Messenger::Icon::Critical, Messenger::Ok);
        return Outcome::Stay;
    }

    if (messenger.ask(QStringLiteral("La nueva ruta del archivo de datos (Quillomar.mdb) es: \n%1").arg(fileName),
                      Attention, Messenger::Icon::None, Messenger::Ok | Messenger::Cancel) == Messenger::Ok)
        settings.DataFolder = folder;
    else
        messenger.ask(QStringLiteral("Operación Cancelada por el Usuario"), QStringLiteral("Quillomar"),
                      Messenger::Icon::None, Messenger::Ok);

    messenger.ask(QStringLiteral("Ha de Salir de Quillomar para cargar los datos"), Attention,
                  Messenger::Icon::Information, Messenger::Ok);
    return Outcome::Leave;
}
