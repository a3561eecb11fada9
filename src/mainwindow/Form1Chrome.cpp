// The main window's chrome and sections: the section switch behind the tabs, maximising and
// restoring, hiding behind the desktop widget, and the one-second timer.
#include "Form1.h"

#include "BookCover.h"
#include "TabStrip.h"
#include "agenda/WeekView.h"
#include "calendar/MonthCalendar.h"
#include "phonebook/PhoneBook.h"
#include "search/TextSearch.h"
#include "tasks/TaskList.h"
#include "widgets/ImageButton.h"
#include "widgets/PictureBox.h"
#include "widgets/ResizeGrip.h"
#include "widgets/Section.h"
#include "widgets/SectionPanel.h"
#include "widgets/Theme.h"
#include "widgets/WindowPlacement.h"

#include <QLabel>

namespace {

// The section behind each tab: its title page's caption and picture, and its panel's name.
struct SectionNames
{
    const char *title;
    const char *marker;
    const char *markerName;
    const char *panelName;
};

const SectionNames Sections[4] = {
    {"Buscador", "marker-search", "ImageBuscador", "PictureBuscador"},
    {"Calendario", "marker-calendar", "ImageCalendario", "PictureCalendario"},
    {"Teléfonos", "marker-phones", "ImageTelefonos", "PictureTelefonos"},
    {"Tareas", "marker-tasks", "ImageTareas", "PictureTareas"},
};

} // namespace

void Form1::BuildChrome()
{
    const char *chromePictures[3] = {"chrome-close", "chrome-maximize", "chrome-restore"};
    const char *chromeTips[3] = {"Cerrar", "Maximizar", "Restaurar"};
    for (int k = 0; k < 3; ++k) {
        Image5[k] = new ImageButton(QString::fromLatin1(chromePictures[k]), QString::fromLatin1(chromeTips[k]), this);
        Image5[k]->setObjectName(QStringLiteral("Image5(%1)").arg(k));
        Image5[k]->installEventFilter(this);
        Image5[k]->resize(px(270), px(270));
        connect(Image5[k], &ImageButton::clicked, this, [this, k] { Image5_Click(k); });
    }
    Image6 = new PictureBox(QStringLiteral("chrome-hover"), this);
    Image6->setObjectName(QStringLiteral("Image6"));
    Image6->setAttribute(Qt::WA_TransparentForMouseEvents);
    Image6->resize(px(270), px(270));
    hideHoverMarker();

    // The ornament is part of the cover: the week buttons beside the pages lie over it.
    Image11 = new PictureBox(QStringLiteral("corner-ornament"), m_cover);
    Image11->setObjectName(QStringLiteral("Image11"));
    Image11->setAttribute(Qt::WA_TransparentForMouseEvents);
    Image11->stackUnder(m_week);
    Image11->resize(px(660), px(660));

    I2 = new ResizeGrip(QStringLiteral("resize-grip"), this);
    I2->setObjectName(QStringLiteral("I2"));
    I2->setAccessibleName(QStringLiteral("Cambiar tamaño"));
    I2->resize(px(240), px(240));
}

void Form1::BuildSections()
{
    // The section's title page covers the left page of the week.
    Picture1 = new SectionPanel(QStringLiteral("Picture1"), this);
    Picture1->setMouseTracking(true);
    Picture1->hide();
    Label2 = new QLabel(QStringLiteral("Buscador"), Picture1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setProperty("role", QStringLiteral("sectionTitle"));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setFont(Theme::serif(20, false, true));
    QPalette ink = Label2->palette();
    ink.setColor(QPalette::WindowText, Theme::Ink);
    Label2->setPalette(ink);
    for (int k = 0; k < 4; ++k) {
        Markers[k] = new PictureBox(QString::fromLatin1(Sections[k].marker), Picture1);
        Markers[k]->setObjectName(QString::fromLatin1(Sections[k].markerName));
        Markers[k]->hide();
    }

    // Each section behind a tab: one line here registers it. Its widgets are made when its tab is
    // first opened, so that the week is on the screen sooner.
    registerSection(0, [this] { return new TextSearch(m_diary, m_context, this); });
    registerSection(1, [this] { return new MonthCalendar(m_diary, m_context, this); });
    registerSection(2, [this] { return new PhoneBook(m_diary, m_context, this); });
    registerSection(3, [this] { return new TaskList(m_diary, m_context, this); });
}

void Form1::registerSection(int index, std::function<Section *()> make)
{
    m_makeSection[index] = std::move(make);
}

SectionPanel *Form1::panel(int index)
{
    if (m_panels[index])
        return m_panels[index];
    if (m_makeSection[index]) {
        Section *section = m_makeSection[index]();
        section->setObjectName(QString::fromLatin1(Sections[index].panelName));
        m_sections[index] = section;
        m_panels[index] = section;
    } else {
        m_panels[index] = new SectionPanel(QString::fromLatin1(Sections[index].panelName), this);
    }
    m_panels[index]->hide();
    return m_panels[index];
}

int Form1::openSection() const
{
    for (int k = 0; k < 4; ++k)
        if (!Markers[k]->isHidden())
            return k;
    return 4;
}

void Form1::Image7_Click(int index)
{
    if (index < 4 && !Markers[index]->isHidden())
        return;
    m_week->setWeekControlsShown(false);
    HideSectionPanels();
    for (PictureBox *marker : Markers)
        marker->hide();
    m_tabs->SelectTab(index);
    if (index < 4) {
        panel(index);
        Label2->setText(m_sections[index] ? m_sections[index]->title() : QString::fromUtf8(Sections[index].title));
        Picture1->show();
        Picture1->raise();
        LayoutSection(index);
        m_panels[index]->show();
        m_panels[index]->raise();
        if (m_sections[index])
            m_sections[index]->enter();
    } else {
        Picture1->hide();
        m_week->setWeekControlsShown(true);
    }
    // The tabs stand out over the open page.
    m_tabs->raise();
}

void Form1::HideSectionPanels()
{
    for (SectionPanel *panel : m_panels)
        if (panel && !panel->isHidden())
            panel->hide();
}

void Form1::CloseSearch()
{
    Markers[0]->hide();
    HideSectionPanels();
    Picture1->hide();
    m_week->setWeekControlsShown(true);
}

void Form1::KeepOnScreen()
{
    WindowPlacement::keepOnScreen(*this);
}

void Form1::ToggleMaximized()
{
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void Form1::mouseDoubleClickEvent(QMouseEvent *)
{
    ToggleMaximized();
}

void Form1::hideHoverMarker()
{
    Image6->move(Image6->x(), px(-1000));
}

void Form1::Image5_Click(int index)
{
    hideHoverMarker();
    switch (index) {
    case 0:
        if (WindowPlacement::isNormal(*this))
            StoreMainSize();
        ShowWidget();
        break;
    case 1:
        showMaximized();
        break;
    default:
        showNormal();
        break;
    }
}

void Form1::Timer4_Timer()
{
    if (m_context.IdleCount > m_context.settings.Delay)
        m_context.IdleCount = 0;
    m_week->SweepDayTexts();
}
