#pragma once

#include "data/sync/SyncRunner.h"

#include <QStringList>

// The program's network module: DavClient with Qt Network under it, built as quillomar-dav.so and
// loaded at the first sync, so that a start-up never loads the network libraries. Without the
// module every answer is an error telling so; nothing else fails.
class DavModule final
{
public:
    // Where the module is looked for: beside the executable (a build or portable copy), then in
    // the installed library folder.
    static QStringList moduleFiles();
    // Makes the servers from the first of files that loads; the module stays loaded to the end.
    static SyncRunner::Connector connector(const QStringList &files = moduleFiles());
};
