// IniFile: one settings file shared with other programs, read once and written
// back key by key the way private-profile files behave. Section and key names
// match without regard to case; a write changes only the lines of the keys it
// sets, so every other byte of the file stays as it was; the new file replaces
// the old one atomically. Values are text in the wire's rule: Latin-1 when every
// character fits, else UTF-8, and read back by the same rule.
#pragma once

#include "ini_document.h"
#include "settings_limits.h"

#include <QList>
#include <QPair>
#include <QString>

class IniFile {
public:
    static constexpr int kMaxValueLength = settings::kMaxValueLength;

    using Entries = QList<QPair<QString, QString>>;

    explicit IniFile(QString path);

    const QString& path() const { return path_; }

    // Reads the file, once: later calls keep what was read. Temporary files that a
    // killed save left beside it are cleared away first. A missing file reads as
    // empty. False when the file is there but cannot be used (not a regular
    // file, larger than settings::kMaxSettingsFileBytes, unreadable): every key
    // then reads as its fallback and this object never writes the file, so
    // nothing in it is lost. errorText() tells why.
    bool load();
    bool refused() const { return refused_; }
    // Why the file was refused or the last write failed; empty otherwise.
    const QString& errorText() const { return error_; }

    // The key's value, or `fallback` when the section or key is missing or the
    // file was refused. The file is read on the first call only. Blanks around
    // stored values are not kept.
    QString read(const QString& section, const QString& key, const QString& fallback) const;

    // Every key of the section with its value, in file order.
    Entries entries(const QString& section) const;

    // Sets one key, in the line where it stands (keeping its spelling) or, when
    // new, after the section's last key; a missing section is added at the end.
    // The file is read again first so that changes other programs made since
    // stay. Line breaks in a value become spaces: a value is one line. False, with
    // the file untouched, when it cannot be done; errorText() tells why.
    bool write(const QString& section, const QString& key, const QString& value);

    // Like write, for several keys of one section, as a single replacement.
    bool writeAll(const QString& section, const Entries& entries);

private:
    void loadOnce() const;
    // Reads the file as it is now; false (and refused) when it cannot be used.
    bool readNow(IniDocument& into) const;

    QString path_;
    mutable IniDocument document_;
    mutable bool loaded_ = false;
    mutable bool refused_ = false;
    mutable QString error_;
};
