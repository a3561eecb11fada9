// SettingsPanel: the desktop clock's settings, on a slip of paper beside the card.
#pragma once

#include <QWidget>
#include <array>

class ImageButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QScrollBar;
struct AppContext;

// `Picture1` of the desktop clock: the transparency and the closing delay with their spinners,
// the shaking, starting with the desktop session, and the buttons for the data folder, the safety
// copies and leaving the program. The spinners keep `Alpha` and `Delay` in the settings; what the
// buttons do is the window's.
class SettingsPanel final : public QWidget
{
    Q_OBJECT

public:
    SettingsPanel(AppContext &context, QWidget *parent);

    // The spinners take `Alpha` and `Delay`; a setting a spinner cannot show is brought to its
    // nearest end, which is then kept.
    void showSettings();
    void setDelayControls();

    void VScroll1_Change();
    void VScroll2_Change();

    QLabel *Label5 = nullptr;
    std::array<QLabel *, 2> Label4{};
    QLineEdit *txtalpha = nullptr;
    QScrollBar *VScroll1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QScrollBar *VScroll2 = nullptr;
    QCheckBox *Check1 = nullptr;
    ImageButton *Image2 = nullptr; // "Cambiar Ruta Datos"
    ImageButton *Image3 = nullptr; // "Salida del Programa"
    std::array<ImageButton *, 1> Image5{}; // "Cerrar"
    ImageButton *backupButton = nullptr; // "Copias de seguridad…"
    ImageButton *syncButton = nullptr; // "Sincronización…"

signals:
    // The transparency was set: the window shows it.
    void alphaChanged();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    AppContext &m_context;
};
