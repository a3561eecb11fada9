#include "data/CardStore.h"
#include "data/DayStore.h"
#include "data/TaskStore.h"
#include "print/Printout.h"
#include "support/TestAgenda.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

// The diary's views on paper: the PDF of a known agenda, read back as text, holds what each view
// shows, in order and whole.
class TestPrintout : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAgenda> m_agenda;

    // The PDF's text in the order it is drawn in.
    static QString textOf(const QString &pdf)
    {
        QProcess process;
        process.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
        if (!process.waitForFinished(20000))
            return {};
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    // The agenda every case prints from: the week of 29 April 2024 with a holiday, a day text,
    // entries with and without notes and alarms, a Tuesday with more entries than its panel holds;
    // three tasks; three cards.
    void fill()
    {
        Diary &diary = m_agenda->diary();
        diary.days().saveYearly({1, 5, QStringLiteral("Fiesta del Trabajo"), true});
        diary.days().save({QDate(2024, 5, 24), QStringLiteral("Cumpleaños de Begoña"), false});
        m_agenda->addEntry(QDate(2024, 4, 29), QStringLiteral("10:15"), QStringLiteral("Cita con Íñigo Muñoz"),
                           QStringLiteral("Llevar el año de cuentas"), QStringLiteral("10:00"));
        m_agenda->addEntry(QDate(2024, 4, 29), QStringLiteral("08:30"), QStringLiteral("Desayuno en la cañada"));
        for (int k = 1; k <= 40; ++k)
            m_agenda->addEntry(QDate(2024, 4, 30), QStringLiteral("12:%1").arg(k, 2, 10, QLatin1Char('0')),
                               QStringLiteral("Recado número %1").arg(k, 2, 10, QLatin1Char('0')));
        m_agenda->addEntry(QDate(2024, 5, 5), QStringLiteral("20:00"), QStringLiteral("Cena de cumpleaños"));
        for (const auto &[description, done, alarm] :
             {std::tuple{QStringLiteral("Llamar a Begoña"), true, QDate()},
              std::tuple{QStringLiteral("Comprar turrón para Año Nuevo"), false, QDate(2024, 12, 20)},
              std::tuple{QStringLiteral("Pagar la señal del piso"), false, QDate()}}) {
            Task task{-1,
                      QDate(2024, 4, 3),
                      QStringLiteral("10:00"),
                      description,
                      done,
                      alarm,
                      alarm.isValid() ? QStringLiteral("11:30") : QString()};
            QVERIFY(diary.tasks().add(task));
        }
        for (const QStringList &fields :
             {QStringList{"Begoña Ibáñez", "981 55 12 34", "", "", "", "bego@correo.es"},
              QStringList{"Álvaro Muñoz", "91 555 00 11", "", "600 12 34 56"},
              QStringList{"Carmen Núñez", "", "", "", "", "", "", "", "Rúa Nova 3", "A Coruña"}}) {
            Card card;
            for (int k = 0; k < fields.size(); ++k)
                card.fields[size_t(k)] = fields[k];
            QVERIFY(diary.cards().add(card));
        }
    }

private slots:
    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        fill();
    }
    void cleanup() { m_agenda.reset(); }

    void pdfHoldsTheViewInOrder_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("search");
        QTest::addColumn<bool>("notes");
        QTest::addColumn<int>("paper");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("absent");
        using Kind = PrintRequest::Kind;
        const QStringList week = {"Semana del 29 de abril al 5 de mayo de 2024",
                                  "Abril 2024",
                                  "Lunes 29",
                                  "08:30 Desayuno en la cañada",
                                  "10:15 # Cita con Íñigo Muñoz",
                                  "Martes 30",
                                  "Recado número 01",
                                  "sigue en la página 2",
                                  "Miércoles 1",
                                  "Fiesta del Trabajo",
                                  "Mayo 2024",
                                  "HOY Jueves 2",
                                  "Domingo 5",
                                  "20:00 Cena de cumpleaños",
                                  "Martes, 30 de abril de 2024 (continuación)",
                                  "Recado número 40",
                                  "Página 2 de 2"};
        QTest::newRow("week, A4 across") << int(Kind::Week) << "" << false << int(QPageSize::A4)
                                         << int(QPageLayout::Landscape) << week
                                         << QStringList{"Llevar el año de cuentas"};
        QTest::newRow("week with notes, Letter upright")
            << int(Kind::Week) << "" << true << int(QPageSize::Letter) << int(QPageLayout::Portrait)
            << QStringList{"10:15 # Cita con Íñigo Muñoz", "Llevar el año de cuentas", "Martes 30"} << QStringList{};
        QTest::newRow("month") << int(Kind::Month) << "" << false << int(QPageSize::A4) << int(QPageLayout::Landscape)
                               << QStringList{"Calendario de mayo de 2024",
                                              "MAYO 2024",
                                              "Lunes",
                                              "Domingo",
                                              "HOY",
                                              "Días señalados",
                                              "Miércoles, 1 de mayo de 2024 (Fiesta del Trabajo)",
                                              "Viernes, 24 de mayo de 2024 - Cumpleaños de Begoña"}
                               << QStringList{};
        QTest::newRow("tasks") << int(Kind::Tasks) << "" << false << int(QPageSize::Letter)
                               << int(QPageLayout::Portrait)
                               << QStringList{"Tareas",
                                              "Pendientes (2)",
                                              "☐ Comprar turrón para Año Nuevo",
                                              "Anotada el 03/04/2024 a las 10:00 · Alarma el 20/12/2024 a las 11:30",
                                              "☐ Pagar la señal del piso",
                                              "Terminadas (1)",
                                              "☑ Llamar a Begoña"}
                               << QStringList{};
        QTest::newRow("phone book") << int(Kind::Phones) << "" << false << int(QPageSize::A4)
                                    << int(QPageLayout::Portrait)
                                    << QStringList{"Teléfonos",
                                                   "ÁLVARO MUÑOZ",
                                                   "Teléfono 1: 91 555 00 11",
                                                   "Teléfono 3: 600 12 34 56",
                                                   "BEGOÑA IBÁÑEZ",
                                                   "EMAIL 1: bego@correo.es",
                                                   "CARMEN NÚÑEZ",
                                                   "Dirección: Rúa Nova 3",
                                                   "Población: A Coruña"}
                                    << QStringList{};
        QTest::newRow("cards found") << int(Kind::Phones) << "nuñez" << false << int(QPageSize::A4)
                                     << int(QPageLayout::Landscape)
                                     << QStringList{"Teléfonos: búsqueda «nuñez»", "CARMEN NÚÑEZ"}
                                     << QStringList{"ÁLVARO", "BEGOÑA"};
        QTest::newRow("no card found") << int(Kind::Phones) << "zz" << false << int(QPageSize::Letter)
                                       << int(QPageLayout::Portrait) << QStringList{"Ninguna ficha responde a «zz»."}
                                       << QStringList{"CARMEN"};
    }

    void pdfHoldsTheViewInOrder()
    {
        QFETCH(int, kind);
        QFETCH(QString, search);
        QFETCH(bool, notes);
        QFETCH(int, paper);
        QFETCH(int, orientation);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, absent);
        PrintRequest request;
        request.kind = PrintRequest::Kind(kind);
        request.date = QDate(2024, 5, 2);
        request.today = QDate(2024, 5, 2);
        request.phoneSearch = search;
        request.includeNotes = notes;
        const QString pdf = QDir(m_agenda->folder()).filePath(QStringLiteral("vista.pdf"));
        const QPageLayout layout(QPageSize(QPageSize::PageSizeId(paper)), QPageLayout::Orientation(orientation),
                                 QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
        QCOMPARE(Printout::writePdf(m_agenda->diary(), request, pdf, layout), QString());

        // Read as one line of words, so a text broken over two lines still reads whole.
        const QString text = textOf(pdf).simplified();
        qsizetype at = 0;
        for (const QString &piece : expected) {
            const qsizetype found = text.indexOf(piece, at);
            QVERIFY2(found >= 0, qPrintable(QStringLiteral("«%1» missing after: %2").arg(piece, text.mid(at, 300))));
            at = found + piece.size();
        }
        for (const QString &piece : absent)
            QVERIFY2(!text.contains(piece), qPrintable(piece));
        // Nothing of an overflowing day is lost: every entry of it once, in its order.
        const QRegularExpression errand(QStringLiteral("Recado número (\\d\\d)"));
        int next = 1;
        for (const QRegularExpressionMatch &match : errand.globalMatch(text))
            QCOMPARE(match.captured(1).toInt(), next++);
        QVERIFY(next == 1 || next == 41);

        QProcess fonts;
        fonts.start(QStringLiteral("pdffonts"), {pdf});
        QVERIFY(fonts.waitForFinished(20000));
        const QStringList rows = QString::fromUtf8(fonts.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        QVERIFY(rows.size() > 2);
        for (const QString &row : rows.mid(2))
            QVERIFY2(
                row.contains(QRegularExpression(QStringLiteral("\\byes\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+$"))),
                qPrintable(row)); // embedded
    }

    void aFailedPdfLeavesNoHalfFile_data()
    {
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("told");
        QTest::newRow("no such folder") << false << "no-existe/"
                                        << "no se puede escribir";
        QTest::newRow("agenda unreadable") << true << ""
                                           << "no se puede leer la agenda";
    }

    void aFailedPdfLeavesNoHalfFile()
    {
        QFETCH(bool, damaged);
        QFETCH(QString, folder);
        QFETCH(QString, told);
        // An agenda that is no agenda cannot be read.
        const QString notAgenda = QDir(m_agenda->folder()).filePath(QStringLiteral("rota.mdb"));
        QFile garbage(notAgenda);
        QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write(QByteArray(4096, 'x')) == 4096);
        garbage.close();
        Diary broken;
        broken.open(notAgenda);
        const QString pdf = QDir(m_agenda->folder()).filePath(folder + QStringLiteral("tareas.pdf"));
        QFile before(pdf);
        if (before.open(QIODevice::WriteOnly))
            before.write("la copia anterior");
        before.close();
        PrintRequest request;
        request.kind = PrintRequest::Kind::Tasks;
        const QString why = Printout::writePdf(
            damaged ? broken : m_agenda->diary(), request, pdf,
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter));
        QVERIFY2(why.contains(told), qPrintable(why));
        QFile after(pdf);
        QCOMPARE(after.open(QIODevice::ReadOnly) ? after.readAll() : QByteArray(),
                 damaged ? QByteArray("la copia anterior") : QByteArray());
        QCOMPARE(QDir(m_agenda->folder()).entryList({QStringLiteral("*.pdf*")}, QDir::Files).size(), damaged ? 1 : 0);
    }
};

QTEST_MAIN(TestPrintout)
#include "tst_printout.moc"
