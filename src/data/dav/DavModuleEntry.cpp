#include "data/dav/DavClient.h"

// What the program asks of its network module, loaded at the first sync.
extern "C" Q_DECL_EXPORT DavServer *quillomar_new_dav_server(const QUrl &url, const QString &user,
                                                             const QString &password)
{
    return new DavClient(url, user, password);
}
