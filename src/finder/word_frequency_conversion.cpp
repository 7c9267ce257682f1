// A small reader for the word-count list and the class rule applied to it.
#include "word_frequency_conversion.h"

#include "dict_limits.h"
#include "finder_limits.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <stdexcept>

namespace {

// Nesting allowed inside an entry's unknown fields: the list has none, and a
// bound keeps a hostile file from exhausting the stack.
constexpr int kMaxSkippedDepth = 16;

class CountReader {
public:
    explicit CountReader(std::string_view text)
        : text_(text)
    {
    }

    std::unordered_map<std::string, std::uint64_t> read()
    {
        std::unordered_map<std::string, std::uint64_t> counts;
        expect('[');
        if (!take(']')) {
            do
                readEntry(counts);
            while (take(','));
            expect(']');
        }
        skipSpace();
        if (at_ != text_.size())
            fail("text after the list");
        return counts;
    }

private:
    void readEntry(std::unordered_map<std::string, std::uint64_t>& counts)
    {
        expect('{');
        std::string word;
        std::uint64_t count = 0;
        bool haveWord = false;
        bool haveCount = false;
        if (!take('}')) {
            do {
                const std::string key = readString();
                expect(':');
                if (key == "word") {
                    word = readString();
                    haveWord = true;
                } else if (key == "count") {
                    count = readCount();
                    haveCount = true;
                } else {
                    skipValue(0);
                }
            } while (take(','));
            expect('}');
        }
        if (!haveWord || !haveCount)
            fail("an entry without a word and a count");
        if (word.size() < kMinWordLetters || word.size() > kMaxWordLetters)
            return;
        for (char& c : word) {
            const int letter = letterIndexOf(c);
            if (letter < 0)
                return;
            c = static_cast<char>('a' + letter);
        }
        std::uint64_t& total = counts[word];
        total = count > std::numeric_limits<std::uint64_t>::max() - total
            ? std::numeric_limits<std::uint64_t>::max()
            : total + count;
    }

    // Escapes are decoded only as far as a word needs: anything outside ASCII
    // becomes a byte that is no letter, so the word is left out.
    std::string readString()
    {
        expect('"');
        std::string out;
        while (true) {
            if (at_ >= text_.size())
                fail("unterminated string");
            const char c = text_[at_++];
            if (c == '"')
                return out;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= text_.size())
                fail("unterminated string");
            const char escaped = text_[at_++];
            switch (escaped) {
            case 'u':
                if (text_.size() - at_ < 4)
                    fail("short \\u escape");
                at_ += 4;
                out += '?';
                break;
            case '"':
            case '\\':
            case '/':
                out += escaped;
                break;
            case 'b':
            case 'f':
            case 'n':
            case 'r':
            case 't':
                out += ' ';
                break;
            default:
                fail("unknown escape");
            }
        }
    }

    std::uint64_t readCount()
    {
        skipSpace();
        const std::size_t start = at_;
        std::uint64_t value = 0;
        while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
            const auto digit = static_cast<std::uint64_t>(text_[at_] - '0');
            if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
                fail("count too large");
            value = value * 10 + digit;
            ++at_;
        }
        if (at_ == start)
            fail("a count that is not a whole number");
        return value;
    }

    void skipValue(int depth)
    {
        if (depth > kMaxSkippedDepth)
            fail("nesting too deep");
        skipSpace();
        if (at_ >= text_.size())
            fail("missing value");
        const char c = text_[at_];
        if (c == '"') {
            readString();
        } else if (c == '[' || c == '{') {
            const char close = c == '[' ? ']' : '}';
            ++at_;
            if (take(close))
                return;
            do {
                if (close == '}') {
                    readString();
                    expect(':');
                }
                skipValue(depth + 1);
            } while (take(','));
            expect(close);
        } else {
            const std::size_t start = at_;
            while (at_ < text_.size()
                && std::string_view("+-.0123456789eEtruefalsn").find(text_[at_]) != std::string_view::npos)
                ++at_;
            if (at_ == start)
                fail("unexpected character");
        }
    }

    void skipSpace()
    {
        while (at_ < text_.size()
            && (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\r' || text_[at_] == '\t'))
            ++at_;
    }

    bool take(char c)
    {
        skipSpace();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    void expect(char c)
    {
        if (!take(c))
            fail(std::string("expected '") + c + "'");
    }

    [[noreturn]] void fail(const std::string& what) const
    {
        throw std::runtime_error("word counts: " + what + " at byte " + std::to_string(at_));
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

} // namespace

std::unordered_map<std::string, std::uint64_t> parseWordCounts(std::string_view json)
{
    return CountReader(json).read();
}

int frequencyClassForCount(std::uint64_t count)
{
    if (count == 0)
        return kUnknownFrequencyClass;
    // bit_width is 1 + floor(log2(count)) for any count above 0.
    return std::min(static_cast<int>(std::bit_width(count)), kTopFrequencyClass);
}

std::string frequencyTable(
    std::string_view records, const std::unordered_map<std::string, std::uint64_t>& counts)
{
    const std::size_t recordCount = records.size() / kRecordSize;
    std::string table(recordCount, static_cast<char>(kUnknownFrequencyClass));
    std::string word;
    for (std::size_t i = 0; i < recordCount; ++i) {
        const std::string_view field = records.substr(i * kRecordSize + 1, kWordFieldSize);
        word.assign(field.substr(0, field.find(' ')));
        for (char& c : word)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        const auto found = counts.find(word);
        if (found != counts.end())
            table[i] = static_cast<char>(frequencyClassForCount(found->second));
    }
    return table;
}
