// IniDocument: a line scanner shared by reading and editing, so both always
// agree on which line holds a key.
#include "ini_document.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return asciiLower(x) == asciiLower(y);
    });
}

std::string lowered(std::string_view name)
{
    std::string out(name);
    std::transform(out.begin(), out.end(), out.begin(), asciiLower);
    return out;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// One line: [begin, end) is its text, [end, next) its line end (LF, CRLF, a lone
// CR, or nothing on a last line without one).
struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t next = 0;
};

// Where the next `c` at or after `from` is, or the text's end. The answer is
// kept and reused until the scan passes it, so each byte is searched once per
// kind of line end: files with only CR or only LF line ends stay linear.
class NextOf {
public:
    NextOf(std::string_view text, char c)
        : text_(text)
        , c_(c)
    {
    }
    std::size_t from(std::size_t at)
    {
        if (!found_ || cached_ < at) {
            const void* hit
                = at < text_.size() ? std::memchr(text_.data() + at, c_, text_.size() - at) : nullptr;
            cached_ = hit ? std::size_t(static_cast<const char*>(hit) - text_.data()) : text_.size();
            found_ = true;
        }
        return cached_;
    }

private:
    std::string_view text_;
    char c_;
    std::size_t cached_ = 0;
    bool found_ = false;
};

template <typename Visit> void forEachLine(std::string_view text, Visit&& visit)
{
    NextOf lineFeed(text, '\n');
    NextOf carriageReturn(text, '\r');
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t end = std::min(lineFeed.from(begin), carriageReturn.from(begin));
        std::size_t next = end;
        if (next < text.size())
            next += text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n' ? 2 : 1;
        if (!visit(Line { begin, end, next }))
            return;
        begin = next;
    }
}

enum class Kind { Other, Section, Key };

struct Parsed {
    Kind kind = Kind::Other;
    std::string_view name;
    std::string_view value;
    std::size_t valueBegin = 0; // where the value starts in the whole text
};

// Blank lines, comments (";" or "#"), unclosed headers and lines without "="
// or without a key carry no setting. Every search stays inside the line, so a
// file of unclosed headers is read in one pass.
Parsed parse(std::string_view text, const Line& line)
{
    std::size_t at = line.begin;
    if (at == 0 && text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        at = kByteOrderMark.size();
    while (at < line.end && isBlank(text[at]))
        ++at;
    const std::string_view rest = text.substr(at, line.end - std::min(at, line.end));
    if (rest.empty() || rest.front() == ';' || rest.front() == '#')
        return {};
    if (rest.front() == '[') {
        const std::size_t close = rest.find(']');
        if (close == std::string_view::npos)
            return {};
        return { Kind::Section, trimmed(rest.substr(1, close - 1)), {}, 0 };
    }
    const std::size_t equals = rest.find('=');
    if (equals == std::string_view::npos)
        return {};
    const std::string_view key = trimmed(rest.substr(0, equals));
    if (key.empty())
        return {};
    std::size_t valueBegin = at + equals + 1;
    while (valueBegin < line.end && isBlank(text[valueBegin]))
        ++valueBegin;
    return { Kind::Key, key, trimmed(text.substr(valueBegin, line.end - valueBegin)), valueBegin };
}

bool isBlankLine(std::string_view text, const Line& line)
{
    std::string_view content = text.substr(line.begin, line.end - line.begin);
    if (line.begin == 0 && content.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        content.remove_prefix(kByteOrderMark.size());
    return trimmed(content).empty();
}

std::string oneLine(std::string value)
{
    std::replace_if(
        value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; }, ' ');
    return value;
}

bool hasLineBreakOrNul(std::string_view name)
{
    return name.find_first_of(std::string_view("\r\n\0", 3)) != name.npos;
}

} // namespace

bool IniDocument::isWritableSection(std::string_view name)
{
    return !name.empty() && trimmed(name) == name && !hasLineBreakOrNul(name) && name.find(']') == name.npos;
}

bool IniDocument::isWritableKey(std::string_view name)
{
    return !name.empty() && trimmed(name) == name && !hasLineBreakOrNul(name) && name.find('=') == name.npos
        && name.front() != '[' && name.front() != ';' && name.front() != '#';
}

std::optional<std::string_view> IniDocument::value(std::string_view section, std::string_view key) const
{
    std::optional<std::string_view> found;
    // Keys before the first header belong to the nameless section.
    bool inSection = section.empty();
    forEachLine(text_, [&](const Line& line) {
        const Parsed parsed = parse(text_, line);
        if (parsed.kind == Kind::Section)
            inSection = sameName(parsed.name, section);
        else if (parsed.kind == Kind::Key && inSection && sameName(parsed.name, key))
            found = parsed.value;
        return !found;
    });
    return found;
}

std::vector<IniDocument::Entry> IniDocument::entries(std::string_view section) const
{
    std::vector<Entry> out;
    std::unordered_set<std::string> seen;
    bool inSection = section.empty();
    forEachLine(text_, [&](const Line& line) {
        const Parsed parsed = parse(text_, line);
        if (parsed.kind == Kind::Section)
            inSection = sameName(parsed.name, section);
        else if (parsed.kind == Kind::Key && inSection && seen.insert(lowered(parsed.name)).second)
            out.emplace_back(parsed.name, parsed.value);
        return true;
    });
    return out;
}

bool IniDocument::setValues(std::string_view section, const std::vector<Edit>& edits)
{
    if (!isWritableSection(section))
        return false;
    // One value per key, the last one given.
    std::vector<Edit> wanted;
    for (const Edit& edit : edits) {
        if (!isWritableKey(edit.first))
            return false;
        const auto same = std::find_if(wanted.begin(), wanted.end(),
            [&](const Edit& given) { return sameName(given.first, edit.first); });
        if (same != wanted.end())
            same->second = oneLine(edit.second);
        else
            wanted.emplace_back(edit.first, oneLine(edit.second));
    }

    struct Splice {
        std::size_t begin;
        std::size_t end;
        std::string text;
    };
    std::vector<Splice> splices;
    std::vector<bool> found(wanted.size(), false);
    std::string lineBreak; // the file's own, for any line added
    bool inSection = false;
    bool inFirstBlock = false;
    bool sawBlock = false;
    Line insertAfter; // the first block's header or last key
    Line last;
    forEachLine(text_, [&](const Line& line) {
        if (lineBreak.empty() && line.next > line.end)
            lineBreak = text_.substr(line.end, line.next - line.end);
        last = line;
        const Parsed parsed = parse(text_, line);
        if (parsed.kind == Kind::Section) {
            inSection = sameName(parsed.name, section);
            inFirstBlock = inSection && !sawBlock;
            sawBlock = sawBlock || inSection;
            if (inFirstBlock)
                insertAfter = line;
            return true;
        }
        if (parsed.kind != Kind::Key || !inSection)
            return true;
        if (inFirstBlock)
            insertAfter = line;
        for (std::size_t i = 0; i < wanted.size(); ++i) {
            if (found[i] || !sameName(parsed.name, wanted[i].first))
                continue;
            found[i] = true;
            if (parsed.value != wanted[i].second)
                splices.push_back({ parsed.valueBegin, line.end, wanted[i].second });
            break;
        }
        return true;
    });
    if (lineBreak.empty())
        lineBreak = "\n";

    std::string added;
    for (std::size_t i = 0; i < wanted.size(); ++i)
        if (!found[i])
            added += wanted[i].first + "=" + wanted[i].second + lineBreak;
    if (!added.empty()) {
        // A last line without a line end gets one before anything follows it.
        if (sawBlock) {
            const bool ended = insertAfter.next > insertAfter.end;
            splices.push_back({ insertAfter.next, insertAfter.next, (ended ? "" : lineBreak) + added });
        } else {
            std::string tail;
            if (!text_.empty()) {
                if (last.next == last.end)
                    tail += lineBreak;
                if (!isBlankLine(text_, last))
                    tail += lineBreak;
            }
            tail += "[" + std::string(section) + "]" + lineBreak + added;
            splices.push_back({ text_.size(), text_.size(), std::move(tail) });
        }
    }
    if (splices.empty())
        return true;

    // Replacements were found in file order; an insertion at the same place as
    // the end of a replaced value was added later and must follow it.
    std::stable_sort(
        splices.begin(), splices.end(), [](const Splice& a, const Splice& b) { return a.begin < b.begin; });
    std::string out;
    std::size_t size = text_.size();
    for (const Splice& splice : splices)
        size += splice.text.size();
    out.reserve(size);
    std::size_t at = 0;
    for (const Splice& splice : splices) {
        out.append(text_, at, splice.begin - at);
        out += splice.text;
        at = splice.end;
    }
    out.append(text_, at, std::string::npos);
    text_ = std::move(out);
    return true;
}
