// Where the program's files live.
#include "app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Makes dir (one level) with mode 0700, or accepts an existing one only when
// it is a real folder of ours (not a link) and makes it private again.
void ensurePrivateFolder(const std::string& dir)
{
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        throw std::runtime_error("Cannot create folder " + dir);
    struct stat info { };
    if (::lstat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        throw std::runtime_error("Folder is not private: " + dir);
    if ((info.st_mode & 077) != 0 && ::chmod(dir.c_str(), 0700) != 0)
        throw std::runtime_error("Folder is not private: " + dir);
}

// The host's name as a safe folder name part, so that a home folder shared by
// several machines gives each its own runtime folder (and lock).
QString hostPart()
{
    QString host;
    for (const QChar c : QSysInfo::machineHostName().left(64))
        if (c.isLetterOrNumber() && c.unicode() < 128)
            host += c;
        else if (c == u'-' || c == u'.' || c == u'_')
            host += c;
    return host.isEmpty() ? QStringLiteral("host") : host;
}

// True when nobody but us (and the system) can change what is at `path`: it
// is owned by us or root and nobody else may write to it. A folder others may
// write to counts as safe only with the sticky bit, which keeps them from
// renaming or removing what they do not own.
bool onlyOursToChange(const struct stat& info, bool isLeaf)
{
    if (info.st_uid != ::geteuid() && info.st_uid != 0)
        return false;
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) == 0)
        return true;
    return !isLeaf && (info.st_mode & S_ISVTX) != 0;
}

QString programFolder() { return QCoreApplication::applicationDirPath(); }

// A per-user folder of the given kind, created when missing.
QString userFolder(QStandardPaths::StandardLocation kind)
{
    const QString folder = QStandardPaths::writableLocation(kind) + "/lexmire";
    QDir().mkpath(folder);
    return folder;
}

QString installedDataFolder(const QString& programFolder)
{
    return QDir::cleanPath(programFolder + "/../share/lexmire");
}

} // namespace

AppPaths::ProgramFolder AppPaths::classify(const QString& folder)
{
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    if (QFileInfo(clean).fileName() == QLatin1String("bin") && QFileInfo(installedDataFolder(clean)).isDir())
        return ProgramFolder::Installed;

    // The folder itself must be ours alone; above it, a folder anyone may change
    // could have its entries swapped for ones of their own.
    const std::string leaf = QFile::encodeName(clean).toStdString();
    struct stat info { };
    if (::lstat(leaf.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()
        || !onlyOursToChange(info, true) || ::access(leaf.c_str(), W_OK) != 0)
        return ProgramFolder::Shared;
    for (QString above = QFileInfo(clean).path();; above = QFileInfo(above).path()) {
        struct stat parent { };
        if (::stat(QFile::encodeName(above).constData(), &parent) != 0 || !onlyOursToChange(parent, false))
            return ProgramFolder::Shared;
        if (above == QFileInfo(above).path()) // the root
            break;
    }
    return ProgramFolder::Private;
}

std::string AppPaths::runtimeFolder()
{
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    struct stat info { };
    if (xdg && *xdg && ::stat(xdg, &info) == 0 && S_ISDIR(info.st_mode)) {
        const std::string folder = std::string(xdg) + "/lexmire";
        ensurePrivateFolder(folder);
        return folder;
    }
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        throw std::runtime_error("No private folder: the user has no cache folder");
    const QString parent = cache + "/lexmire";
    if (!QDir().mkpath(parent))
        throw std::runtime_error("Cannot create folder " + QFile::encodeName(parent).toStdString());
    const std::string folder = QFile::encodeName(parent + "/runtime-" + hostPart()).toStdString();
    ensurePrivateFolder(folder);
    return folder;
}

std::string AppPaths::dictionaryFile() { return runtimeFolder() + "/English"; }

QString AppPaths::homeFolder() { return homeFolder(programFolder()); }

QString AppPaths::homeFolder(const QString& programFolder)
{
    const QString home = qEnvironmentVariable("LEXMIRE_HOME");
    if (!home.isEmpty()) {
        QDir().mkpath(home);
        return home;
    }
    return classify(programFolder) == ProgramFolder::Private ? programFolder : QString();
}

QString AppPaths::dataFolder() { return dataFolder(programFolder()); }

QString AppPaths::dataFolder(const QString& programFolder)
{
    return classify(programFolder) == ProgramFolder::Installed ? installedDataFolder(programFolder)
                                                               : programFolder;
}

QString AppPaths::settingsFile() { return settingsFile(programFolder()); }

QString AppPaths::settingsFile(const QString& programFolder)
{
    const QString home = homeFolder(programFolder);
    return (home.isEmpty() ? userFolder(QStandardPaths::AppConfigLocation) : home) + "/brellowlobby.ini";
}

QString AppPaths::tallyFile() { return tallyFile(programFolder()); }

QString AppPaths::tallyFile(const QString& programFolder)
{
    return downloadFolder(programFolder) + "/lexmire2tally.tld";
}

QStringList AppPaths::tileFolders() { return tileFolders(programFolder()); }

QStringList AppPaths::tileFolders(const QString& programFolder)
{
    QStringList folders { dataFolder(programFolder) + "/lexmiretiles" };
    const QString own = downloadFolder(programFolder) + "/lexmiretiles";
    if (!folders.contains(own))
        folders << own;
    return folders;
}

QString AppPaths::downloadFolder() { return downloadFolder(programFolder()); }

// The folder of everything the player's games write but the settings: the tally,
// own tile sets and downloads.
QString AppPaths::downloadFolder(const QString& programFolder)
{
    const QString home = homeFolder(programFolder);
    return home.isEmpty() ? userFolder(QStandardPaths::AppDataLocation) : home;
}
