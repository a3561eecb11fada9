// Autostart: starting the program when the user logs in to the desktop.
#pragma once

#include <QString>

// The program's entry in the desktop session's autostart folder
// ($XDG_CONFIG_HOME/autostart/<desktop id>.desktop), which starts it when the user logs in.
class Autostart final
{
public:
    // An entry that starts the executable at that absolute path.
    explicit Autostart(const QString &executable);

    static QString entryFile();

    // Whether the session will start the program: the entry exists and does not turn itself off.
    bool isEnabled() const;
    // Writes or removes the entry. On failure returns false and leaves the reason in error().
    bool setEnabled(bool enabled);
    QString error() const { return m_error; }

    // The executable as the Exec key of a desktop entry wants it: quoted and escaped when needed.
    static QString execValue(const QString &executable);

private:
    QString m_executable;
    QString m_error;
};
