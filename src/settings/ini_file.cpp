// IniFile on IniDocument, the safe reader and the atomic writer.
#include "ini_file.h"

#include "atomic_write.h"
#include "safe_read.h"
#include "stale_temporaries.h"
#include "text_codec.h"

#include <QFile>

#include <string>
#include <utility>
#include <vector>

namespace {

// Values go out in the wire's rule. Latin-1 bytes that happen to read as UTF-8
// ("Ã©" is C3 A9) would come back as other text; those few values are written as
// UTF-8, which reads back as written.
std::string encodeValue(const QString& value)
{
    const std::string bytes = wire::encodeText(value);
    if (wire::decodeText(bytes) == value)
        return bytes;
    return value.toUtf8().toStdString();
}

QString decodeValue(std::string_view bytes) { return wire::decodeText(bytes).left(IniFile::kMaxValueLength); }

std::string nameBytes(const QString& name) { return wire::encodeText(name); }

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

bool IniFile::readNow(IniDocument& into) const
{
    if (refused_)
        return false;
    const std::string path = QFile::encodeName(path_).toStdString();
    fileio::ReadResult result = fileio::readFile(path, settings::kMaxSettingsFileBytes);
    if (result.status == fileio::ReadStatus::Ok || result.status == fileio::ReadStatus::Missing) {
        into = IniDocument(std::move(result.bytes));
        return true;
    }
    refused_ = true;
    QString reason = QString::fromStdString(result.message);
    if (result.status == fileio::ReadStatus::TooLarge)
        reason += QString(" (over %1 MB)").arg(settings::kMaxSettingsFileBytes / (1024 * 1024));
    error_ = reason + ". The settings in it are not used, and the file is left as it is.";
    return false;
}

void IniFile::loadOnce() const
{
    if (loaded_)
        return;
    loaded_ = true;
    fileio::removeStaleTemporaries(QFile::encodeName(path_).toStdString());
    IniDocument document;
    if (readNow(document))
        document_ = std::move(document);
}

bool IniFile::load()
{
    loadOnce();
    return !refused_;
}

QString IniFile::read(const QString& section, const QString& key, const QString& fallback) const
{
    loadOnce();
    const std::optional<std::string_view> value = document_.value(nameBytes(section), nameBytes(key));
    return value ? decodeValue(*value) : fallback.left(kMaxValueLength);
}

IniFile::Entries IniFile::entries(const QString& section) const
{
    loadOnce();
    Entries out;
    for (const auto& [key, value] : document_.entries(nameBytes(section)))
        out.append({ wire::decodeText(key), decodeValue(value) });
    return out;
}

bool IniFile::write(const QString& section, const QString& key, const QString& value)
{
    return writeAll(section, { { key, value } });
}

bool IniFile::writeAll(const QString& section, const Entries& entries)
{
    IniDocument document;
    if (!readNow(document))
        return false;
    const std::string before = document.bytes();
    std::vector<IniDocument::Edit> edits;
    for (const auto& [key, value] : entries)
        edits.emplace_back(nameBytes(key), encodeValue(oneLine(value)));
    if (!document.setValues(nameBytes(section), edits)) {
        error_ = QString("Unable to write to %1: a setting's name cannot be stored").arg(path_);
        return false;
    }
    if (document.bytes() != before) {
        const std::string failure
            = fileio::tryWriteFileAtomically(QFile::encodeName(path_).toStdString(), document.bytes());
        if (!failure.empty()) {
            error_ = QString::fromLocal8Bit(failure.data(), qsizetype(failure.size()));
            return false;
        }
    }
    error_.clear();
    document_ = std::move(document);
    loaded_ = true;
    return true;
}
