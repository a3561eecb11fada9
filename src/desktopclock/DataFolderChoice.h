// DataFolderChoice: pointing the program at the agenda of another folder, from the clock's panel.
#pragma once

#include <QString>

struct AppContext;
class FileChooser;
class QWidget;

// Points the program at another folder's agenda. Nothing is copied, opened or examined here:
// the new folder is written to the settings and takes effect at the next start.
class DataFolderChoice final
{
public:
    enum class Outcome {
        Stay, // nothing changed; the program goes on
        Leave, // the settings must be written and the program must end now
    };

    DataFolderChoice(AppContext &context, FileChooser &chooser);

    // Asks the user through the messenger and the file chooser. On Leave, DataFolder holds the
    // folder to keep (the new one, or the old one when the user cancelled at the last question).
    Outcome ChooseDataFolder(QWidget *dialogParent);

    // whole with the first occurrence of part removed.
    static QString RemoveFirst(const QString &part, const QString &whole);

    // The folder of a chosen file, as DataFolder keeps it: no trailing separator except for the
    // root folder itself, which has no other name.
    static QString FolderOf(const QString &fileName);

private:
    AppContext &m_context;
    FileChooser &m_chooser;
};
