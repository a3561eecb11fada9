#include "data/sync/SyncMerge.h"

#include <QTest>

using SyncMerge::Action;
using SyncMerge::Side;
Q_DECLARE_METATYPE(Side)
Q_DECLARE_METATYPE(Action)

namespace {

// Parts written short: "key:field,field/kept+kept" separated by spaces; "-" is no part at all.
SyncParts parts(const QString &text)
{
    SyncParts result;
    if (text == QLatin1String("-"))
        return result;
    for (const QString &item : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString key = item.section(u':', 0, 0);
        const QString body = item.section(u':', 1);
        SyncPart part;
        part.fields = body.section(u'/', 0, 0).split(u',');
        part.kept = body.section(u'/', 1).replace(u'+', QStringLiteral("\r\n")).toUtf8();
        result.emplace(key, part);
    }
    return result;
}

} // namespace

class SyncMergeTest : public QObject
{
    Q_OBJECT

private slots:
    void decide_data()
    {
        QTest::addColumn<Side>("here");
        QTest::addColumn<Side>("there");
        QTest::addColumn<Action>("action");
        QTest::newRow("unchanged") << Side::Same << Side::Same << Action::Nothing;
        QTest::newRow("changed here") << Side::Changed << Side::Same << Action::Send;
        QTest::newRow("changed there") << Side::Same << Side::Changed << Action::Receive;
        QTest::newRow("changed on both") << Side::Changed << Side::Changed << Action::Merge;
        QTest::newRow("deleted here") << Side::Gone << Side::Same << Action::RemoveThere;
        QTest::newRow("deleted there") << Side::Same << Side::Gone << Action::RemoveHere;
        QTest::newRow("deleted here, changed there") << Side::Gone << Side::Changed << Action::Receive;
        QTest::newRow("changed here, deleted there") << Side::Changed << Side::Gone << Action::SendNew;
        QTest::newRow("deleted on both") << Side::Gone << Side::Gone << Action::Forget;
    }
    void decide()
    {
        QFETCH(Side, here);
        QFETCH(Side, there);
        QFETCH(Action, action);
        QCOMPARE(SyncMerge::decide(here, there), action);
    }

    void merge_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("here");
        QTest::addColumn<QString>("there");
        QTest::addColumn<QString>("merged");
        QTest::addColumn<QString>("conflicts");
        QTest::newRow("a field changed here") << ":a,b"
                                              << ":x,b"
                                              << ":a,b"
                                              << ":x,b"
                                              << "-";
        QTest::newRow("a field changed there") << ":a,b"
                                               << ":a,b"
                                               << ":a,y"
                                               << ":a,y"
                                               << "-";
        QTest::newRow("different fields on each side") << ":a,b"
                                                       << ":x,b"
                                                       << ":a,y"
                                                       << ":x,y"
                                                       << "-";
        QTest::newRow("the same change on both") << ":a,b"
                                                 << ":x,b"
                                                 << ":x,b"
                                                 << ":x,b"
                                                 << "-";
        QTest::newRow("one field changed differently") << ":a,b"
                                                       << ":x,h"
                                                       << ":z,b"
                                                       << ":z,h"
                                                       << ":x,h";
        QTest::newRow("what is kept changed differently") << ":a/L:1"
                                                          << ":a/L:2"
                                                          << ":a/L:3"
                                                          << ":a/L:3"
                                                          << ":a/L:2";
        QTest::newRow("kept lines only reordered there") << ":a/L+M"
                                                         << ":x/L+M"
                                                         << ":a/M+L"
                                                         << ":x/L+M"
                                                         << "-";
        QTest::newRow("a repetition deleted here, changed there") << "1:a 2:b"
                                                                  << "1:a"
                                                                  << "1:a 2:c"
                                                                  << "1:a 2:c"
                                                                  << "-";
        QTest::newRow("a repetition changed here, deleted there") << "1:a 2:b"
                                                                  << "1:a 2:c"
                                                                  << "1:a"
                                                                  << "1:a 2:c"
                                                                  << "-";
        QTest::newRow("a repetition deleted here") << "1:a 2:b"
                                                   << "1:a"
                                                   << "1:a 2:b"
                                                   << "1:a"
                                                   << "-";
        QTest::newRow("no base, alike") << "-"
                                        << ":a,b"
                                        << ":a,b"
                                        << ":a,b"
                                        << "-";
        QTest::newRow("no base, different") << "-"
                                            << ":a,b"
                                            << ":c,b"
                                            << ":c,b"
                                            << ":a,b";
    }
    void merge()
    {
        QFETCH(QString, base);
        QFETCH(QString, here);
        QFETCH(QString, there);
        QFETCH(QString, merged);
        QFETCH(QString, conflicts);
        const SyncMerge::Merged result = SyncMerge::merge(parts(base), parts(here), parts(there));
        QCOMPARE(result.parts, parts(merged));
        QCOMPARE(result.conflicts, parts(conflicts));
        QCOMPARE(SyncMerge::hash(result.parts), SyncMerge::hash(parts(merged)));
    }
};

QTEST_GUILESS_MAIN(SyncMergeTest)
#include "tst_syncmerge.moc"
