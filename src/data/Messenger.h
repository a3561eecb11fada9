#pragma once

#include <QString>

// The one way the program asks or tells the user something in a modal message box.
// The window layer implements it with real message boxes; tests answer and record it.
class Messenger
{
public:
    enum class Icon { None, Information, Question, Warning, Critical };
    enum Button : unsigned {
        NoButton = 0,
        Ok = 1u << 0,
        Cancel = 1u << 1,
        Yes = 1u << 2,
        No = 1u << 3,
    };

    virtual ~Messenger() = default;

    // Shows the box and returns the button that closed it.
    virtual Button ask(const QString &text, const QString &title, Icon icon, unsigned buttons) = 0;

    // As ask, with the button that Enter presses, for questions whose safe answer is not the
    // first button. Doubles that do not show a box may leave it to ask.
    virtual Button askWithDefault(const QString &text, const QString &title, Icon icon, unsigned buttons,
                                  Button defaultButton)
    {
        Q_UNUSED(defaultButton);
        return ask(text, title, icon, buttons);
    }

    void tell(const QString &text, const QString &title, Icon icon) { ask(text, title, icon, Ok); }
};
