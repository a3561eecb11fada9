#pragma once

#include "data/Messenger.h"

class QWidget;

// Message boxes on the screen.
class QtMessenger final : public Messenger
{
public:
    Button ask(const QString &text, const QString &title, Icon icon, unsigned buttons) override;
    Button askWithDefault(const QString &text, const QString &title, Icon icon, unsigned buttons,
                          Button defaultButton) override;
};
