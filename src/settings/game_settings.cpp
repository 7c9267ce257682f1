// GameSettings over IniFile and the key table.
#include "game_settings.h"

#include "settings_values.h"

using settings::SettingKey;
using settings::SettingKind;
using settings::specOf;

namespace {

std::size_t indexOf(SettingKey key) { return std::size_t(key); }

} // namespace

GameSettings::GameSettings(QString path)
    : ini_(std::move(path))
{
}

QString GameSettings::load()
{
    if (loaded_)
        return ini_.errorText();
    loaded_ = true;
    stored_ = {};
    if (ini_.load()) {
        // One pass over the section; the file's own spelling of a key matches
        // any letter case, as private-profile files do.
        for (const auto& [name, value] : ini_.entries(settings::kSection))
            for (const settings::SettingSpec& spec : settings::kSettings)
                if (name.compare(QLatin1String(spec.name), Qt::CaseInsensitive) == 0) {
                    auto& slot = stored_[indexOf(spec.key)];
                    if (!slot)
                        slot = value;
                }
    }
    current_ = stored_;
    return ini_.errorText();
}

QString GameSettings::defaultText(SettingKey key) const
{
    const settings::SettingSpec& spec = specOf(key);
    if (spec.defaultFrom)
        return text(*spec.defaultFrom);
    return QString::fromLatin1(spec.defaultText);
}

QString GameSettings::text(SettingKey key) const
{
    const std::optional<QString>& value = current_[indexOf(key)];
    return value ? *value : defaultText(key);
}

int GameSettings::number(SettingKey key) const
{
    if (const std::optional<int> value = settings::lenientInt(text(key)))
        return *value;
    return settings::lenientInt(defaultText(key)).value_or(0);
}

bool GameSettings::isOn(SettingKey key) const
{
    const settings::SettingSpec& spec = specOf(key);
    const QString value = text(key);
    if (spec.kind != SettingKind::Switch || !spec.onText || !spec.offText)
        return !value.isEmpty();
    if (spec.reading == settings::SwitchReading::AllButOffText)
        return value != QLatin1String(spec.offText);
    return value == QLatin1String(spec.onText);
}

uint32_t GameSettings::colour(SettingKey key) const { return settings::colourFromSettingsText(text(key)); }

void GameSettings::setText(SettingKey key, const QString& value) { current_[indexOf(key)] = value; }

void GameSettings::setNumber(SettingKey key, int value) { setText(key, QString::number(value)); }

void GameSettings::setOn(SettingKey key, bool on)
{
    const settings::SettingSpec& spec = specOf(key);
    if (spec.kind == SettingKind::Switch && spec.onText && spec.offText)
        setText(key, QLatin1String(on ? spec.onText : spec.offText));
}

void GameSettings::setColour(SettingKey key, uint32_t value)
{
    setText(key, settings::colourToSettingsText(value));
}

bool GameSettings::hasChanges() const { return loaded_ && current_ != stored_; }

QString GameSettings::save()
{
    if (!hasChanges())
        return {};
    IniFile::Entries changed;
    for (const settings::SettingSpec& spec : settings::kSettings) {
        const std::size_t i = indexOf(spec.key);
        if (current_[i] && current_[i] != stored_[i])
            changed.append({ QLatin1String(spec.name), *current_[i] });
    }
    if (!ini_.writeAll(settings::kSection, changed))
        return ini_.errorText();
    stored_ = current_;
    return {};
}
