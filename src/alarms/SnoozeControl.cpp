#include "SnoozeControl.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

SnoozeControl::SnoozeControl(QWidget *parent)
    : QWidget(parent)
{
    snoozeButton = new QPushButton(QStringLiteral("Posponer"), this);
    snoozeButton->setObjectName(QStringLiteral("snoozeButton"));
    snoozeButton->setAccessibleName(QStringLiteral("Posponer"));

    snoozeMinutes = new QLabel(this);
    snoozeMinutes->setObjectName(QStringLiteral("snoozeMinutes"));
    snoozeMinutes->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    snoozeMinutes->setMinimumWidth(snoozeMinutes->fontMetrics().horizontalAdvance(QStringLiteral("999")) + 2);

    // Held negated, as the repetition's bar: the bar's top end is its minimum, and the number
    // grows towards the top.
    snoozeScroll = new QScrollBar(Qt::Vertical, this);
    snoozeScroll->setObjectName(QStringLiteral("snoozeScroll"));
    snoozeScroll->setAccessibleName(QStringLiteral("minutos"));
    snoozeScroll->setRange(-MaxMinutes, -MinMinutes);
    snoozeScroll->setSingleStep(1);
    snoozeScroll->setPageStep(1);
    snoozeScroll->setFixedSize(17, 34);
    snoozeMinutes->setBuddy(snoozeScroll);
    connect(snoozeScroll, &QScrollBar::valueChanged, this,
            [this](int value) { snoozeMinutes->setText(QString::number(-value)); });
    setMinutes(DefaultMinutes);
    snoozeMinutes->setText(QString::number(DefaultMinutes));

    auto *unit = new QLabel(QStringLiteral("minutos"), this);
    unit->setObjectName(QStringLiteral("snoozeUnit"));

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(snoozeButton);
    row->addWidget(snoozeMinutes);
    row->addWidget(snoozeScroll);
    row->addWidget(unit);
    row->addStretch();

    connect(snoozeButton, &QPushButton::clicked, this, [this] { emit snoozeWanted(minutes()); });
}

int SnoozeControl::minutes() const
{
    return -snoozeScroll->value();
}

void SnoozeControl::setMinutes(int minutes)
{
    snoozeScroll->setValue(-minutes);
}
