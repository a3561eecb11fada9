#include "BackupWindow.h"

#include "data/AppContext.h"
#include "data/DateText.h"
#include "data/Diary.h"
#include "data/Messenger.h"
#include "data/store/Database.h"
#include "widgets/Theme.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString Attention = QStringLiteral("Atención");

QString countsText(const AgendaBackups::Counts &counts)
{
    // A damaged agenda, the one a restore is most often for, is not shown as an empty one.
    if (!counts.valid)
        return QStringLiteral("no se puede leer entera");
    return QStringLiteral("%1 entradas, %2 tareas y %3 fichas").arg(counts.entries).arg(counts.tasks).arg(counts.cards);
}

} // namespace

BackupWindow::BackupWindow(Diary &diary, AppContext &context, QWidget *parent)
    : QDialog(parent)
    , m_diary(diary)
    , m_context(context)
    , m_backups(context, diary.databaseFile())
{
    setObjectName(QStringLiteral("BackupWindow"));
    setWindowTitle(QStringLiteral("Copias de seguridad"));
    setModal(true);
    QPalette paper = palette();
    paper.setColor(QPalette::Window, Theme::Paper);
    paper.setColor(QPalette::WindowText, Theme::Ink);
    setPalette(paper);
    setAutoFillBackground(true);

    auto *title = new QLabel(QStringLiteral("Copias de seguridad de la agenda"), this);
    title->setObjectName(QStringLiteral("title"));
    title->setFont(Theme::serif(14, true));
    folderLabel = new QLabel(QDir::toNativeSeparators(m_backups.folder()), this);
    folderLabel->setObjectName(QStringLiteral("folderLabel"));
    folderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    copyList = new QTreeWidget(this);
    copyList->setObjectName(QStringLiteral("copyList"));
    copyList->setAccessibleName(QStringLiteral("Copias de seguridad de la agenda"));
    copyList->setHeaderLabels(
        {QStringLiteral("Copia"), QStringLiteral("Entradas"), QStringLiteral("Tareas"), QStringLiteral("Fichas")});
    copyList->setRootIsDecorated(false);
    copyList->setUniformRowHeights(true);
    copyList->setMinimumSize(460, 220);

    restoreButton = new QPushButton(QStringLiteral("Restaurar"), this);
    restoreButton->setObjectName(QStringLiteral("restoreButton"));
    closeButton = new QPushButton(QStringLiteral("Cerrar"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    connect(restoreButton, &QPushButton::clicked, this, &BackupWindow::Restaurar_Click);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(copyList, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *item) { restoreButton->setEnabled(item != nullptr); });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(restoreButton);
    buttons->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(folderLabel);
    layout->addWidget(copyList);
    layout->addLayout(buttons);

    listCopies();
}

BackupWindow::~BackupWindow()
{
    stopChecking();
}

QString BackupWindow::describe(const AgendaBackups::Copy &copy)
{
    if (copy.beforeRestore)
        return QStringLiteral("%1 %2 (antes de restaurar)")
            .arg(DateText::fromDate(copy.madeAt.date()), copy.madeAt.toString(QStringLiteral("HH:mm")));
    return QStringLiteral("%1, %2").arg(DateText::spanishLocale().dayName(copy.madeAt.date().dayOfWeek()),
                                        DateText::fromDate(copy.madeAt.date()));
}

void BackupWindow::listCopies()
{
    copyList->clear();
    m_copies = m_backups.copies();
    for (const AgendaBackups::Copy &copy : std::as_const(m_copies)) {
        const AgendaBackups::Counts counts = AgendaBackups::countsOf(copy.path);
        auto *item = new QTreeWidgetItem(copyList);
        item->setText(0, describe(copy));
        if (counts.valid) {
            item->setText(1, QString::number(counts.entries));
            item->setText(2, QString::number(counts.tasks));
            item->setText(3, QString::number(counts.cards));
        } else {
            item->setText(1, QStringLiteral("no se puede leer"));
        }
        for (int column = 1; column < 4; ++column)
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (m_copies.isEmpty())
        new QTreeWidgetItem(copyList, {QStringLiteral("Todavía no hay copias de seguridad.")});
    copyList->header()->resizeSections(QHeaderView::ResizeToContents);
    copyList->setCurrentItem(m_copies.isEmpty() ? nullptr : copyList->topLevelItem(0));
    restoreButton->setEnabled(!m_copies.isEmpty());
    checkCopies();
}

void BackupWindow::checkCopies()
{
    stopChecking();
    QStringList paths;
    for (const AgendaBackups::Copy &copy : std::as_const(m_copies))
        paths << copy.path;
    const int generation = ++m_generation;
    m_checker = QThread::create([this, paths, generation] {
        for (int row = 0; row < paths.size() && !m_stopChecking; ++row) {
            const QString why = Database::examine(paths[row]);
            QMetaObject::invokeMethod(
                this, [this, generation, row, why] { showChecked(generation, row, why); }, Qt::QueuedConnection);
        }
        QMetaObject::invokeMethod(
            this, [this, generation] { showChecked(generation, -1, {}); }, Qt::QueuedConnection);
    });
    m_checker->start(QThread::LowPriority);
}

void BackupWindow::stopChecking()
{
    if (!m_checker)
        return;
    m_stopChecking = true;
    m_checker->wait();
    delete m_checker;
    m_checker = nullptr;
    m_stopChecking = false;
}

void BackupWindow::showChecked(int generation, int row, const QString &why)
{
    if (generation != m_generation)
        return;
    if (row < 0) {
        emit copiesChecked();
        return;
    }
    QTreeWidgetItem *item = copyList->topLevelItem(row);
    if (why.isEmpty() || !item)
        return;
    item->setText(1, QStringLiteral("dañada"));
    item->setText(2, {});
    item->setText(3, {});
    for (int column = 0; column < 4; ++column)
        item->setToolTip(column, why);
}

void BackupWindow::Restaurar_Click()
{
    const int row = copyList->currentItem() ? copyList->indexOfTopLevelItem(copyList->currentItem()) : -1;
    if (row < 0 || row >= m_copies.size())
        return;
    const AgendaBackups::Copy copy = m_copies[row];
    Messenger &messenger = *m_context.messenger;

    if (const QString why = Database::examine(copy.path); !why.isEmpty()) {
        messenger.tell(
            QStringLiteral("La copia %1 no es una agenda válida y no se puede restaurar:\n%2.\n\nLa agenda no "
                           "ha cambiado.")
                .arg(describe(copy), why),
            Attention, Messenger::Icon::Critical);
        return;
    }
    if (messenger.ask(QStringLiteral("Se sustituirá toda la agenda actual (%1) por la copia %2 (%3).\n\nAntes se "
                                     "guardará una copia de la agenda actual (\"antes de restaurar\").\n\n¿Desea "
                                     "restaurar la copia?")
                          .arg(countsText(AgendaBackups::countsOf(m_diary.databaseFile())), describe(copy),
                               countsText(AgendaBackups::countsOf(copy.path))),
                      Attention, Messenger::Icon::Question, Messenger::Yes | Messenger::No) != Messenger::Yes)
        return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString error = m_backups.restore(copy.path, m_diary);
    QApplication::restoreOverrideCursor();
    if (!error.isEmpty()) {
        messenger.tell(QStringLiteral("No se ha podido restaurar la copia %1:\n%2.\n\nLa agenda no ha cambiado.")
                           .arg(describe(copy), error),
                       Attention, Messenger::Icon::Critical);
        listCopies();
        return;
    }
    accept();
}
