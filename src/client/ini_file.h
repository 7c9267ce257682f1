// IniFile: one settings file read and written key by key the way private-profile files
// behave: section and key names match without regard to case, other sections and keys
// stay where they are, and every write replaces the whole file atomically.
#pragma once

#include <QList>
#include <QPair>
#include <QString>

class IniFile {
public:
    // Values are read as at most this many characters; longer ones are cut.
    static constexpr int kMaxValueLength = 2047;

    using Entries = QList<QPair<QString, QString>>;

    explicit IniFile(QString path);

    const QString& path() const { return path_; }

    // The key's value, or `fallback` when the file, section or key is missing or the
    // file cannot be read. The file is read afresh on every call, so a change made by
    // anyone since is seen. Leading and trailing blanks of stored values are not kept.
    QString read(const QString& section, const QString& key, const QString& fallback) const;

    // Sets one key, adding the section and key at their ends when they are new. A key
    // already present in another letter case keeps its spelling and line. The file is
    // written under a temporary name in the same folder and renamed into place; false,
    // with the file on disk untouched, when that cannot be done. Line breaks in a value
    // become spaces: a value is one line.
    bool write(const QString& section, const QString& key, const QString& value);

    // Like write, for several keys of one section, as a single replacement of the file.
    bool writeAll(const QString& section, const Entries& entries);

private:
    QString path_;
};
