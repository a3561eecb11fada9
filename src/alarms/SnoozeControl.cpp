#include "SnoozeControl.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>
#include <algorithm>

namespace {

QString choiceCaption(int minutes)
{
    if (minutes == SnoozeControl::Day)
        return QStringLiteral("1 día");
    if (minutes == 60)
        return QStringLiteral("1 hora");
    return QStringLiteral("%1 minutos").arg(minutes);
}

} // namespace

SnoozeControl::SnoozeControl(QWidget *parent)
    : QWidget(parent)
{
    snoozeButton = new QPushButton(QStringLiteral("Posponer"), this);
    snoozeButton->setObjectName(QStringLiteral("snoozeButton"));
    snoozeButton->setAccessibleName(QStringLiteral("Posponer todas las alarmas"));

    snoozeChoices = new QToolButton(this);
    snoozeChoices->setObjectName(QStringLiteral("snoozeChoices"));
    snoozeChoices->setArrowType(Qt::DownArrow);
    snoozeChoices->setPopupMode(QToolButton::InstantPopup);
    snoozeChoices->setFocusPolicy(Qt::StrongFocus);
    snoozeChoices->setAccessibleName(QStringLiteral("Posponer todas las alarmas por"));
    snoozeChoices->setToolTip(QStringLiteral("Posponer por"));
    auto *menu = new QMenu(snoozeChoices);
    for (const int choice : Choices)
        connect(menu->addAction(choiceCaption(choice)), &QAction::triggered, this, [this, choice] {
            setMinutes(choice);
            emit snoozeWanted(choice);
        });
    snoozeChoices->setMenu(menu);

    snoozeMinutes = new QLabel(this);
    snoozeMinutes->setObjectName(QStringLiteral("snoozeMinutes"));
    snoozeMinutes->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    snoozeMinutes->setMinimumWidth(snoozeMinutes->fontMetrics().horizontalAdvance(QStringLiteral("9999")) + 2);

    // Held negated, as the repetition's bar: the bar's top end is its minimum, and the number
    // grows towards the top.
    snoozeScroll = new QScrollBar(Qt::Vertical, this);
    snoozeScroll->setObjectName(QStringLiteral("snoozeScroll"));
    snoozeScroll->setAccessibleName(QStringLiteral("Minutos para posponer"));
    snoozeScroll->setRange(-MaxMinutes, -MinMinutes);
    snoozeScroll->setSingleStep(1);
    snoozeScroll->setPageStep(1);
    snoozeScroll->setFixedSize(17, 34);
    snoozeMinutes->setBuddy(snoozeScroll);
    connect(snoozeScroll, &QScrollBar::valueChanged, this, [this](int value) {
        m_minutes = -value;
        snoozeMinutes->setText(QString::number(m_minutes));
    });
    setMinutes(DefaultMinutes);

    auto *unit = new QLabel(QStringLiteral("minutos"), this);
    unit->setObjectName(QStringLiteral("snoozeUnit"));

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(snoozeButton);
    row->addWidget(snoozeChoices);
    row->addWidget(snoozeMinutes);
    row->addWidget(snoozeScroll);
    row->addWidget(unit);
    row->addStretch();

    connect(snoozeButton, &QPushButton::clicked, this, [this] { emit snoozeWanted(minutes()); });
}

void SnoozeControl::setMinutes(int minutes)
{
    m_minutes = std::clamp(minutes, int(MinMinutes), int(Day));
    const QSignalBlocker quiet(snoozeScroll);
    snoozeScroll->setValue(-std::min(m_minutes, int(MaxMinutes)));
    snoozeMinutes->setText(QString::number(m_minutes));
}
