// Build-time tool: turns the list of word counts into the frequency table that
// is embedded beside the word list, one class byte per record.
//
//   make_wordfreq <word list record file> <word counts .json> <output table>
#include "dict_limits.h"
#include "word_frequency_conversion.h"

#include "write_aside.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

int fail(const std::string& message)
{
    std::cerr << "make_wordfreq: " << message << '\n';
    return 1;
}

bool readWhole(const std::string& path, std::string& out)
{
    std::ifstream input(path, std::ios::binary);
    if (!input)
        return false;
    std::ostringstream text;
    text << input.rdbuf();
    out = text.str();
    return !input.bad();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return fail("usage: make_wordfreq <records> <counts.json> <output>");
    const std::string recordsPath = argv[1];
    const std::string countsPath = argv[2];
    const std::string outputPath = argv[3];

    std::string records;
    if (!readWhole(recordsPath, records))
        return fail("cannot read " + recordsPath + ": " + std::strerror(errno));
    if (records.empty() || records.size() % kRecordSize != 0)
        return fail(recordsPath + " is not a record file");
    std::string json;
    if (!readWhole(countsPath, json))
        return fail("cannot read " + countsPath + ": " + std::strerror(errno));

    std::string table;
    std::size_t known = 0;
    try {
        const auto counts = parseWordCounts(json);
        table = frequencyTable(records, counts);
        for (char c : table)
            known += c != 0;
    } catch (const std::runtime_error& error) {
        return fail(countsPath + ": " + error.what());
    }

    if (const std::string failure = writeAside(outputPath, table); !failure.empty())
        return fail(failure);
    std::cout << "make_wordfreq: " << table.size() << " words, " << known << " with a known frequency\n";
    return 0;
}
