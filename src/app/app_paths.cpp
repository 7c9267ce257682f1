// Where the program's files live.
#include "app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Makes dir (one level) with mode 0700, or accepts an existing one only when
// it is a real folder of ours that nobody else can enter.
void ensurePrivateFolder(const std::string& dir)
{
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        throw std::runtime_error("Cannot create folder " + dir);
    struct stat info {};
    if (::lstat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        throw std::runtime_error("Folder is not private: " + dir);
    if ((info.st_mode & 077) != 0 && ::chmod(dir.c_str(), 0700) != 0)
        throw std::runtime_error("Folder is not private: " + dir);
}

} // namespace

std::string AppPaths::runtimeFolder()
{
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    struct stat info {};
    std::string folder;
    if (xdg && *xdg && ::stat(xdg, &info) == 0 && S_ISDIR(info.st_mode))
        folder = std::string(xdg) + "/lexmire";
    else
        folder = QDir::tempPath().toStdString() + "/lexmire-" + std::to_string(::getuid());
    ensurePrivateFolder(folder);
    return folder;
}

std::string AppPaths::dictionaryFile()
{
    return runtimeFolder() + "/English";
}

namespace {

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

// A per-user folder of the given kind, created when missing.
QString userFolder(QStandardPaths::StandardLocation kind)
{
    const QString folder = QStandardPaths::writableLocation(kind) + "/lexmire";
    QDir().mkpath(folder);
    return folder;
}

} // namespace

QString AppPaths::homeFolder()
{
    const QString home = qEnvironmentVariable("LEXMIRE_HOME");
    if (!home.isEmpty()) {
        QDir().mkpath(home);
        return home;
    }
    const QFileInfo program(programFolder());
    return program.isDir() && program.isWritable() ? programFolder() : QString();
}

QString AppPaths::settingsFile()
{
    const QString home = homeFolder();
    return (home.isEmpty() ? userFolder(QStandardPaths::AppConfigLocation) : home) + "/brellowlobby.ini";
}

QString AppPaths::tallyFile()
{
    const QString home = homeFolder();
    return (home.isEmpty() ? userFolder(QStandardPaths::AppDataLocation) : home) + "/lexmire2tally.tld";
}

QStringList AppPaths::tileFolders()
{
    QStringList folders { programFolder() + "/lexmiretiles" };
    const QString home = homeFolder();
    const QString own = (home.isEmpty() ? userFolder(QStandardPaths::AppDataLocation) : home) + "/lexmiretiles";
    if (!folders.contains(own))
        folders << own;
    return folders;
}

QString AppPaths::downloadFolder()
{
    const QString home = homeFolder();
    return home.isEmpty() ? userFolder(QStandardPaths::AppDataLocation) : home;
}
