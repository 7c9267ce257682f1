// The downloaded installer on disk.
#include "installer_file.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Hidden, so that the folder's listing never shows a half-written installer,
// and independent of the installer's name, so that any valid name fits.
const char* const kTemporaryPattern = "/.lexmire-download-XXXXXX";

QByteArray nativePath(const QString& path) { return QFile::encodeName(path); }

bool sameFile(int a, int b)
{
    struct stat first { };
    struct stat second { };
    return ::fstat(a, &first) == 0 && ::fstat(b, &second) == 0 && first.st_dev == second.st_dev
        && first.st_ino == second.st_ino;
}

} // namespace

InstallerFile::~InstallerFile()
{
    if (!committed)
        discard();
    close();
}

bool InstallerFile::create(const QString& folder, const QString& name)
{
    // A committed installer of an earlier download stays until this one
    // replaces it; an unfinished one goes.
    if (!committed)
        discard();
    close();
    committed = false;
    written = 0;
    finalPath = folder + '/' + name;
    QByteArray pattern = nativePath(folder) + kTemporaryPattern;
    // mkostemp creates with O_CREAT | O_EXCL and mode 0600: a fresh file that
    // nobody else holds open, and no link at the name can redirect it.
    fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    temporaryPath = QFile::decodeName(pattern);
    return true;
}

bool InstallerFile::write(const char* data, qint64 size)
{
    if (fd < 0 || committed)
        return false;
    while (size > 0) {
        const ssize_t done = ::write(fd, data, size_t(size));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        data += done;
        size -= done;
        written += done;
    }
    return true;
}

bool InstallerFile::commit()
{
    if (fd < 0 || committed)
        return false;
    // A full disk can surface only when the data is flushed; an installer cut
    // that way must not get the name.
    if (::fsync(fd) != 0)
        return false;
    // A program still open for writing cannot be started (ETXTBSY): the
    // written descriptor gives way to a read-only one on the same file,
    // which keeps telling whether the name still holds it.
    const int reading = ::open(nativePath(temporaryPath).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (reading < 0)
        return false;
    if (!sameFile(fd, reading)) {
        ::close(reading);
        return false;
    }
    if (::rename(nativePath(temporaryPath).constData(), nativePath(finalPath).constData()) != 0) {
        ::close(reading);
        return false;
    }
    ::close(fd);
    fd = reading;
    committed = true;
    temporaryPath.clear();
    return true;
}

void InstallerFile::discard()
{
    if (committed) {
        // Only our own file goes: whatever someone put in its place stays.
        if (isInPlace())
            ::unlink(nativePath(finalPath).constData());
        committed = false;
    } else if (!temporaryPath.isEmpty()) {
        ::unlink(nativePath(temporaryPath).constData());
    }
    temporaryPath.clear();
    close();
}

bool InstallerFile::makeExecutable() { return fd >= 0 && committed && ::fchmod(fd, S_IRWXU) == 0; }

bool InstallerFile::isInPlace() const
{
    if (fd < 0 || !committed)
        return false;
    struct stat own { };
    struct stat named { };
    if (::fstat(fd, &own) != 0 || ::lstat(nativePath(finalPath).constData(), &named) != 0)
        return false;
    return S_ISREG(named.st_mode) && named.st_dev == own.st_dev && named.st_ino == own.st_ino;
}

void InstallerFile::close()
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}
