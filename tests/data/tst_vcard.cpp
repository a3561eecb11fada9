#include "data/interchange/CardInterchange.h"
#include "data/interchange/VCard.h"
#include "data/interchange/VCardParse.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Cards in and out of vCard files: what each kind of file gives, that a written file reads back
// the same here and in a second reader, and that a broken file is refused with where it breaks.
class TestVCard : public QObject
{
    Q_OBJECT

    static QByteArray corpus(const QString &file)
    {
        QFile in(QFINDTESTDATA(QStringLiteral("interchange/vcard/") + file));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    static QList<CardInterchange> cards(const QByteArray &data)
    {
        const VCardParse parsed = VCard::parse(data);
        [&] {
            QVERIFY2(parsed.ok(), qPrintable(QString::number(parsed.line) + QStringLiteral(": ") + parsed.error));
        }();
        QList<CardInterchange> cards;
        for (const VCard &vcard : parsed.cards)
            cards.append(CardInterchange::fromVCard(vcard));
        return cards;
    }
    static QString kinds(const QByteArray &kept)
    {
        QStringList kinds;
        const QMap<QString, int> counted = CardInterchange::keptKinds(kept);
        for (auto kind = counted.begin(); kind != counted.end(); ++kind)
            kinds.append(kind.key() + u'=' + QString::number(kind.value()));
        return kinds.join(u' ');
    }
    // What the second reader is shown: the fields it can name, in the order it sorts them.
    static QJsonArray secondReaderFields(const QList<VCard> &vcards)
    {
        QJsonArray all;
        for (const VCard &vcard : vcards) {
            QStringList fields;
            for (const VCardProperty &p : vcard.properties)
                if (p.name == u"ADR")
                    fields.append(p.name + u'\t' + p.components().join(u';'));
                else if (QStringList{u"FN"_qs, u"UID"_qs, u"TEL"_qs, u"EMAIL"_qs, u"NOTE"_qs}.contains(p.name))
                    fields.append(p.name + u'\t' + p.text());
            fields.sort();
            all.append(QJsonArray::fromStringList(fields));
        }
        return all;
    }

private slots:
    void readsCorpus_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("uid");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QByteArray>("keptLine"); // one property kept as the card will write it
        QTest::newRow("2.1 quoted-printable, bare types, photo")
            << "quoted-printable-2.1.vcf" << 0
            << QStringList{u"José Muñoz"_qs,
                           u"+34 91 123 45 67"_qs,
                           u"600111222"_qs,
                           u"917777777"_qs,
                           u"+34 91 765 43 21"_qs,
                           u"jose@example.es"_qs,
                           {},
                           {},
                           u"Calle de la Cañada 3, 2º izda."_qs,
                           u"28801 Alcalá de Henares"_qs,
                           u"Madrid"_qs,
                           u"España"_qs}
            << QString() << "ADR=1 NOTE=1 PHOTO=1 TEL=2" << QByteArray("PHOTO;ENCODING=b;TYPE=JPEG:AAECAwQF");
        QTest::newRow("2.1 name from N, 8-bit ISO-8859-1")
            << "quoted-printable-2.1.vcf" << 1
            << QStringList{u"Lucía Pérez"_qs, u"+34 699 000 111"_qs, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}}
            << QString() << "" << QByteArray();
        QTest::newRow("3.0 Google, first address, group")
            << "google-3.0.vcf" << 0
            << QStringList{u"Ana García López"_qs,
                           u"+34 600 123 456"_qs,
                           u"911 234 567"_qs,
                           u"+34 912 000 000"_qs,
                           {},
                           u"ana@example.com"_qs,
                           u"ana.garcia@example.org"_qs,
                           u"ana.otra@example.net"_qs,
                           u"Paseo de la Castellana 100"_qs,
                           u"28046 Madrid"_qs,
                           {},
                           u"España"_qs}
            << QString() << "ADR=1 BDAY=1 CATEGORIES=1 EMAIL=1 NOTE=1 ORG=1 PHOTO=1 TITLE=1 URL=1 X-ABLABEL=1"
            << QByteArray("NOTE:Conocida en el congreso\\, en Lisboa.\\nLlamar por la tarde.");
        QTest::newRow("3.0 Google, fax before phone") << "google-3.0.vcf" << 1 << QStringList{u"Bruno Sánchez"_qs,
                                                                                              u"+34 913 333 334"_qs,
                                                                                              {},
                                                                                              {},
                                                                                              u"+34 913 333 333"_qs,
                                                                                              {},
                                                                                              {},
                                                                                              {},
                                                                                              {},
                                                                                              {},
                                                                                              {},
                                                                                              {}}
                                                      << QString() << "" << QByteArray();
        QTest::newRow("3.0 Apple, preferred address, fourth phone")
            << "apple-3.0.vcf" << 0
            << QStringList{u"Dra. Carmen Ortega"_qs,
                           u"+34 622 222 222"_qs,
                           u"+34 633 333 333"_qs,
                           u"+34 944 444 444"_qs,
                           u"+34 944 444 445"_qs,
                           u"carmen@example.es"_qs,
                           {},
                           {},
                           u"Calle del Pez 7"_qs,
                           u"48990 Getxo"_qs,
                           u"Vizcaya"_qs,
                           u"España"_qs}
            << "5AD380FD-B2DE-4261-BA99-DE1D1DB52FBE"
            << "ADR=1 ORG=1 PHOTO=1 TEL=1 X-ABADR=2 X-ABLABEL=1 X-ABUID=1"
            << QByteArray("item1.X-ABLABEL:_$!<Other>!$_");
        QTest::newRow("4.0 tel: addresses, PREF=1, data: photo")
            << "rfc-4.0.vcf" << 0
            << QStringList{u"Simon Perreault"_qs,
                           u"+1-418-656-9254;ext=102"_qs,
                           u"+1-418-262-6501"_qs,
                           {},
                           u"+1-418-656-9255"_qs,
                           u"simon.perreault@viagenie.ca"_qs,
                           {},
                           {},
                           u"2875 Laurier, Suite D2-630"_qs,
                           u"G1V 2M2 Quebec"_qs,
                           u"QC"_qs,
                           u"Canada"_qs}
            << "urn:uuid:4fbe8971-0bc3-424c-9c26-36c3e1eff6b1"
            << "ADR=1 BDAY=1 GENDER=1 GEO=1 KEY=1 LANG=2 ORG=1 PHOTO=1 TZ=1 URL=1"
            << QByteArray("PHOTO;ENCODING=b;TYPE=PNG:AAECAwQF");
        QTest::newRow("folded inside characters")
            << "accents-emoji-3.0.vcf" << 0
            << QStringList{u"Íñigo Üriarte Çelik 🎉🎂👨‍👩‍👧 con un nombre largo que se dobla más de una vez, ¿verdad? ¡Sí! Ñandú ⛰️"_qs,
                           u"+34 600 999 888"_qs,
                           {},
                           {},
                           {},
                           {},
                           {},
                           {},
                           u"Rúa do Príncipe 12, 4º 🏠"_qs,
                           u"36202 Vigo"_qs,
                           u"Pontevedra"_qs,
                           u"España"_qs}
            << QString() << "NOTE=1 X-APODO=1" << u"X-APODO:El Pequeño 🐣 de la familia"_qs.toUtf8();
    }
    void readsCorpus()
    {
        QFETCH(QString, file);
        QFETCH(int, index);
        QFETCH(QStringList, fields);
        QFETCH(QString, uid);
        QFETCH(QString, kept);
        QFETCH(QByteArray, keptLine);
        const QList<CardInterchange> read = cards(corpus(file));
        QVERIFY(index < read.size());
        QCOMPARE(QStringList(read[index].card.fields.begin(), read[index].card.fields.end()), fields);
        QCOMPARE(read[index].uid, uid);
        QCOMPARE(kinds(read[index].kept), kept);
        QVERIFY2(read[index].kept.contains(keptLine), read[index].kept.constData());
    }

    void writesWhatReadsBack_data()
    {
        QTest::addColumn<QString>("file");
        for (const char *file :
             {"quoted-printable-2.1.vcf", "google-3.0.vcf", "apple-3.0.vcf", "rfc-4.0.vcf", "accents-emoji-3.0.vcf"})
            QTest::newRow(file) << QString::fromLatin1(file);
    }
    void writesWhatReadsBack()
    {
        QFETCH(QString, file);
        const QList<CardInterchange> read = cards(corpus(file));
        QList<VCard> vcards;
        for (const CardInterchange &card : read)
            vcards.append(card.toVCard());
        const QByteArray written = VCard::write(vcards);

        QVERIFY(written.endsWith("\r\n"));
        QCOMPARE(written.count('\n'), written.count("\r\n"));
        QCOMPARE(written.count('\r'), written.count("\r\n"));
        for (const QByteArray &line : written.chopped(2).replace("\r\n", "\n").split('\n')) {
            QVERIFY2(line.size() <= 75, line.constData());
            QVERIFY2(QString::fromUtf8(line).toUtf8() == line, line.constData());
        }
        QCOMPARE(cards(written), read);

        QTemporaryDir dir;
        QFile out(dir.filePath(u"out.vcf"_qs));
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(written) == written.size());
        out.close();
        if (QProcess::execute(u"/usr/bin/python3"_qs, {u"-c"_qs, u"import vobject"_qs}) != 0)
            QSKIP("python3-vobject is not installed");
        QProcess reader;
        reader.start(u"/usr/bin/python3"_qs, {QFINDTESTDATA("interchange/vobject_fields.py"), out.fileName()});
        QVERIFY(reader.waitForFinished(60000));
        QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
        QJsonArray second;
        for (const QJsonValue &card : QJsonDocument::fromJson(reader.readAllStandardOutput()).array()) {
            QStringList fields;
            for (const QJsonValue &field : card.toArray())
                fields.append(field[0].toString() + u'\t' + field[1].toString());
            fields.sort();
            second.append(QJsonArray::fromStringList(fields));
        }
        QCOMPARE(second, secondReaderFields(VCard::parse(written).cards));
    }

    // What is kept comes from the agenda, which any SQLite client can change.
    void keptNeverEndsTheCard()
    {
        CardInterchange card;
        card.card.fields[Card::Name] = u"Ana"_qs;
        card.kept = "END:VCARD\r\nBEGIN:VCARD\r\nNOTE:a\r\n";
        const QList<CardInterchange> back = cards(VCard::write({card.toVCard()}));
        QCOMPARE(back.size(), 1);
        QCOMPARE(back.first().kept, QByteArray("NOTE:a\r\n"));
    }

    void refusesBrokenFile_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("line");
        const QString unended = u"La tarjeta que empieza aquí no termina (falta END:VCARD)"_qs;
        QTest::newRow("empty") << QByteArray() << u"El archivo no contiene ninguna tarjeta"_qs << 1;
        QTest::newRow("BEGIN without END") << QByteArray("BEGIN:VCARD\r\nFN:A\r\n") << unended << 1;
        QTest::newRow("END without BEGIN")
            << QByteArray("BEGIN:VCARD\nFN:A\nEND:VCARD\nEND:VCARD\n") << u"END:VCARD sin BEGIN:VCARD"_qs << 4;
        QTest::newRow("BEGIN inside a card")
            << QByteArray("BEGIN:VCARD\nFN:A\nBEGIN:VCARD\nFN:B\nEND:VCARD\n")
            << u"Empieza una tarjeta antes de que termine la anterior (falta END:VCARD)"_qs << 3;
        QTest::newRow("other component") << QByteArray("BEGIN:VCARD\nBEGIN:VEVENT\nEND:VEVENT\nEND:VCARD\n")
                                         << u"Se esperaba BEGIN:VCARD o END:VCARD"_qs << 2;
        QTest::newRow("outside a card") << QByteArray("FN:A\n")
                                        << u"Hay datos fuera de una tarjeta (falta BEGIN:VCARD)"_qs << 1;
        QTest::newRow("NUL") << QByteArray("BEGIN:VCARD\nFN:A\0B\nEND:VCARD\n", 29)
                             << u"El archivo contiene un carácter nulo"_qs << 2;
        QTest::newRow("invalid UTF-8") << QByteArray("BEGIN:VCARD\nVERSION:3.0\nFN:P\xe9rez\nEND:VCARD\n")
                                       << u"El texto no es UTF-8 válido"_qs << 3;
        QTest::newRow("UTF-8 cut at the end")
            << QByteArray("BEGIN:VCARD\nFN:P\xc3\nEND:VCARD\n") << u"El texto no es UTF-8 válido"_qs << 2;
        QTest::newRow("NUL in quoted-printable")
            << QByteArray("BEGIN:VCARD\nVERSION:2.1\nFN;ENCODING=QUOTED-PRINTABLE:A=00B\nEND:VCARD\n")
            << u"El archivo contiene un carácter nulo"_qs << 3;
        QTest::newRow("huge line") << QByteArray("BEGIN:VCARD\nNOTE:" + QByteArray(17 * 1024 * 1024, 'a'))
                                   << u"Una línea es demasiado larga para una tarjeta"_qs << 2;
        QTest::newRow("no colon") << QByteArray("BEGIN:VCARD\nFN\nEND:VCARD\n")
                                  << u"A la línea le falta el «:» que separa el nombre del valor"_qs << 2;
        QTest::newRow("bad name") << QByteArray("BEGIN:VCARD\n\xff\xfe:A\nEND:VCARD\n")
                                  << u"«��» no es un nombre de propiedad de vCard"_qs << 2;
        QTest::newRow("unknown charset") << QByteArray("BEGIN:VCARD\nFN;CHARSET=X-NADA:A\nEND:VCARD\n")
                                         << u"El juego de caracteres «X-NADA» no se conoce"_qs << 2;
        QTest::newRow("bad base64") << QByteArray("BEGIN:VCARD\nPHOTO;ENCODING=b:@@@@\nEND:VCARD\n")
                                    << u"El valor de PHOTO no está bien codificado en base64"_qs << 2;
        QTest::newRow("unknown version") << QByteArray("BEGIN:VCARD\nVERSION:5.0\nEND:VCARD\n")
                                         << u"La versión de vCard «5.0» no se conoce"_qs << 2;
    }
    void refusesBrokenFile()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, error);
        QFETCH(int, line);
        const VCardParse parsed = VCard::parse(data);
        QCOMPARE(parsed.error, error);
        QCOMPARE(parsed.line, line);
        QVERIFY(parsed.cards.isEmpty());
    }

    void contentKey_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("same");
        QTest::newRow("uid and row") << "uid" << true;
        QTest::newRow("a phone") << "phone" << false;
        QTest::newRow("what was kept") << "kept" << false;
    }
    void contentKey()
    {
        QFETCH(QString, change);
        QFETCH(bool, same);
        const CardInterchange card = cards(corpus(u"google-3.0.vcf"_qs)).first();
        CardInterchange other = card;
        if (change == u"uid") {
            other.uid = u"otra"_qs;
            other.card.key = 7;
        } else if (change == u"phone") {
            other.card.fields[Card::Phone3] += u'0';
        } else {
            other.kept.replace("Directora", "Director");
        }
        QCOMPARE(other.contentKey() == card.contentKey(), same);
    }
};

QTEST_APPLESS_MAIN(TestVCard)
#include "tst_vcard.moc"
