#include "data/sync/DavModule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <QMutex>

namespace {

using Make = DavServer *(*)(const QUrl &, const QString &, const QString &);

// Stands in for the server when the module is missing: every call says so.
class MissingModule final : public DavServer
{
public:
    DavAnswer discover(QList<DavCollection> *) override { return missing(); }
    DavAnswer list(const QUrl &, QList<DavItem> *) override { return missing(); }
    DavAnswer changes(const QUrl &, const QString &, QList<DavItem> *, QStringList *, QString *) override
    {
        return missing();
    }
    DavAnswer fetch(const QUrl &, const QStringList &, QList<DavItem> *) override { return missing(); }
    DavAnswer put(const QString &, const QByteArray &, const QString &, const QString &, QString *) override
    {
        return missing();
    }
    DavAnswer remove(const QString &, const QString &) override { return missing(); }
    void cancel() override {}

private:
    static DavAnswer missing()
    {
        return DavAnswer{DavAnswer::Kind::ServerError, 0, QStringLiteral("Falta el módulo de red del programa")};
    }
};

// Loads the module once per set of files, whatever thread first asks.
Make load(const QStringList &files)
{
    static QMutex mutex;
    static QHash<QStringList, Make> loaded;
    const QMutexLocker lock(&mutex);
    const auto known = loaded.constFind(files);
    if (known != loaded.constEnd())
        return *known;
    Make make = nullptr;
    for (const QString &file : files) {
        if (!QFileInfo::exists(file))
            continue;
        // Never unloaded: the servers it makes run its code until the process ends.
        auto *module = new QLibrary(file);
        make = reinterpret_cast<Make>(module->resolve("quillomar_new_dav_server"));
        if (make)
            break;
        delete module;
    }
    loaded.insert(files, make);
    return make;
}

} // namespace

QStringList DavModule::moduleFiles()
{
    const QDir folder(QCoreApplication::applicationDirPath());
    return {folder.filePath(QStringLiteral(QUILLOMAR_DAV_MODULE)),
            folder.filePath(QStringLiteral(QUILLOMAR_INSTALLED_DAV_MODULE))};
}

SyncRunner::Connector DavModule::connector(const QStringList &files)
{
    return [files](const QUrl &url, const QString &user, const QString &password) -> std::unique_ptr<DavServer> {
        if (const Make make = load(files))
            return std::unique_ptr<DavServer>(make(url, user, password));
        return std::make_unique<MissingModule>();
    };
}
