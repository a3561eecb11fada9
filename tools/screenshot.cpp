// Renders the main window with a small sample diary to a PNG, so the book can be looked at
// without a display: quillomar_screenshot OUT.png [WIDTHxHEIGHT] [SECTION 0-4] [SCALE]
#include "agenda/WeekView.h"
#include "data/AppContext.h"
#include "data/Clock.h"
#include "data/DateText.h"
#include "data/Messenger.h"
#include "data/SoundPlayer.h"
#include "data/store/RecordCursor.h"
#include "mainwindow/Application.h"
#include "mainwindow/Form1.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>

namespace {

class FixedClock final : public Clock
{
public:
    QDateTime now() const override { return QDateTime(QDate(2024, 3, 27), QTime(10, 0)); }
};

class SilentMessenger final : public Messenger
{
public:
    Button ask(const QString &, const QString &, Icon, unsigned) override { return Ok; }
};

class SilentPlayer final : public SoundPlayer
{
public:
    void play(const QString &) override {}
};

void add(RecordCursor &notas, const QDate &day, const char *time, const char *text, const char *note = nullptr,
         const char *alarm = nullptr)
{
    notas.AddNew();
    notas.SetField(QStringLiteral("fecha"), DateText::fromDate(day));
    notas.SetField(QStringLiteral("hora"), QString::fromLatin1(time));
    notas.SetField(QStringLiteral("texto"), QString::fromUtf8(text));
    if (note)
        notas.SetField(QStringLiteral("nota"), QString::fromUtf8(note));
    if (alarm)
        notas.SetField(QStringLiteral("horaalarma"), QString::fromLatin1(alarm));
    notas.Update();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLocale::setDefault(DateText::spanishLocale());
    const QStringList args = QApplication::arguments();
    const QString out = args.value(1, QStringLiteral("quillomar.png"));
    const QStringList size = args.value(2, QStringLiteral("1100x720")).split(u'x');
    const int section = args.value(3, QStringLiteral("4")).toInt();

    QTemporaryDir folder;
    FixedClock clock;
    SilentMessenger messenger;
    SilentPlayer player;
    AppContext context;
    context.paths = AppPaths::forProgramFolder(folder.path());
    context.paths.lockFile = QDir(folder.path()).filePath(QStringLiteral("lock"));
    context.clock = &clock;
    context.messenger = &messenger;
    context.sound = &player;

    Application program(context);
    program.Form_Load();
    Form1 &window = program.mainWindow();
    const QDate monday(2024, 3, 25);
    add(window.diary().Data1, monday, "09:30", "Reunión de equipo");
    add(window.diary().Data1, monday, "13:00", "Comida con Lucía", "Restaurante del puerto");
    add(window.diary().Data1, monday.addDays(1), "08:15", "Dentista", nullptr, "08:00");
    add(window.diary().Data1, monday.addDays(2), "10:00", "Llamar al banco");
    add(window.diary().Data1, monday.addDays(2), "17:30", "Clase de guitarra", "Repasar la escala", "17:00");
    add(window.diary().Data1, monday.addDays(2), "19:00", "Comprar pan");
    add(window.diary().Data1, monday.addDays(3), "11:00", "Entregar el informe trimestral a la dirección");
    add(window.diary().Data1, monday.addDays(5), "12:00", "Mercado");
    window.diary().Data2.AddNew();
    window.diary().Data2.SetField(QStringLiteral("fecha"), DateText::fromDate(monday.addDays(3)));
    window.diary().Data2.SetField(QStringLiteral("texto"), QStringLiteral("Jueves Santo"));
    window.diary().Data2.SetField(QStringLiteral("esfestivo"), true);
    window.diary().Data2.Update();

    window.resize(size.value(0).toInt(), size.value(1).toInt());
    window.show();
    window.Form_Activate();
    if (section != 4)
        window.Image7_Click(section);
    for (int round = 0; round < 5; ++round)
        QApplication::processEvents();
    const QPixmap shot = window.grab();
    if (!shot.save(out)) {
        qWarning("No se pudo escribir %s (%dx%d)", qPrintable(out), shot.width(), shot.height());
        return 1;
    }
    return 0;
}
