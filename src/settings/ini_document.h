// IniDocument: the bytes of a private-profile settings file, edited line by
// line. Only the lines of the keys that change are touched, so every other
// byte (other programs' sections, comments, odd lines, duplicates, spacing,
// CRLF or LF line ends, a byte-order mark) stays exactly as it was. Names are
// bytes; encodings are the caller's business.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class IniDocument {
public:
    using Entry = std::pair<std::string_view, std::string_view>;
    using Edit = std::pair<std::string, std::string>;

    IniDocument() = default;
    explicit IniDocument(std::string bytes)
        : text_(std::move(bytes))
    {
    }

    const std::string& bytes() const { return text_; }

    // The value of the key's first line in any block of the section, without the
    // blanks around it. Section and key names match without regard to ASCII case.
    std::optional<std::string_view> value(std::string_view section, std::string_view key) const;

    // Every key of the section with the value of its first line, in file order.
    // The views point into bytes() and last until the next edit.
    std::vector<Entry> entries(std::string_view section) const;

    // Sets keys of one section. A key that exists has the value on its first line
    // replaced where it stands (the line is untouched when the value is already
    // the same); missing keys go after the last key of the section's first block,
    // and a missing section is added at the end. Line breaks and NULs in a value
    // become spaces, so a value cannot add lines. False, with nothing changed,
    // when a name could not be read back as that section or key.
    bool setValues(std::string_view section, const std::vector<Edit>& edits);
    bool setValue(std::string_view section, std::string_view key, std::string_view value)
    {
        return setValues(section, { { std::string(key), std::string(value) } });
    }

    // Names that survive a round trip through the file.
    static bool isWritableSection(std::string_view name);
    static bool isWritableKey(std::string_view name);

private:
    std::string text_;
};
