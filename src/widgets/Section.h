#pragma once

#include "widgets/SectionPanel.h"

#include <QString>

// One of the sections behind the book's index tabs (search, calendar, phone book, tasks). While it
// is open its title stands on the left page and its panel covers the right page; the main window
// places the panel and shows or hides it, the section lays out and runs everything on it.
//
// A section is made with the diary, the program's context and the main window as parent, and
// registered with the main window under its tab.
class Section : public SectionPanel
{
    Q_OBJECT

public:
    using SectionPanel::SectionPanel;

    // The caption of the title page while the section is open.
    virtual QString title() const = 0;
    // Places the section's controls inside the panel, which already has its size. Runs when the
    // section is opened and on every size change of the window while it is open.
    virtual void layoutSection() {}
    // The section has just been opened by its tab, after its layout.
    virtual void enter() {}
    // The main window has become the program's active window (first show, back from a dialog of
    // the program or from the desktop widget), whether the section is open or not.
    virtual void activated() {}
};
