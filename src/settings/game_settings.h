// GameSettings: the game's own settings (section "Lexmire" of the shared
// settings file), read once, held typed, and saved by writing only the keys
// whose value changed. No widgets: the window reads and sets values here.
#pragma once

#include "ini_file.h"
#include "settings_keys.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

class GameSettings {
public:
    explicit GameSettings(QString path);

    const QString& path() const { return ini_.path(); }

    // Reads the file (and clears away temporary files a killed save left beside
    // it); later calls change nothing. Values set before this are dropped: until
    // the file is read the program holds only defaults, which must not replace
    // what the player stored. Returns the text to show when the file is there but
    // cannot be used; the defaults then apply and the file is never written in
    // this run.
    QString load();
    bool isLoaded() const { return loaded_; }

    // Typed values; a missing key, or a number that does not read as one, gives
    // the default of the table.
    int number(settings::SettingKey key) const;
    QString text(settings::SettingKey key) const;
    bool isOn(settings::SettingKey key) const;
    uint32_t colour(settings::SettingKey key) const;

    void setNumber(settings::SettingKey key, int value);
    void setText(settings::SettingKey key, const QString& value);
    void setOn(settings::SettingKey key, bool on);
    void setColour(settings::SettingKey key, uint32_t value);

    // True when a value differs from what the file holds.
    bool hasChanges() const;

    // Writes the changed keys into the file as it is now, leaving every other
    // byte of it alone. Empty on success, when nothing changed, and before
    // load(); otherwise the text to show (the changes stay pending, so a later
    // save tries again).
    QString save();

    // The default of one setting in its stored form.
    QString defaultText(settings::SettingKey key) const;

private:
    static constexpr std::size_t kCount = std::size_t(settings::kSettingCount);
    using Values = std::array<std::optional<QString>, kCount>;

    IniFile ini_;
    Values stored_; // as in the file when last read or written
    Values current_;
    bool loaded_ = false;
};
