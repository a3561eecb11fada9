#include "CalendarFiles.h"

#include "data/Clock.h"
#include "data/Diary.h"
#include "data/Messenger.h"
#include "data/interchange/Interchange.h"
#include "widgets/FileChooser.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QWidget>

namespace {

const QString Title = QStringLiteral("Quillomar");
const QString Filter = QStringLiteral("Calendarios y contactos (*.ics *.vcf);;Calendario (*.ics);;Contactos (*.vcf)");

// The calendar or address file a drag carries, or an empty text.
QString droppedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().first().isLocalFile())
        return {};
    const QString path = data->urls().first().toLocalFile();
    return InterchangeFile::formatOf(path) == InterchangeFile::Format::Unknown ? QString() : path;
}

} // namespace

CalendarFiles::CalendarFiles(Diary &diary, AppContext &context, QWidget &window)
    : QObject(&window)
    , m_diary(diary)
    , m_context(context)
    , m_window(window)
    , m_ownChooser(std::make_unique<QtFileChooser>())
    , m_chooser(m_ownChooser.get())
{
    // The window's actions go into the book's own menu (Form1::contextMenuEvent): a right click on
    // the leather, the pages or any part of the window without a menu of its own.
    auto *import = new QAction(QStringLiteral("Importar…"), &window);
    auto *exportTo = new QAction(QStringLiteral("Exportar…"), &window);
    connect(import, &QAction::triggered, this, &CalendarFiles::chooseImport);
    connect(exportTo, &QAction::triggered, this, &CalendarFiles::chooseExport);
    window.addAction(import);
    window.addAction(exportTo);
    // A file dropped on any part of the window, a text box of the week included.
    window.setAcceptDrops(true);
    qApp->installEventFilter(this);
}

CalendarFiles::~CalendarFiles()
{
    qApp->removeEventFilter(this);
}

bool CalendarFiles::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != &m_window)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    const QString path = droppedFile(drop->mimeData());
    if (path.isEmpty())
        return false;
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop)
        // After the drag has ended: the confirmation is a modal box of its own.
        QMetaObject::invokeMethod(
            this, [this, path] { importFile(path); }, Qt::QueuedConnection);
    return true;
}

void CalendarFiles::chooseImport()
{
    const QString path = m_chooser->fileToRead(&m_window, QStringLiteral("Importar"), Filter);
    if (!path.isEmpty())
        importFile(path);
}

void CalendarFiles::importFile(const QString &path)
{
    const Interchange::Prepared prepared = Interchange::prepare(path, m_context.clock->today());
    if (!prepared.error.isEmpty()) {
        m_context.messenger->tell(Interchange::refusal(path, prepared), Title, Messenger::Icon::Warning);
        return;
    }
    const QString question = QStringLiteral("%1 trae %2.\n\n¿Importarlo a la agenda?")
                                 .arg(QFileInfo(path).fileName(), Interchange::describe(prepared.plan));
    if (m_context.messenger->askWithDefault(question, Title, Messenger::Icon::Question, Messenger::Yes | Messenger::No,
                                            Messenger::Yes) != Messenger::Yes)
        return;
    Interchange::Counts counts;
    if (const StoreResult done = Interchange(m_diary).apply(prepared.plan, &counts); !done) {
        m_context.messenger->tell(
            QStringLiteral("No se ha importado %1: %2.").arg(QFileInfo(path).fileName(), done.why()), Title,
            Messenger::Icon::Critical);
        return;
    }
    // The week of the first new entry from today on, else of the last one before it.
    QDate shown;
    for (const ImportPlan::EntryItem &item : prepared.plan.entries) {
        const QDate date = item.entry.date;
        const bool ahead = date >= m_context.clock->today();
        const bool shownAhead = shown.isValid() && shown >= m_context.clock->today();
        if (!shown.isValid() || (ahead && (!shownAhead || date < shown)) || (!ahead && !shownAhead && date > shown))
            shown = date;
    }
    if (shown.isValid())
        m_diary.showWeekOf(shown, Diary::Arrival::ChosenDay);
    m_context.messenger->tell(Interchange::summary(path, prepared.plan, counts), Title, Messenger::Icon::Information);
}

void CalendarFiles::chooseExport()
{
    const QString path =
        m_chooser->saveFileName(&m_window, QStringLiteral("Exportar"), QStringLiteral("agenda.ics"), Filter);
    if (path.isEmpty())
        return;
    int items = 0;
    const StoreResult done = Interchange(m_diary).exportTo(path, m_context.clock->now(), &items);
    if (!done) {
        m_context.messenger->tell(
            QStringLiteral("No se ha exportado a %1: %2.").arg(QFileInfo(path).fileName(), done.why()), Title,
            Messenger::Icon::Critical);
        return;
    }
    m_context.messenger->tell(QStringLiteral("Exportado %1: %2 elementos.").arg(QFileInfo(path).fileName()).arg(items),
                              Title, Messenger::Icon::Information);
}
