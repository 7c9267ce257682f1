// Dictionary lookups: any query against a small record file answers exactly
// as a plain set of its words would, within the bound on records read; and a
// record file of any bytes is searched without reading outside it.
#include "fuzz_check.h"
#include "fuzz_fixtures.h"
#include "fuzz_input.h"

#include "dict_limits.h"
#include "tdictn.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

// Neighbours in sort order, prefixes of each other, the shortest and longest
// words the record field holds, and both ends of the alphabet.
const std::vector<std::string> kWords = {
    "AA",
    "AB",
    "ABA",
    "ABACK",
    "ACT",
    "AT",
    "ATE",
    "CA",
    "CAT",
    "CATS",
    "CATSUP",
    "EAST",
    "EAT",
    "EATS",
    "JAZZ",
    "QUIZ",
    "SEA",
    "SEAT",
    "TEA",
    "TEAS",
    "TEE",
    "ZA",
    "ZZZ",
    "ZYZZYVA",
    "QUIZZICALLY",
    "ABCDEFGHIJKL",
    "ABCDEFGHIJKLMN",
    "STRENGTHENS",
    "WORDSMITHERY",
    "X",
};

// What CheckWord promises: letter case, NULs and surrounding blanks aside, the
// query is one of the words.
bool expectedAnswer(std::string_view query)
{
    std::string word(query);
    std::replace(word.begin(), word.end(), '\0', ' ');
    const std::size_t first = word.find_first_not_of(' ');
    if (first == std::string::npos)
        return false;
    word = word.substr(first, word.find_last_not_of(' ') - first + 1);
    for (char& c : word)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    static const std::set<std::string> words(kWords.begin(), kWords.end());
    return words.count(word) > 0;
}

struct Fixture {
    FuzzFolder folder { "lexmire-dict-fuzz" };
    std::string records = recordsOf(kWords);
    TDictn dictionary { folder.path() + "/English", {}, records };
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

void checkQuery(TDictn& dictionary, std::string_view query)
{
    FUZZ_CHECK(dictionary.CheckWord(query) == expectedAnswer(query));
    // Bisection over 30 records reads at most five of them.
    FUZZ_CHECK(dictionary.lastRecordReads() <= 5);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    Fixture& f = fixture();
    FUZZ_CHECK(f.dictionary.isOpen());

    const uint8_t mode = input.byte();
    if ((mode & 0x0F) != 0x0F) {
        // Queries, one a line; then the whole input as one query.
        const std::string_view whole(reinterpret_cast<const char*>(data), size);
        while (!input.empty())
            checkQuery(f.dictionary, input.until('\n'));
        checkQuery(f.dictionary, whole);
        return 0;
    }

    // A record file of any bytes (as a damaged or planted file would be): the
    // lookup may answer anything, but stays within the file and its bound.
    const std::string_view records = input.until('\n');
    {
        TDictn damaged(f.folder.path() + "/Damaged", {}, records);
        FUZZ_CHECK(damaged.isOpen() || records.empty() || records.front() == '\0');
        while (!input.empty()) {
            damaged.CheckWord(input.until('\n'));
            FUZZ_CHECK(damaged.lastRecordReads() <= kMaxRecordReads);
        }
    }
    FUZZ_CHECK(!std::filesystem::exists(f.folder.path() + "/Damaged"));
    return 0;
}
