#include "SyncWindow.h"

#include "data/AppContext.h"
#include "data/DateText.h"
#include "data/Diary.h"
#include "data/Keyring.h"
#include "data/Messenger.h"
#include "data/sync/SyncRunner.h"
#include "widgets/Theme.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// A control with its visible text as its accessible name, and its objectName.
template <typename Control> Control *named(Control *control, const char *objectName, const QString &shown)
{
    control->setObjectName(QLatin1String(objectName));
    control->setAccessibleName(shown);
    return control;
}

QString collectionName(const QUrl &url)
{
    return url.adjusted(QUrl::StripTrailingSlash).fileName();
}

bool takes(const DavCollection &calendar, const QString &component)
{
    return calendar.components.isEmpty() || calendar.components.contains(component);
}

// Offers the collections in combo, the one chosen before selected; the first when none was.
void offer(QComboBox &combo, const QList<DavCollection> &collections, const QUrl &chosen)
{
    combo.clear();
    for (const DavCollection &collection : collections)
        combo.addItem(collection.name, collection.url);
    combo.setCurrentIndex(std::max(0, combo.findData(chosen)));
    combo.setEnabled(combo.count() > 0);
}

} // namespace

SyncWindow::SyncWindow(Diary &diary, AppContext &context, QWidget *parent)
    : QDialog(parent)
    , m_diary(diary)
    , m_context(context)
    , m_account(SyncAccount::load(context.paths))
{
    setObjectName(QStringLiteral("SyncWindow"));
    setWindowTitle(QStringLiteral("Sincronización"));
    setModal(true);
    QPalette paper = palette();
    paper.setColor(QPalette::Window, Theme::Paper);
    paper.setColor(QPalette::WindowText, Theme::Ink);
    setPalette(paper);
    setAutoFillBackground(true);

    auto *title = new QLabel(QStringLiteral("Sincronización con un servidor de calendarios"), this);
    title->setObjectName(QStringLiteral("title"));
    title->setFont(Theme::serif(14, true));

    const QString serverText = QStringLiteral("Dirección del servidor:");
    const QString userText = QStringLiteral("Usuario:");
    const QString passwordText = QStringLiteral("Contraseña:");
    serverEdit = named(new QLineEdit(m_account.server.toString(), this), "serverEdit", serverText);
    serverEdit->setPlaceholderText(QStringLiteral("https://nube.example.org/"));
    serverEdit->setMinimumWidth(320);
    userEdit = named(new QLineEdit(m_account.user, this), "userEdit", userText);
    passwordEdit = named(new QLineEdit(this), "passwordEdit", passwordText);
    passwordEdit->setEchoMode(QLineEdit::Password);
    passwordNote = named(new QLabel(this), "passwordNote", QString());
    passwordNote->setWordWrap(true);
    passwordNote->hide();

    const QString findText = QStringLiteral("Buscar calendarios");
    findButton = named(new QPushButton(findText, this), "findButton", findText);
    const QString calendarText = QStringLiteral("Calendario de la agenda:");
    const QString tasksText = QStringLiteral("Calendario de las tareas:");
    const QString addressBookText = QStringLiteral("Libreta de direcciones:");
    calendarCombo = named(new QComboBox(this), "calendarCombo", calendarText);
    tasksCombo = named(new QComboBox(this), "tasksCombo", tasksText);
    addressBookCombo = named(new QComboBox(this), "addressBookCombo", addressBookText);
    // Until the server is asked, the choice kept (or the server's own first one) is offered.
    const auto kept = [](QComboBox *combo, const QUrl &url) {
        combo->addItem(url.isEmpty() ? QStringLiteral("El primero del servidor") : collectionName(url), url);
    };
    kept(calendarCombo, m_account.calendar);
    kept(tasksCombo, m_account.tasks);
    kept(addressBookCombo, m_account.addressBook);

    const QString syncText = QStringLiteral("Sincronizar ahora");
    syncButton = named(new QPushButton(syncText, this), "syncButton", syncText);
    progressBar = named(new QProgressBar(this), "progressBar", QStringLiteral("Progreso"));
    progressBar->hide();
    statusLabel = named(new QLabel(this), "statusLabel", QString());
    statusLabel->setWordWrap(true);
    statusLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    const QString conflictsText = QStringLiteral("Conservados dos veces en la última sincronización:");
    auto *conflictsLabel = new QLabel(conflictsText, this);
    conflictList = named(new QListWidget(this), "conflictList", conflictsText);
    conflictList->setMaximumHeight(90);
    conflictsLabel->setBuddy(conflictList);
    const QString closeText = QStringLiteral("Cerrar");
    closeButton = named(new QPushButton(closeText, this), "closeButton", closeText);

    auto *form = new QFormLayout;
    form->addRow(serverText, serverEdit);
    form->addRow(userText, userEdit);
    form->addRow(passwordText, passwordEdit);
    form->addRow(passwordNote);
    form->addRow(QString(), findButton);
    form->addRow(calendarText, calendarCombo);
    form->addRow(tasksText, tasksCombo);
    form->addRow(addressBookText, addressBookCombo);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(syncButton);
    buttons->addWidget(progressBar, 1);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(form);
    layout->addWidget(statusLabel);
    layout->addWidget(conflictsLabel);
    layout->addWidget(conflictList);
    layout->addLayout(buttons);

    connect(findButton, &QPushButton::clicked, this, &SyncWindow::findCollections);
    connect(syncButton, &QPushButton::clicked, this, &SyncWindow::syncNow);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    if (SyncRunner *runner = m_context.sync) {
        connect(runner, &SyncRunner::discovered, this, &SyncWindow::showCollections);
        connect(runner, &SyncRunner::finished, this, &SyncWindow::showFinished);
        connect(runner, &SyncRunner::progress, this, [this](int done, int total) {
            setBusy(true);
            progressBar->setRange(0, std::max(total, 1));
            progressBar->setValue(done);
        });
        setBusy(runner->busy());
    } else {
        findButton->setEnabled(false);
        syncButton->setEnabled(false);
    }

    if (m_context.keyring) {
        connect(m_context.keyring, &Keyring::readDone, this, &SyncWindow::passwordRead);
        connect(m_context.keyring, &Keyring::writeDone, this,
                [this](const QString &, const QString &error) { keyringFailed(error); });
    } else {
        keyringFailed(QStringLiteral("el escritorio no tiene un depósito de contraseñas"));
    }
    if (SyncAccount::environmentHasPassword())
        passwordEdit->setText(SyncAccount::environmentPassword());
    else
        passwordEdit->setText(m_context.syncPassword);
    // Asked even when this run knows the password, so that a keyring that does not keep it is told.
    if (m_context.keyring && m_account.isSet() && !SyncAccount::environmentHasPassword())
        m_context.keyring->read(m_account.keyringKey());
    showLastSync();
}

QString SyncWindow::lastSyncText(const SyncAccount &account)
{
    if (!account.lastSync.isValid())
        return account.isSet() ? QStringLiteral("Todavía no se ha sincronizado.") : QString();
    return QStringLiteral("Última sincronización: %1 a las %2. %3")
        .arg(DateText::fromDate(account.lastSync.date()), account.lastSync.toString(QStringLiteral("HH:mm")),
             account.lastSummary);
}

void SyncWindow::showLastSync()
{
    statusLabel->setText(lastSyncText(m_account));
    statusLabel->setAccessibleName(statusLabel->text());
    conflictList->clear();
    conflictList->addItems(m_account.conflicts);
}

void SyncWindow::passwordRead(const QString &key, bool found, const QString &password, const QString &error)
{
    if (key != m_account.keyringKey())
        return;
    if (found && passwordEdit->text().isEmpty()) {
        passwordEdit->setText(password);
        m_context.syncPassword = password;
    }
    keyringFailed(error);
}

void SyncWindow::keyringFailed(const QString &error)
{
    if (error.isEmpty())
        return;
    passwordNote->setText(QStringLiteral("La contraseña no se recordará (%1): se usará solo hasta que cierre "
                                         "Quillomar.")
                              .arg(error));
    passwordNote->setAccessibleName(passwordNote->text());
    passwordNote->show();
    // The window grows by the lines of the note, whenever it comes.
    QTimer::singleShot(0, this, [this] { resize(width(), sizeHint().height()); });
}

void SyncWindow::setBusy(bool busy)
{
    findButton->setEnabled(!busy);
    syncButton->setEnabled(!busy);
    progressBar->setVisible(busy);
}

void SyncWindow::takeAccount()
{
    const QUrl server = QUrl::fromUserInput(serverEdit->text().trimmed());
    const QString user = userEdit->text().trimmed();
    if (server != m_account.server || user != m_account.user)
        m_account.fromEnvironment = false;
    m_account.server = server;
    m_account.user = user;
    m_account.calendar = calendarCombo->currentData().toUrl();
    m_account.tasks = tasksCombo->currentData().toUrl();
    m_account.addressBook = addressBookCombo->currentData().toUrl();
    const QString password = passwordEdit->text();
    if (password != m_context.syncPassword && !SyncAccount::environmentHasPassword()) {
        m_context.syncPassword = password;
        if (m_context.keyring)
            m_context.keyring->write(m_account.keyringKey(), password);
    }
}

SyncTarget SyncWindow::target() const
{
    return m_account.target(passwordEdit->text());
}

void SyncWindow::findCollections()
{
    takeAccount();
    if (!m_account.isSet()) {
        statusLabel->setText(QStringLiteral("Escriba la dirección del servidor."));
        return;
    }
    statusLabel->setText(QStringLiteral("Buscando calendarios en %1…").arg(m_account.server.host()));
    if (m_context.sync->discover(target())) {
        progressBar->setRange(0, 0);
        setBusy(true);
    }
}

void SyncWindow::showCollections(const DavAnswer &answer, const QList<DavCollection> &collections)
{
    setBusy(false);
    if (!answer) {
        statusLabel->setText(answer.message);
        return;
    }
    QList<DavCollection> calendars;
    QList<DavCollection> taskCalendars;
    QList<DavCollection> addressBooks;
    for (const DavCollection &collection : collections) {
        if (collection.addressBook)
            addressBooks << collection;
        else if (takes(collection, QStringLiteral("VEVENT")))
            calendars << collection;
        if (!collection.addressBook && takes(collection, QStringLiteral("VTODO")))
            taskCalendars << collection;
    }
    offer(*calendarCombo, calendars, m_account.calendar);
    offer(*tasksCombo, taskCalendars, m_account.tasks);
    offer(*addressBookCombo, addressBooks, m_account.addressBook);
    const auto count = [](qsizetype n, const char *one, const char *many) {
        return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? one : many));
    };
    statusLabel->setText(QStringLiteral("El servidor tiene %1 y %2.")
                             .arg(count(calendars.size(), "calendario", "calendarios"),
                                  count(addressBooks.size(), "libreta de direcciones", "libretas de direcciones")));
}

void SyncWindow::syncNow()
{
    takeAccount();
    if (!m_account.isSet()) {
        statusLabel->setText(QStringLiteral("Escriba la dirección del servidor."));
        return;
    }
    m_account.save(m_context.paths);
    // What the server brings could not be written: said now rather than item by item.
    if (const QString why = m_diary.readOnly(); !why.isEmpty()) {
        statusLabel->setText(QStringLiteral("La agenda no se puede modificar (%1): no se sincroniza.").arg(why));
        return;
    }
    statusLabel->setText(QStringLiteral("Sincronizando…"));
    m_ownPass = m_context.sync->sync(target(), m_allowDeletions);
    m_allowDeletions = false;
    if (m_ownPass) {
        progressBar->setRange(0, 0);
        setBusy(true);
    }
}

void SyncWindow::showFinished(const SyncReport &report)
{
    setBusy(false);
    const bool own = std::exchange(m_ownPass, false);
    m_account.record(report, true);
    // A pass of the sync's own turns keeps its outcome itself; the window only shows it.
    if (own)
        m_account.save(m_context.paths);
    showLastSync();
    if (own && report.heldDeletions > 0 &&
        m_context.messenger->askWithDefault(report.heldQuestion, QStringLiteral("Atención"), Messenger::Icon::Question,
                                            Messenger::Yes | Messenger::No, Messenger::No) == Messenger::Yes) {
        m_allowDeletions = true;
        syncNow();
    }
}
