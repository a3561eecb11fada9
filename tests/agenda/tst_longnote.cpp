#include "agenda/Form2.h"
#include "agenda/Form4.h"
#include "data/store/Criterion.h"
#include "support/DiaryWindow.h"
#include "support/TestAgenda.h"
#include "widgets/ImageButton.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QtTest>

// The long note editor, opened under the entry strip over an entry Data1 stands on.
class TestLongNote : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAgenda> m_agenda;
    std::unique_ptr<DiaryWindow> m_main;
    std::unique_ptr<Form2> m_strip;
    std::unique_ptr<Form4> m_editor;
    qint64 m_other = -1;
    qint64 m_entry = -1;

    std::unique_ptr<RecordCursor> row(qint64 numero)
    {
        auto notas = m_agenda->cursor(QStringLiteral("notas"));
        notas->FindFirst(Criterion::numberEquals(QStringLiteral("numero"), numero));
        return notas;
    }
    ImageButton *button(int index)
    {
        return m_editor->findChild<ImageButton *>(QStringLiteral("Image1(%1)").arg(index));
    }
    void open(const QString &note)
    {
        QVERIFY(m_main->diary.Data1.FindFirst(Criterion::numberEquals(QStringLiteral("numero"), m_entry)));
        m_editor = std::make_unique<Form4>(m_main->diary, m_agenda->context, *m_strip, m_entry, m_main.get());
        m_editor->Label1->setText(QStringLiteral("Dentista"));
        m_editor->Text1->setPlainText(note);
        m_editor->show();
        QVERIFY(QTest::qWaitForWindowActive(m_editor.get()));
    }

private slots:
    void init()
    {
        m_agenda = std::make_unique<TestAgenda>();
        m_main = std::make_unique<DiaryWindow>(m_agenda->context);
        m_main->setGeometry(100, 100, 1200, 800);
        m_other = m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("07:00"), QStringLiteral("Otra"));
        m_entry = m_agenda->addEntry(QDate(2024, 4, 3), QStringLiteral("10:00"), QStringLiteral("Dentista"),
                                     QStringLiteral("Primera línea\nsegunda"));
        m_strip = std::make_unique<Form2>(m_main->diary, m_agenda->context, m_main.get());
        m_strip->move(180, 240);
        m_strip->show();
    }
    void cleanup()
    {
        m_editor.reset();
        m_strip.reset();
        m_main.reset();
        m_agenda.reset();
    }

    void opensUnderTheStripWithItsWidth()
    {
        open(QStringLiteral("nota"));
        QCOMPARE(m_editor->geometry(), QRect(180, 240 + m_strip->height(), m_strip->width(), m_main->height() / 5));
        QCOMPARE(m_editor->Label1->palette().color(QPalette::WindowText), QColor(192, 0, 0));
        QVERIFY(m_editor->Label1->font().bold());
        QCOMPARE(m_editor->Text1->toolTip(), QStringLiteral("Texto Largo"));
        QCOMPARE(m_editor->Text1->font().pointSizeF(), 8.25);
        QCOMPARE(button(0)->accessibleName(), QStringLiteral("Cerrar Texto Largo"));
        QVERIFY(button(1)->isHidden());
        QVERIFY(!button(2)->isHidden());
        // the panel of buttons sits at the top right, the note fills the rest
        const QRect panel = m_editor->Picture1->geometry();
        QVERIFY(panel.right() < m_editor->width() && panel.right() > m_editor->width() - 20);
        QVERIFY(m_editor->Text1->geometry().bottom() < m_editor->height());
        QVERIFY(m_editor->Text1->geometry().top() > panel.top());
    }

    void theCaretGoesToTheEndOnActivation()
    {
        open(QStringLiteral("Primera línea\nsegunda"));
        QCOMPARE(m_editor->Text1->textCursor().position(), m_editor->Text1->toPlainText().size());
        m_editor->Text1->moveCursor(QTextCursor::Start);
        m_editor->Form_Activate();
        QVERIFY(m_editor->Text1->textCursor().atEnd());
    }

    void closingSavesTheNoteOnTheEntry_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("byEscape");
        QTest::newRow("unchanged") << QString() << false;
        QTest::newRow("added to") << QStringLiteral(" y tercera") << false;
        QTest::newRow("escape saves too") << QStringLiteral("!") << true;
    }
    void closingSavesTheNoteOnTheEntry()
    {
        QFETCH(QString, typed);
        QFETCH(bool, byEscape);
        open(QStringLiteral("Primera línea\nsegunda"));
        QTest::keyClicks(m_editor->Text1, typed);
        if (byEscape)
            QTest::keyClick(m_editor->Text1, Qt::Key_Escape);
        else
            QTest::mouseClick(button(0), Qt::LeftButton);
        QVERIFY(!m_editor->isVisible());
        QCOMPARE(row(m_entry)->Text(QStringLiteral("nota")), QStringLiteral("Primera línea\nsegunda") + typed);
        QVERIFY(row(m_other)->Field(QStringLiteral("nota")).isNull());
        QVERIFY(m_agenda->messenger.shown.isEmpty());
    }

    void anEmptiedNoteIsStoredEmpty()
    {
        open(QStringLiteral("algo"));
        m_editor->Text1->selectAll();
        QTest::keyClick(m_editor->Text1, Qt::Key_Delete);
        QTest::mouseClick(button(0), Qt::LeftButton);
        QVERIFY(row(m_entry)->Text(QStringLiteral("nota")).isEmpty());
    }

    void theNoteGoesToItsEntryEvenIfData1HasMoved()
    {
        open(QStringLiteral("mía"));
        m_main->diary.Data1.MoveFirst();
        QTest::mouseClick(button(0), Qt::LeftButton);
        QCOMPARE(row(m_entry)->Text(QStringLiteral("nota")), QStringLiteral("mía"));
        QVERIFY(row(m_other)->Field(QStringLiteral("nota")).isNull());
    }

    void aNoteForAnEntryThatIsGoneIsToldNotStored()
    {
        open(QStringLiteral("huérfana"));
        QVERIFY(row(m_entry)->Delete());
        m_main->diary.Data1.MoveFirst();
        QTest::mouseClick(button(0), Qt::LeftButton);
        QVERIFY(!m_editor->isVisible());
        QCOMPARE(m_agenda->messenger.shown.size(), 1);
        QVERIFY(m_agenda->messenger.shown[0].text.startsWith(
            QStringLiteral("No se ha podido guardar el texto largo de la entrada «Dentista»")));
        QVERIFY(row(m_other)->Field(QStringLiteral("nota")).isNull());
    }

    void maximiseAndRestoreChangeTheFont()
    {
        open(QStringLiteral("nota"));
        const QRect normal = m_editor->geometry();
        const QRect maximiseButton = button(2)->geometry();
        QTest::mouseClick(button(2), Qt::LeftButton);
        QTRY_COMPARE(button(1)->geometry(), maximiseButton); // Restaurar takes its place
        QVERIFY(m_editor->isMaximized());
        QVERIFY(!button(1)->isHidden());
        QVERIFY(button(2)->isHidden());
        QCOMPARE(m_editor->Text1->font().pointSizeF(), 12.0);
        QCOMPARE(button(1)->accessibleName(), QStringLiteral("Restaurar"));
        QTest::mouseClick(button(1), Qt::LeftButton);
        QVERIFY(!m_editor->isMaximized());
        QVERIFY(button(1)->isHidden());
        QVERIFY(!button(2)->isHidden());
        QCOMPARE(m_editor->Text1->font().pointSizeF(), 8.0);
        QTRY_COMPARE(m_editor->geometry(), normal);
    }

    void keepsTheUserActive()
    {
        open(QStringLiteral("nota"));
        m_agenda->context.IdleCount = 25;
        QTest::keyClick(m_editor->Text1, Qt::Key_A);
        QCOMPARE(m_agenda->context.IdleCount, qint16(0));
        m_agenda->context.IdleCount = 25;
        m_editor->Timer1_Timer();
        QCOMPARE(m_agenda->context.IdleCount, qint16(0));
        QVERIFY(m_editor->Timer1.isActive());
    }
};

QTEST_MAIN(TestLongNote)
#include "tst_longnote.moc"
