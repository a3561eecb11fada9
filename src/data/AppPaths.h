#pragma once

#include <QString>

// Where the program keeps its files. A portable copy, one folder the user can write to, keeps
// settings, agenda and sound beside the executable. An installed program (its sound in the
// prefix's share/quillomar) keeps settings and agenda in the user's own folders
// ($XDG_CONFIG_HOME/quillomar, $XDG_DATA_HOME/quillomar), whoever can write to its folder,
// unless an earlier version already keeps them beside it; so does a portable copy in a folder
// the user cannot write to.
struct AppPaths
{
    QString programFolder; // the folder of the executable
    QString soundFile; // tiempo.wav, the alarm sound
    QString settingsFile; // quillomar.cfg
    QString defaultDataFolder; // where quillomar.mdb lives unless the user chose another folder
    QString lockFile; // held while a copy of the program runs
    QString cacheFolder; // what the program can make again at will (the search index), never the agenda

    // The paths for a program in programFolder. Creates the user folders when they are used.
    static AppPaths forProgramFolder(const QString &programFolder);

    // The alarm sound of a program in programFolder: beside the executable (a portable copy), else
    // in ../share/quillomar (an installed one); the copy beside the executable when neither exists.
    static QString findSoundFile(const QString &programFolder);

    // DataFolder followed by the agenda's file name; an empty DataFolder means the default, and
    // a relative one is taken from the program's folder.
    QString databaseFile(const QString &dataFolder) const;
};

inline constexpr char16_t DatabaseFileName[] = u"quillomar.mdb";
