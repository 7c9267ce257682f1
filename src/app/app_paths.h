// Where the program's files live. Nothing else computes these paths.
#pragma once

#include <QString>
#include <QStringList>

#include <string>

class AppPaths {
public:
    // The dictionary's record file, in a private per-user runtime folder
    // (mode 0700) so that no other user can plant or read it and a file of the
    // same name in the working folder is never touched. Throws
    // std::runtime_error when no private folder can be had.
    static std::string dictionaryFile();

    // The folder of the player's own files: $LEXMIRE_HOME when set (so two
    // copies can run side by side with their own files), else the program's
    // folder when it is writable (a portable install), else empty.
    static QString homeFolder();

    // "brellowlobby.ini": in the home folder, else the per-user config folder.
    static QString settingsFile();
    // "lexmire2tally.tld": in the home folder, else the per-user data folder.
    static QString tallyFile();
    // Folders searched for tile sets: "lexmiretiles" beside the program, then
    // in the home folder or the per-user data folder.
    static QStringList tileFolders();
    // Where a downloaded installer is written.
    static QString downloadFolder();

    // The private runtime folder itself: $XDG_RUNTIME_DIR/lexmire, or
    // <temp>/lexmire-<uid> when the session has no runtime folder.
    static std::string runtimeFolder();
};
