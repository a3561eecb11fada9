#include "data/dav/DavClient.h"
#include "data/sync/DavModule.h"
#include "support/RadicaleServer.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <thread>

using Kind = DavAnswer::Kind;
Q_DECLARE_METATYPE(DavAnswer::Kind)

namespace {

QByteArray eventText(const QString &uid)
{
    return QStringLiteral("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Quillomar//ES\r\nBEGIN:VEVENT\r\nUID:%1\r\n"
                          "DTSTAMP:20240403T101700Z\r\nDTSTART:20240403T101700Z\r\nSUMMARY:Cita %1\r\nEND:VEVENT\r\n"
                          "END:VCALENDAR\r\n")
        .arg(uid)
        .toUtf8();
}

QByteArray cardText(const QString &uid)
{
    return QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%1\r\nFN:Persona %1\r\nN:%1;Persona;;;\r\nEND:VCARD\r\n")
        .arg(uid)
        .toUtf8();
}

QStringList hrefsOf(const QList<DavItem> &items)
{
    QStringList hrefs;
    for (const DavItem &item : items)
        hrefs << item.href;
    hrefs.sort();
    return hrefs;
}

} // namespace

class DavClientTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<RadicaleServer> m_server;
    QUrl m_calendar;
    QUrl m_addressBook;

    std::unique_ptr<DavClient> client(const QUrl &url = {}, const QString &password = {})
    {
        return std::make_unique<DavClient>(url.isEmpty() ? m_server->url() : url, m_server->user(),
                                           password.isEmpty() ? m_server->password() : password);
    }

    // Puts count new items into a collection; returns their hrefs and ETags.
    QList<DavItem> putItems(DavClient &dav, const QUrl &collection, int count,
                            const QString &prefix = QStringLiteral("a"))
    {
        QList<DavItem> items;
        const bool cards = collection == m_addressBook;
        for (int i = 0; i < count; ++i) {
            const QString uid = prefix + QString::number(i);
            DavItem item{collection.path() + uid + (cards ? QStringLiteral(".vcf") : QStringLiteral(".ics")), {}, {}};
            const DavAnswer answer = dav.put(item.href, cards ? cardText(uid) : eventText(uid),
                                             cards ? QStringLiteral("text/vcard; charset=utf-8")
                                                   : QStringLiteral("text/calendar; charset=utf-8"),
                                             {}, &item.etag);
            if (!answer)
                qWarning() << answer.message;
            items << item;
        }
        return items;
    }

private slots:
    void init()
    {
        if (const QString why = RadicaleServer::missing(); !why.isEmpty())
            QSKIP(qPrintable(why));
        m_server = std::make_unique<RadicaleServer>();
        QString error;
        QVERIFY2(m_server->start(&error), qPrintable(error));
        m_calendar = m_server->makeCalendar();
        m_addressBook = m_server->makeAddressBook();
        QVERIFY(!m_calendar.isEmpty() && !m_addressBook.isEmpty());
    }

    void cleanup() { m_server.reset(); }

    void discoversTheUsersCollections_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QStringList>("expected");
        const QStringList both = {"calendario VEVENT,VTODO", "contactos address book"};
        QTest::newRow("server root") << "" << both;
        QTest::newRow("well-known address, redirected") << ".well-known/caldav" << both;
        QTest::newRow("principal") << "ana/" << both;
        QTest::newRow("a calendar") << "ana/calendario/" << QStringList{"calendario VEVENT,VTODO"};
        QTest::newRow("an address book") << "ana/contactos/" << QStringList{"contactos address book"};
    }
    void discoversTheUsersCollections()
    {
        QFETCH(QString, given);
        QFETCH(QStringList, expected);
        QList<DavCollection> collections;
        const DavAnswer answer = client(m_server->url().resolved(QUrl(given)))->discover(&collections);
        QVERIFY2(answer, qPrintable(answer.message));
        QStringList found;
        for (const DavCollection &collection : collections) {
            QCOMPARE(collection.url, collection.addressBook ? m_addressBook : m_calendar);
            found << collection.name + QLatin1Char(' ') +
                    (collection.addressBook ? QStringLiteral("address book") : collection.components.join(','));
        }
        found.sort();
        QCOMPARE(found, expected);
    }

    void writesOnlyOverTheVersionGiven_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("etag"); // "current": the item's own
        QTest::addColumn<Kind>("expected");
        QTest::newRow("put new") << QByteArray("PUT") << false << "" << Kind::Ok;
        QTest::newRow("put new over an existing item") << QByteArray("PUT") << true << "" << Kind::Precondition;
        QTest::newRow("put over its version") << QByteArray("PUT") << true << "current" << Kind::Ok;
        QTest::newRow("put over another version") << QByteArray("PUT") << true << "\"otra\"" << Kind::Precondition;
        QTest::newRow("remove its version") << QByteArray("DELETE") << true << "current" << Kind::Ok;
        QTest::newRow("remove another version") << QByteArray("DELETE") << true << "\"otra\"" << Kind::Precondition;
        QTest::newRow("remove what is gone") << QByteArray("DELETE") << false << "\"otra\"" << Kind::NotFound;
    }
    void writesOnlyOverTheVersionGiven()
    {
        QFETCH(QByteArray, method);
        QFETCH(bool, exists);
        QFETCH(QString, etag);
        QFETCH(Kind, expected);
        auto dav = client();
        const QString href = m_calendar.path() + QStringLiteral("cita.ics");
        QString current;
        if (exists)
            QVERIFY(dav->put(href, eventText("cita"), "text/calendar", {}, &current));
        if (etag == "current")
            etag = current;
        QString newEtag;
        const DavAnswer answer = method == "PUT" ? dav->put(href, eventText("cita"), "text/calendar", etag, &newEtag)
                                                 : dav->remove(href, etag);
        QCOMPARE(answer.kind, expected);
        QCOMPARE(bool(answer), !answer.message.contains(m_server->url().host()));
        QList<DavItem> items;
        QVERIFY(dav->list(m_calendar, &items));
        if (method == "PUT" && answer)
            QCOMPARE(items, QList<DavItem>({DavItem{href, newEtag, {}}}));
        else
            QCOMPARE(items.size(), int(exists && (answer.kind != Kind::Ok)));
    }

    void listsAndFetchesInBatches_data()
    {
        QTest::addColumn<bool>("addressBook");
        QTest::addColumn<int>("count");
        QTest::newRow("calendar, three batches") << false << 250;
        QTest::newRow("address book") << true << 3;
    }
    void listsAndFetchesInBatches()
    {
        QFETCH(bool, addressBook);
        QFETCH(int, count);
        const QUrl collection = addressBook ? m_addressBook : m_calendar;
        auto dav = client(collection);
        dav->setBatchSize(100);
        const QList<DavItem> put = putItems(*dav, collection, count);
        QList<DavItem> listed;
        QVERIFY(dav->list(collection, &listed));
        std::sort(listed.begin(), listed.end(), [](const DavItem &a, const DavItem &b) { return a.href < b.href; });
        QList<DavItem> expected = put;
        std::sort(expected.begin(), expected.end(), [](const DavItem &a, const DavItem &b) { return a.href < b.href; });
        QCOMPARE(listed, expected);

        QList<DavItem> fetched;
        const QString gone = collection.path() + QStringLiteral("no-existe.ics");
        QVERIFY(dav->fetch(collection, hrefsOf(put) << gone, &fetched));
        QCOMPARE(hrefsOf(fetched), hrefsOf(put));
        for (const DavItem &item : std::as_const(fetched)) {
            const QString uid = item.href.section('/', -1).section('.', 0, 0);
            QVERIFY2(item.data.contains("UID:" + uid.toUtf8()), item.data.constData());
            QCOMPARE(item.etag, listed.at(listed.indexOf(DavItem{item.href, item.etag, {}})).etag);
        }
    }

    void tellsWhatChangedSinceItsToken()
    {
        auto dav = client();
        const QList<DavItem> first = putItems(*dav, m_calendar, 3);
        QList<DavItem> changed;
        QStringList removed;
        QString token;
        QVERIFY(dav->changes(m_calendar, {}, &changed, &removed, &token));
        QCOMPARE(hrefsOf(changed), hrefsOf(first));
        QVERIFY(removed.isEmpty() && !token.isEmpty());

        QString edited;
        QVERIFY(dav->put(first.at(0).href, eventText("a0").replace("Cita", "Otra cita"), "text/calendar",
                         first.at(0).etag, &edited));
        QVERIFY(dav->remove(first.at(1).href, first.at(1).etag));
        const QList<DavItem> added = putItems(*dav, m_calendar, 1, QStringLiteral("b"));
        QString next;
        QVERIFY(dav->changes(m_calendar, token, &changed, &removed, &next));
        QCOMPARE(hrefsOf(changed), hrefsOf({DavItem{first.at(0).href, edited, {}}, added.at(0)}));
        QCOMPARE(removed, QStringList{first.at(1).href});
        QVERIFY(next != token);

        // A token the server never gave is refused (403 here), not taken for a wrong password: the
        // pass lists the collection instead.
        const DavAnswer refused =
            dav->changes(m_calendar, QStringLiteral("http://radicale.org/ns/sync/0000"), &changed, &removed, &next);
        QCOMPARE(refused.kind, Kind::Refused);
    }

    void failsInTheUsersWords_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<Kind>("expected");
        QTest::newRow("wrong password") << "password" << Kind::Unauthorized;
        QTest::newRow("server not answering") << "frozen" << Kind::Unreachable;
        QTest::newRow("self-signed certificate") << "certificate" << Kind::Certificate;
        QTest::newRow("cancelled from another thread") << "cancelled" << Kind::Cancelled;
    }
    void failsInTheUsersWords()
    {
        QFETCH(QString, failure);
        QFETCH(Kind, expected);
        QTemporaryDir keys;
        if (failure == "certificate") {
            const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
            if (openssl.isEmpty())
                QSKIP("openssl is not installed");
            QProcess make;
            make.start(openssl,
                       {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1",
                        "-keyout", keys.filePath("key.pem"), "-out", keys.filePath("cert.pem")});
            QVERIFY(make.waitForFinished() && make.exitCode() == 0);
            m_server->stop();
            m_server->useCertificate(keys.filePath("cert.pem"), keys.filePath("key.pem"));
            QVERIFY(m_server->start());
        }
        auto dav = client({}, failure == "password" ? QStringLiteral("otra") : QString());
        std::thread canceller;
        if (failure == "frozen" || failure == "cancelled")
            m_server->freeze();
        if (failure == "frozen")
            dav->setTimeout(300);
        if (failure == "cancelled")
            canceller = std::thread([&dav] { dav->cancel(); });
        QList<DavCollection> collections;
        const DavAnswer answer = dav->discover(&collections);
        if (canceller.joinable())
            canceller.join();
        QCOMPARE(answer.kind, expected);
        QVERIFY2(answer.message.contains(m_server->url().host()), qPrintable(answer.message));
        QVERIFY(collections.isEmpty());
    }

    // A server stopped and started again: the calls in between fail, the next ones are answered.
    void answersAgainOnceTheServerIsBack()
    {
        auto dav = client();
        QList<DavCollection> collections;
        QVERIFY(dav->discover(&collections));
        m_server->stop();
        QList<DavItem> items;
        const DavAnswer stopped = dav->list(m_calendar, &items);
        QCOMPARE(stopped.kind, Kind::Unreachable);
        QCOMPARE(stopped.message, "No se puede conectar con el servidor " + m_server->url().host());
        QVERIFY(m_server->start());
        QVERIFY(dav->list(m_calendar, &items));
    }

    void theProgramLoadsItsNetworkModule_data()
    {
        QTest::addColumn<QString>("module");
        QTest::addColumn<Kind>("expected");
        QTest::newRow("built") << QUILLOMAR_DAV_MODULE_FILE << Kind::Ok;
        QTest::newRow("missing") << "no-existe.so" << Kind::ServerError;
    }
    void theProgramLoadsItsNetworkModule()
    {
        QFETCH(QString, module);
        QFETCH(Kind, expected);
        const auto server = DavModule::connector({module})(m_server->url(), m_server->user(), m_server->password());
        QList<DavCollection> collections;
        const DavAnswer answer = server->discover(&collections);
        QCOMPARE(answer.kind, expected);
        QCOMPARE(collections.size(), answer ? 2 : 0);
        QCOMPARE(answer.message, answer ? QString() : QStringLiteral("Falta el módulo de red del programa"));
    }
};

QTEST_GUILESS_MAIN(DavClientTest)
#include "tst_davclient.moc"
