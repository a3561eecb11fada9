#include "TextSearch.h"

#include "data/AppContext.h"
#include "data/DateText.h"
#include "data/Diary.h"
#include "data/EntryStore.h"
#include "data/EntryWrite.h"
#include "data/Schema.h"
#include "data/store/Criterion.h"
#include "data/store/TextMatch.h"
#include "widgets/ImageButton.h"
#include "widgets/Theme.h"
#include "widgets/Twips.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <algorithm>

namespace {

QGroupBox *makeFrame(const QString &name, const QString &title, QWidget *parent)
{
    auto *frame = new QGroupBox(title, parent);
    frame->setObjectName(name);
    frame->setFont(Theme::serif(11, false, true));
    QPalette ink = frame->palette();
    ink.setColor(QPalette::WindowText, Theme::Ink);
    frame->setPalette(ink);
    return frame;
}

// The type of what the user reads and writes inside a frame: the desktop's, not the frame's serif.
// Every attribute is set, so none is taken over from the frame.
void useDesktopFont(QWidget *widget)
{
    QFont font = QApplication::font();
    font.setFamilies({font.family()});
    font.setPointSizeF(font.pointSizeF());
    font.setBold(false);
    font.setItalic(false);
    widget->setFont(font);
}

} // namespace

TextSearch::TextSearch(Diary &diary, AppContext &context, QWidget *parent)
    : Section(QStringLiteral("PictureBuscador"), parent)
    , m_diary(diary)
    , m_context(context)
{
    Frame2 = makeFrame(QStringLiteral("Frame2"), QStringLiteral("Texto a Buscar"), this);
    Text1 = new QLineEdit(Frame2);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(Frame2->title());
    useDesktopFont(Text1);
    Theme::paintEntryBox(*Text1);
    Text1->installEventFilter(this);

    struct Button
    {
        const char *picture;
        const char *toolTip;
    };
    const Button buttons[4] = {{"week-previous", "Buscar Anterior"},
                               {"week-next", "Buscar Siguiente"},
                               {"search-first", "Buscar Primera"},
                               {"search-last", "Buscar Última"}};
    for (int k = 0; k < 4; ++k) {
        Command2[k] =
            new ImageButton(QString::fromLatin1(buttons[k].picture), QString::fromUtf8(buttons[k].toolTip), Frame2);
        Command2[k]->setObjectName(QStringLiteral("Command2(%1)").arg(k));
        Command2[k]->setEnabled(false);
        connect(Command2[k], &ImageButton::clicked, this, [this, k] { Command2_Click(k); });
    }
    Command4 = new QPushButton(QStringLiteral("Ir"), Frame2);
    Command4->setObjectName(QStringLiteral("Command4"));
    Command4->setToolTip(QStringLiteral("Ir a la página correspondiente al texto encontrado"));
    Command4->setAccessibleDescription(Command4->toolTip());
    useDesktopFont(Command4);
    Command4->setEnabled(false);
    connect(Command4, &QPushButton::clicked, this, &TextSearch::Command4_Click);
    setTabOrder(Text1, Command2[2]);
    setTabOrder(Command2[2], Command2[0]);
    setTabOrder(Command2[0], Command2[1]);
    setTabOrder(Command2[1], Command2[3]);
    setTabOrder(Command2[3], Command4);

    Frame3 = makeFrame(QStringLiteral("Frame3"), QStringLiteral("Encontrado"), this);
    Label5 = new QLabel(Frame3);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setFont(Theme::serif(12, true));
    Frame4 = makeFrame(QStringLiteral("Frame4"), QStringLiteral("Asunto"), Frame3);
    Text2 = new QLineEdit(Frame4);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setAccessibleName(Frame4->title());
    Text2->setMaxLength(255);
    useDesktopFont(Text2);
    Theme::paintEntryBox(*Text2);
    Text2->installEventFilter(this);
    connect(Text2, &QLineEdit::editingFinished, this, &TextSearch::saveSubject);
    Frame5 = makeFrame(QStringLiteral("Frame5"), QStringLiteral("Texto"), Frame3);
    Text3 = new QPlainTextEdit(Frame5);
    Text3->setObjectName(QStringLiteral("Text3"));
    Text3->setAccessibleName(Frame5->title());
    Text3->setTabChangesFocus(true);
    useDesktopFont(Text3);
    Theme::paintEntryBox(*Text3);
    Text3->installEventFilter(this);

    // Covers the result until something is found, and says so when a search finds nothing.
    Picture3 = new QFrame(Frame3);
    Picture3->setObjectName(QStringLiteral("Picture3"));
    Picture3->setAutoFillBackground(true);
    QPalette paper = Picture3->palette();
    paper.setColor(QPalette::Window, Theme::Paper);
    Picture3->setPalette(paper);
    Label6 = new QLabel(QStringLiteral("NO SE HA ENCONTRADO"), Picture3);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setAlignment(Qt::AlignCenter);
    Label6->setFont(Theme::serif(14, true));
    QPalette ink = Label6->palette();
    ink.setColor(QPalette::WindowText, Theme::Ink);
    Label6->setPalette(ink);
    Label6->hide();
    Picture3->raise();

    // The entry on show follows what any window writes to it.
    connect(&m_diary, &Diary::changed, this, [this](const DiaryChange &change) {
        if (isVisible() && change.touches(DiaryChange::Kind::Entries) && (change.key < 0 || change.key == m_shownKey))
            reloadShown();
    });
}

TextSearch::~TextSearch()
{
    // What is being typed is kept. The boxes then lose their focus as the widgets go, when this
    // section is no more: they are let go first.
    disconnect(&m_diary, nullptr, this, nullptr);
    saveTyping();
    Text2->disconnect(this);
    for (QWidget *box : {static_cast<QWidget *>(Text1), static_cast<QWidget *>(Text2), static_cast<QWidget *>(Text3)})
        box->removeEventFilter(this);
}

QString TextSearch::title() const
{
    return QStringLiteral("Buscador");
}

void TextSearch::enter()
{
    reloadShown();
    Text1->setFocus();
}

void TextSearch::activated()
{
    if (isVisible())
        reloadShown();
}

bool TextSearch::eventFilter(QObject *watched, QEvent *event)
{
    // Text1_KeyPress runs before the key reaches the box, so it sees the text as it was.
    if (watched == Text1 && event->type() == QEvent::KeyPress)
        Text1_KeyPress();
    else if (watched == Text2 && event->type() == QEvent::FocusOut)
        saveSubject();
    else if (watched == Text3 && event->type() == QEvent::FocusOut)
        saveNote();
    return Section::eventFilter(watched, event);
}

void TextSearch::hideEvent(QHideEvent *event)
{
    saveTyping();
    Section::hideEvent(event);
}

void TextSearch::Text1_KeyPress()
{
    const bool hasText = !Text1->text().isEmpty();
    for (ImageButton *button : Command2)
        button->setEnabled(hasText);
}

void TextSearch::Command2_Click(int index)
{
    saveTyping();
    const QString s = Text1->text();
    const Criterion criterion = Criterion::entriesMentioning(s);

    RecordCursor &cursor = m_diary.Data1;
    // Previous and next go on from the entry on show, wherever the week has moved the cursor since.
    if ((index == 0 || index == 1) && m_shownKey >= 0 && cursor.currentKey() != m_shownKey)
        cursor.FindFirst(Criterion::numberEquals(Schema::Notas::Numero, m_shownKey));

    bool found = false;
    switch (index) {
    case 0:
        found = cursor.FindPrevious(criterion);
        break;
    case 1:
        found = cursor.FindNext(criterion);
        break;
    case 2:
        found = cursor.FindFirst(criterion);
        break;
    default:
        found = cursor.FindLast(criterion);
        break;
    }
    if (!found || cursor.NoMatch()) {
        showNotFound();
        return;
    }
    Label6->hide();
    showEntry();
    highlight(s);
    Picture3->hide();
    Command4->setEnabled(true);
}

void TextSearch::Command4_Click()
{
    saveTyping();
    if (m_shownDate.isValid())
        m_diary.showWeekOf(m_shownDate);
}

void TextSearch::showNotFound()
{
    Picture3->show();
    Picture3->raise();
    Label6->show();
}

void TextSearch::showEntry()
{
    const RecordCursor &entry = m_diary.Data1;
    m_shownKey = entry.currentKey();
    const QString fecha = entry.Text(Schema::Notas::Fecha);
    m_shownDate = DateText::toDate(fecha);
    Label5->setText(
        m_shownDate.isValid() ? DateText::spanishLocale().toString(m_shownDate, QLocale::LongFormat).toUpper() : fecha);
    Text2->setText(entry.Text(Schema::Notas::Texto));
    Text2->setModified(false);
    Text3->setPlainText(entry.Text(Schema::Notas::Nota));
    Text3->document()->setModified(false);
}

void TextSearch::highlight(const QString &s)
{
    const QString note = Text3->toPlainText();
    const QString subject = Text2->text();
    const TextMatch::Stretch inNote = TextMatch::findIgnoringAccents(note, s);
    const TextMatch::Stretch inSubject = TextMatch::findIgnoringAccents(subject, s);
    // The note is chosen when it holds the text just as it was typed; otherwise the short text,
    // unless the text is only in the note, with other letters or accents.
    const bool noteWins = (note.contains(s) || !inSubject.found()) && inNote.found();
    if (noteWins) {
        Text3->setFocus();
        QTextCursor selection = Text3->textCursor();
        selection.setPosition(int(inNote.position));
        selection.setPosition(int(inNote.position + inNote.length), QTextCursor::KeepAnchor);
        Text3->setTextCursor(selection);
    } else {
        Text2->setFocus();
        if (inSubject.found())
            Text2->setSelection(int(inSubject.position), int(inSubject.length));
        else
            Text2->setCursorPosition(0);
    }
}

void TextSearch::reloadShown()
{
    if (m_shownKey < 0 || Text2->isModified() || Text3->document()->isModified())
        return;
    RecordCursor &cursor = m_diary.Data1;
    if (cursor.currentKey() != m_shownKey &&
        !cursor.FindFirst(Criterion::numberEquals(Schema::Notas::Numero, m_shownKey))) {
        if (cursor.isOpen() && cursor.NoMatch()) {
            // The entry has been deleted: nothing is left to show or to go to.
            m_shownKey = -1;
            m_shownDate = QDate();
            Label6->hide();
            Picture3->show();
            Picture3->raise();
            Command4->setEnabled(false);
        }
        return;
    }
    const QString subject = cursor.Text(Schema::Notas::Texto);
    const QString note = cursor.Text(Schema::Notas::Nota);
    const bool sameDate = DateText::toDate(cursor.Text(Schema::Notas::Fecha)) == m_shownDate;
    if (subject != Text2->text() || note != Text3->toPlainText() || !sameDate)
        showEntry();
}

void TextSearch::saveSubject()
{
    if (m_shownKey < 0 || !Text2->isModified())
        return;
    Text2->setModified(false);
    if (const StoreResult written = m_diary.entries().setText(m_shownKey, Text2->text()); !written)
        EntryWrite::tellNotWritten(m_context.messenger,
                                   QStringLiteral("No se ha podido guardar el asunto de la entrada"), written.why());
}

void TextSearch::saveNote()
{
    if (m_shownKey < 0 || !Text3->document()->isModified())
        return;
    Text3->document()->setModified(false);
    if (const StoreResult written = m_diary.entries().setNote(m_shownKey, Text3->toPlainText()); !written)
        EntryWrite::tellNotWritten(m_context.messenger,
                                   QStringLiteral("No se ha podido guardar el texto de la entrada"), written.why());
}

void TextSearch::saveTyping()
{
    saveSubject();
    saveNote();
}

int TextSearch::px(double twips) const
{
    return std::max(0, Twips::toPixels(twips, screen()));
}

void TextSearch::LayoutSearch()
{
    const int margin = px(120);
    const int gap = px(60);
    const int lineHeight = Text1->sizeHint().height();
    const int button = px(375);
    auto titleRoom = [gap](const QGroupBox *frame) { return frame->fontMetrics().height() + gap; };
    auto within = [](int length) { return std::max(0, length); };

    const int frameWidth = within(width() - px(240));
    int y = titleRoom(Frame2);
    Text1->setGeometry(margin, y, within(frameWidth - px(240)), lineHeight);
    y += lineHeight + gap;
    const int order[4] = {2, 0, 1, 3};
    for (int k = 0; k < 4; ++k)
        Command2[order[k]]->setGeometry(margin + k * button, y, button, button);
    const int goLeft = margin + 4 * button + gap;
    Command4->setGeometry(goLeft, y, within(std::min(frameWidth - 4 * button - px(120), frameWidth - goLeft - margin)),
                          button);
    Frame2->setGeometry(margin, margin, frameWidth, y + button + margin);

    const int foundTop = Frame2->geometry().bottom() + 1 + gap;
    const int foundHeight = within(height() - px(240) - foundTop);
    Frame3->setGeometry(margin, foundTop, frameWidth, foundHeight);
    const int innerWidth = within(frameWidth - px(240));
    y = titleRoom(Frame3);
    const int dateHeight = Label5->sizeHint().height();
    Label5->setGeometry(margin, y, innerWidth, dateHeight);
    y += dateHeight + gap;
    const int subjectHeight = titleRoom(Frame4) + lineHeight + margin;
    Frame4->setGeometry(margin, y, innerWidth, subjectHeight);
    Text2->setGeometry(margin, titleRoom(Frame4), within(innerWidth - px(240)), lineHeight);
    y += subjectHeight + gap;
    const int noteHeight = within(foundHeight - subjectHeight - px(840));
    Frame5->setGeometry(margin, y, innerWidth, noteHeight);
    Text3->setGeometry(margin, titleRoom(Frame5), within(innerWidth - px(240)),
                       within(std::min(noteHeight - px(360), noteHeight - titleRoom(Frame5) - gap)));

    Picture3->setGeometry(margin, px(240), innerWidth, within(foundHeight - px(360)));
    Label6->setGeometry(0, 0, Picture3->width(), Picture3->height());
}
