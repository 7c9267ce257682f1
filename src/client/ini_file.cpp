// IniFile on SimpleIni: the file is parsed whole, edited in memory and written back whole.
#include "ini_file.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

// Debian ships SimpleIni with its implementation behind this switch. Text is kept as the
// file's UTF-8 bytes, so no character conversion is needed.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <string>
#include <utility>

namespace {

// Loads the file into `ini`. A missing file is an empty one; a file that exists but
// cannot be read or parsed is a failure, so that a write never replaces what it could
// not see.
bool load(const QString& path, CSimpleIniA& ini)
{
    ini.SetUnicode(true); // drops a UTF-8 byte-order mark on reading
    ini.SetSpaces(false);
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    return ini.LoadData(data.constData(), size_t(data.size())) >= 0;
}

QString oneLine(QString value)
{
    value.replace(QLatin1String("\r\n"), QLatin1String(" "));
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return value;
}

} // namespace

IniFile::IniFile(QString path)
    : path_(std::move(path))
{
}

QString IniFile::read(const QString& section, const QString& key, const QString& fallback) const
{
    CSimpleIniA ini;
    if (!load(path_, ini))
        return fallback.left(kMaxValueLength);
    const char* value = ini.GetValue(section.toUtf8().constData(), key.toUtf8().constData(), nullptr);
    if (!value)
        return fallback.left(kMaxValueLength);
    // Decoded so that a value beginning with U+FEFF keeps it: only the file's
    // own byte-order mark is dropped, by the parser.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return QString(utf8(QByteArrayView(value))).left(kMaxValueLength);
}

bool IniFile::write(const QString& section, const QString& key, const QString& value)
{
    return writeAll(section, { { key, value } });
}

bool IniFile::writeAll(const QString& section, const Entries& entries)
{
    CSimpleIniA ini;
    if (!load(path_, ini))
        return false;
    const QByteArray sectionName = section.toUtf8();
    for (const auto& [key, value] : entries) {
        if (ini.SetValue(
                sectionName.constData(), key.toUtf8().constData(), oneLine(value).toUtf8().constData())
            < 0)
            return false;
    }
    std::string text;
    if (ini.Save(text) < 0)
        return false;

    // QSaveFile writes beside the target and renames over it on commit; it refuses
    // rather than writing in place when the folder does not allow that.
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(text.data(), qint64(text.size())) != qint64(text.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
