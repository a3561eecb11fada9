#include "AlarmLine.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AlarmLine::AlarmLine(const QString &text, const QString &when, QWidget *parent)
    : QWidget(parent)
{
    alarmText = new QLabel(text, this);
    alarmText->setObjectName(QStringLiteral("alarmText"));
    alarmText->setTextFormat(Qt::PlainText);
    alarmText->setWordWrap(true);
    alarmText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    alarmText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = alarmText->font();
    bold.setBold(true);
    alarmText->setFont(bold);

    const QString alarm = QStringLiteral("la alarma de las %1, %2").arg(when, text);
    auto addButton = [this, &alarm](const char *name, const QString &caption, const QString &spoken,
                                    void (AlarmLine::*wanted)()) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setAccessibleName(spoken + alarm);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, wanted);
        auto *action = new QAction(caption, this);
        connect(action, &QAction::triggered, this, wanted);
        addAction(action);
        return button;
    };
    dismissButton =
        addButton("lineDismiss", QStringLiteral("Quitar"), QStringLiteral("Quitar "), &AlarmLine::dismissWanted);
    snoozeButton =
        addButton("lineSnooze", QStringLiteral("Posponer"), QStringLiteral("Posponer "), &AlarmLine::snoozeWanted);
    openButton = addButton("lineOpen", QStringLiteral("Abrir"), QStringLiteral("Abrir "), &AlarmLine::openWanted);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch();
    for (QPushButton *button : {dismissButton, snoozeButton, openButton})
        buttons->addWidget(button);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->setSpacing(2);
    layout->addWidget(alarmText);
    layout->addLayout(buttons);
}
