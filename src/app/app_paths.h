// Where the program's files live. Nothing else computes these paths.
//
// Three layouts:
// - $LEXMIRE_HOME set (tests, two copies side by side): settings, tally, the
//   player's own tile sets and downloads all live there.
// - Installed: the program is <prefix>/bin/lexmire and its read-only data is in
//   <prefix>/share/lexmire (tile sets in <prefix>/share/lexmire/lexmiretiles).
//   It never writes beside itself: settings go to the per-user config folder,
//   the tally, own tile sets and downloads to the per-user data folder. Tile sets
//   are looked for in the shipped folder, then in the player's own.
// - Anything else (a build tree such as build/src/app, a portable copy): the
//   tile sets sit beside the program. Its files live there too, but only when
//   that folder and every folder above it is ours (or the system's) and nobody
//   else can write to them; otherwise another user could plant links there, and
//   the per-user folders are used instead.
#pragma once

#include <QString>
#include <QStringList>

#include <string>

class AppPaths {
public:
    // How the program's folder may be used.
    enum class ProgramFolder {
        Installed, // a "bin" folder beside "../share/lexmire": read-only data, never written
        Private, // ours alone: our files may live in it
        Shared, // another user could write to it or to a folder above it: never written
    };
    // Decided from the folder's name and its state on disk, so that a layout can
    // be checked without installing anything.
    static ProgramFolder classify(const QString& programFolder);

    // The dictionary's record file, in a private per-user runtime folder
    // (mode 0700) so that no other user can plant or read it and a file of the
    // same name in the working folder is never touched. Throws
    // std::runtime_error when no private folder can be had.
    static std::string dictionaryFile();

    // The folder of the player's own files: $LEXMIRE_HOME when set, else the
    // program's folder when it is Private, else empty (the per-user folders).
    static QString homeFolder();
    static QString homeFolder(const QString& programFolder);

    // The read-only data shipped with the program: <prefix>/share/lexmire when
    // installed, else the program's folder.
    static QString dataFolder();
    static QString dataFolder(const QString& programFolder);

    // "brellowlobby.ini": in the home folder, else the per-user config folder.
    static QString settingsFile();
    static QString settingsFile(const QString& programFolder);
    // "lexmire2tally.tld": in the home folder, else the per-user data folder.
    static QString tallyFile();
    static QString tallyFile(const QString& programFolder);
    // Folders searched for tile sets: "lexmiretiles" in the data folder, then
    // in the home folder or the per-user data folder.
    static QStringList tileFolders();
    static QStringList tileFolders(const QString& programFolder);
    // Where a downloaded installer is written.
    static QString downloadFolder();
    static QString downloadFolder(const QString& programFolder);

    // The private runtime folder itself: $XDG_RUNTIME_DIR/lexmire, or, when the
    // session has no runtime folder, one under the user's own cache folder
    // ($XDG_CACHE_HOME or ~/.cache: lexmire/runtime-<host>), never a shared
    // place such as /tmp where another user could take the name first.
    static std::string runtimeFolder();
};
