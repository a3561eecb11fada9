// QtKeyring: the desktop's keyring (the Secret Service) through QtKeychain.
#pragma once

#include "data/Keyring.h"

// Keeps the sync password in the desktop's keyring under the program's name. Nothing is ever
// written to a file in its place: where no keyring answers, QtKeychain ends the job with an error
// at once and the caller is told so.
class QtKeyring final : public Keyring
{
    Q_OBJECT

public:
    using Keyring::Keyring;

    void read(const QString &account) override;
    void write(const QString &account, const QString &password) override;
    void remove(const QString &account) override;
};
