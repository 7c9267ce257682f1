// The settings file: whatever bytes it holds (edited by hand, cut short,
// another program's), reading any key never fails, writing one key reads back
// as written while every other key reads as before, and the write changes no
// byte outside the one line it edits (lines it adds aside).
#include "fuzz_check.h"
#include "fuzz_input.h"

#include "ini_file.h"
#include "system_calls.h"

#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <cstdlib>

namespace {

QTemporaryDir* folder = nullptr;

// Names as the program uses them: fixed ASCII words, with letter-case twins
// to try the case-blind matching.
const std::array<QString, 5> kSections = { "Settings", "settings", "Phrases", "Tile Sets", "x" };
const std::array<QString, 6> kKeys = { "Phrase1", "PHRASE1", "ChatColor", "Left", "a b", "k" };

// The value as it is stored: one line, without the blanks around it, which
// the reader does not keep either.
QString storedForm(const QString& value)
{
    QString line = value;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    qsizetype first = 0, last = line.size();
    while (first < last && blank(line[first]))
        ++first;
    while (last > first && blank(line[last - 1]))
        --last;
    return line.mid(first, last - first).left(IniFile::kMaxValueLength);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

using Snapshot = std::array<std::array<QString, kKeys.size()>, kSections.size()>;

Snapshot snapshot(const IniFile& ini)
{
    Snapshot values;
    for (std::size_t s = 0; s < kSections.size(); ++s)
        for (std::size_t k = 0; k < kKeys.size(); ++k) {
            values[s][k] = ini.read(kSections[s], kKeys[k], "\x01missing");
            FUZZ_CHECK(values[s][k].size() <= IniFile::kMaxValueLength);
        }
    return values;
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Flushing each save to disk proves nothing about the file's text and would
// hold the run to about a hundred inputs a second.
int noFlush(int) { return 0; }

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static fileio::SystemCalls calls = fileio::ScopedSystemCalls::real();
    calls.fsync = noFlush;
    static const fileio::ScopedSystemCalls forTheWholeRun(calls);
    folder = new QTemporaryDir();
    if (!folder->isValid())
        std::abort();
    return 0;
}

// Input: a section and key choice, the value's length (two bytes), the value
// (UTF-8; a NUL is taken as a blank, as no value the program writes holds
// one), then the file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const std::size_t s = input.byte() % kSections.size();
    const std::size_t k = input.byte() % kKeys.size();
    const std::size_t valueLength = std::size_t { input.byte() } << 8 | input.byte();
    const std::string_view valueBytes = input.bytes(valueLength);
    QString value = QString::fromUtf8(valueBytes.data(), qsizetype(valueBytes.size()));
    value.replace(QChar(u'\0'), QChar(u' '));
    const std::string_view fileBytes = input.all();

    const QString path = folder->filePath("settings.ini");
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(fileBytes.data(), qint64(fileBytes.size())) == qint64(fileBytes.size()));
    }
    IniFile ini(path);
    const Snapshot before = snapshot(ini);

    const QByteArray original(fileBytes.data(), qsizetype(fileBytes.size()));
    if (!ini.write(kSections[s], kKeys[k], value)) {
        // A refused write leaves the file as it was.
        FUZZ_CHECK(readAll(path) == original);
        return 0;
    }
    // Whatever differs lies within one line of the old file: the common front
    // and back of the two versions leave no line break in between.
    const QByteArray written = readAll(path);
    qsizetype front = 0;
    while (front < original.size() && front < written.size() && original[front] == written[front])
        ++front;
    qsizetype back = 0;
    while (back < original.size() - front && back < written.size() - front
        && original[original.size() - 1 - back] == written[written.size() - 1 - back])
        ++back;
    const QByteArray replaced = original.mid(front, original.size() - front - back);
    FUZZ_CHECK(!replaced.contains('\n') && !replaced.contains('\r'));

    // What was written reads back the same from disk as from the object that wrote it.
    FUZZ_CHECK(snapshot(IniFile(path)) == snapshot(ini));
    const Snapshot after = snapshot(ini);
    for (std::size_t t = 0; t < kSections.size(); ++t)
        for (std::size_t j = 0; j < kKeys.size(); ++j) {
            if (sameName(kSections[t], kSections[s]) && sameName(kKeys[j], kKeys[k]))
                FUZZ_CHECK(after[t][j] == storedForm(value));
            else
                FUZZ_CHECK(after[t][j] == before[t][j]);
        }
    return 0;
}
