#include "SettingsPanel.h"

#include "Autostart.h"
#include "ClockFace.h"
#include "data/AppContext.h"
#include "data/Messenger.h"
#include "widgets/ImageButton.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace {

constexpr int AlphaMin = 10, AlphaMax = 100;
constexpr int DelayMin = 5, DelayMax = 999;

} // namespace

SettingsPanel::SettingsPanel(AppContext &context, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("Picture1"));
    setMouseTracking(true);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(8, 5, 6, 5);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);

    Label5 = new QLabel(QStringLiteral("Configuración"), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setFont(ClockFace::faceFont(14, true));

    Image5[0] = new ImageButton(QStringLiteral("widget-close"), QStringLiteral("Cerrar"), this);
    Image5[0]->setObjectName(QStringLiteral("Image5(0)"));

    const auto makeSpinner = [this](int index, const QString &caption, const QString &textName, const QString &barName,
                                    int minimum, int maximum) {
        Label4[index] = new QLabel(caption, this);
        Label4[index]->setObjectName(QStringLiteral("Label4(%1)").arg(index));
        auto *text = new QLineEdit(this);
        text->setObjectName(textName);
        // The value is set with the spinner beside it; a typed number would change nothing.
        text->setReadOnly(true);
        text->setAlignment(Qt::AlignRight);
        text->setFixedWidth(38);
        text->setAccessibleName(caption);
        auto *bar = new QScrollBar(Qt::Vertical, this);
        bar->setObjectName(barName);
        bar->setRange(minimum, maximum);
        bar->setFixedSize(16, 22);
        bar->setFocusPolicy(Qt::StrongFocus);
        bar->setAccessibleName(caption);
        Label4[index]->setBuddy(bar);
        return std::pair(text, bar);
    };
    std::tie(txtalpha, VScroll1) = makeSpinner(0, QStringLiteral("Transparencia (%):"), QStringLiteral("txtalpha"),
                                               QStringLiteral("VScroll1"), AlphaMin, AlphaMax);
    std::tie(Text2, VScroll2) = makeSpinner(1, QStringLiteral("Demora Cierre (seg.):"), QStringLiteral("Text2"),
                                            QStringLiteral("VScroll2"), DelayMin, DelayMax);
    connect(VScroll1, &QScrollBar::valueChanged, this, &SettingsPanel::VScroll1_Change);
    connect(VScroll2, &QScrollBar::valueChanged, this, &SettingsPanel::VScroll2_Change);

    Check1 = new QCheckBox(QStringLiteral("Vibra si hay algo hoy"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setChecked(true);

    // Kept by the desktop session, in its autostart folder, rather than in the settings file.
    auto *autostartCheck = new QCheckBox(QStringLiteral("Iniciar Quillomar al entrar en el escritorio"), this);
    autostartCheck->setObjectName(QStringLiteral("autostartCheck"));
    autostartCheck->setChecked(Autostart(QCoreApplication::applicationFilePath()).isEnabled());
    connect(autostartCheck, &QCheckBox::toggled, this, [this, autostartCheck](bool on) {
        Autostart autostart(QCoreApplication::applicationFilePath());
        if (autostart.setEnabled(on))
            return;
        m_context.messenger->tell(autostart.error(), QStringLiteral("Quillomar"), Messenger::Icon::Critical);
        const QSignalBlocker block(autostartCheck);
        autostartCheck->setChecked(autostart.isEnabled());
    });

    Image2 = new ImageButton(QStringLiteral("widget-folder"), QStringLiteral("Cambiar Ruta Datos"), this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image3 = new ImageButton(QStringLiteral("widget-exit"), QStringLiteral("Salida del Programa"), this);
    Image3->setObjectName(QStringLiteral("Image3"));
    backupButton = new ImageButton(QStringLiteral("widget-backup"), QStringLiteral("Copias de seguridad…"), this);
    backupButton->setObjectName(QStringLiteral("backupButton"));
    syncButton = new ImageButton(QStringLiteral("widget-sync"), QStringLiteral("Sincronización…"), this);
    syncButton->setObjectName(QStringLiteral("syncButton"));
    for (ImageButton *button : {Image2, Image3, Image5[0], backupButton, syncButton})
        button->setFixedSize(22, 22);

    grid->addWidget(Label5, 0, 0, 1, 2);
    grid->addWidget(Image5[0], 0, 2, Qt::AlignRight);
    grid->addWidget(Label4[0], 1, 0);
    grid->addWidget(txtalpha, 1, 1);
    grid->addWidget(VScroll1, 1, 2);
    grid->addWidget(Label4[1], 2, 0);
    grid->addWidget(Text2, 2, 1);
    grid->addWidget(VScroll2, 2, 2);
    grid->addWidget(Check1, 3, 0, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(Image2);
    buttons->addWidget(backupButton);
    buttons->addWidget(syncButton);
    buttons->addWidget(Image3);
    buttons->addWidget(autostartCheck);
    buttons->addStretch();
    grid->addLayout(buttons, 4, 0, 1, 3);
    grid->setColumnStretch(0, 1);
}

void SettingsPanel::showSettings()
{
    setDelayControls();
    const int alpha = std::clamp<int>(m_context.settings.Alpha, AlphaMin, AlphaMax);
    {
        const QSignalBlocker block(VScroll1);
        VScroll1->setValue(alpha);
    }
    VScroll1_Change();
}

void SettingsPanel::setDelayControls()
{
    const int delay = std::clamp<int>(m_context.settings.Delay, DelayMin, DelayMax);
    {
        const QSignalBlocker block(VScroll2);
        VScroll2->setValue(delay);
    }
    VScroll2_Change();
}

void SettingsPanel::VScroll1_Change()
{
    txtalpha->setText(QString::number(VScroll1->value()));
    m_context.settings.Alpha = qint16(VScroll1->value());
    emit alphaChanged();
}

void SettingsPanel::VScroll2_Change()
{
    Text2->setText(QString::number(VScroll2->value()));
    m_context.settings.Delay = qint16(Text2->text().toInt());
}

void SettingsPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(107, 66, 38), 1.5));
    painter.setBrush(QColor(251, 246, 232));
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
}
