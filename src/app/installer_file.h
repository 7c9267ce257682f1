// The downloaded installer on disk: written under a fresh hidden name in its
// folder, put under its own name only when whole, and started only while that
// name still holds this very file.
#pragma once

#include <QString>
#include <QtGlobal>

class InstallerFile {
public:
    InstallerFile() = default;
    InstallerFile(const InstallerFile&) = delete;
    InstallerFile& operator=(const InstallerFile&) = delete;
    // An installer that was neither committed nor kept is removed.
    ~InstallerFile();

    // Opens a new, empty file in folder for the installer called name (a bare
    // file name). Nothing that already exists is opened or followed: a file
    // or link at the installer's name is left alone until commit replaces it.
    bool create(const QString& folder, const QString& name);
    // Writes every byte or fails; a failure leaves the file unfinished.
    bool write(const char* data, qint64 size);
    // Flushes the file to disk and renames it onto the installer's name,
    // replacing whatever held that name; a link there is replaced, never
    // followed.
    bool commit();
    // Removes the file: the temporary one, or the installer once committed if
    // its name still holds it. Safe to call at any time.
    void discard();

    // Gives this exact file, through its open descriptor, the execute bit for
    // its owner.
    bool makeExecutable();
    // Whether the installer's name holds this very file, as a plain file:
    // not a link, nor another file put in its place since it was written.
    bool isInPlace() const;

    bool isOpen() const { return fd >= 0; }
    qint64 size() const { return written; }
    // Where the installer is once committed.
    QString path() const { return finalPath; }

private:
    void close();

    int fd = -1;
    QString finalPath;
    QString temporaryPath;
    bool committed = false;
    qint64 written = 0;
};
