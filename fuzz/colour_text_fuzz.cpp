// Colour text both ways: whatever a peer writes after the "|" of a chat line
// either reads as a 24-bit colour that writes back to the same colour, or is refused.
#include "fuzz_check.h"
#include "fuzz_input.h"

#include "colour_text.h"

#include <cctype>
#include <string>

namespace {

bool isUpperHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }
bool isHex(char c) { return isUpperHex(c) || (c >= 'a' && c <= 'f'); }

// What colourToText may write: one of the sixteen names, or "$" and eight
// upper-case hex digits for a colour that has no name.
void checkWritten(const std::string& text, uint32_t colour)
{
    if (text.size() == 9 && text[0] == '$') {
        for (std::size_t i = 1; i < text.size(); ++i)
            FUZZ_CHECK(isUpperHex(text[i]));
        FUZZ_CHECK(std::stoul(text.substr(1), nullptr, 16) == colour);
    } else {
        FUZZ_CHECK(text.size() >= 5 && text.size() <= 9 && text.rfind("cl", 0) == 0);
    }
    const auto back = wire::colourFromText(text);
    FUZZ_CHECK(back && *back == colour);
    // Written text never holds a byte that would cut a message or a chat line.
    FUZZ_CHECK(text.find_first_of("+|\xFF\r\n") == std::string::npos);
}

void checkRead(std::string_view text)
{
    const auto colour = wire::colourFromText(text);
    if (!colour)
        return;
    FUZZ_CHECK(*colour <= 0xFFFFFFu);
    // Accepted text is a name, "$" and one to eight hex digits, or decimal digits.
    if (!text.empty() && text[0] == '$') {
        FUZZ_CHECK(text.size() >= 2 && text.size() <= 9);
        for (std::size_t i = 1; i < text.size(); ++i)
            FUZZ_CHECK(isHex(text[i]));
    } else if (text.size() < 2
        || !((text[0] == 'c' || text[0] == 'C') && (text[1] == 'l' || text[1] == 'L'))) {
        FUZZ_CHECK(!text.empty());
        for (std::size_t i = 0; i < text.size(); ++i)
            FUZZ_CHECK((text[i] >= '0' && text[i] <= '9') || (i == 0 && text[i] == '-' && text.size() > 1));
    }
    const std::string written = wire::colourToText(*colour);
    checkWritten(written, *colour);
    // A name is read in any letter case and written back in its own.
    if (text.size() >= 2 && (text[0] == 'c' || text[0] == 'C')) {
        FUZZ_CHECK(written.size() == text.size());
        for (std::size_t i = 0; i < text.size(); ++i)
            FUZZ_CHECK(std::tolower(static_cast<unsigned char>(written[i]))
                == std::tolower(static_cast<unsigned char>(text[i])));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const std::string_view whole(reinterpret_cast<const char*>(data), size);
    checkRead(whole);

    // Every colour writes and reads back, named or not.
    const uint32_t colour = input.u32() & 0xFFFFFFu;
    checkWritten(wire::colourToText(colour), colour);

    // The colour part of a chat line: what follows its first "|".
    const std::size_t bar = whole.find('|');
    if (bar != std::string_view::npos)
        checkRead(whole.substr(bar + 1));
    return 0;
}
