// Build-time tool: turns the plain English word list into the record file that
// is embedded in the program and searched on disk by TDictn.
//
//   make_wordlist <words.txt> <output record file>
#include "dict_limits.h"
#include "word_list_conversion.h"

#include "write_aside.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

int fail(const std::string& message)
{
    std::cerr << "make_wordlist: " << message << '\n';
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return fail("usage: make_wordlist <words.txt> <output>");
    const std::string inputPath = argv[1];
    const std::string outputPath = argv[2];

    std::ifstream input(inputPath, std::ios::binary);
    if (!input)
        return fail("cannot read " + inputPath + ": " + std::strerror(errno));
    std::ostringstream text;
    text << input.rdbuf();
    if (input.bad())
        return fail("cannot read " + inputPath);

    const std::string records = wordRecordsFromText(text.str());
    const auto count = static_cast<std::int64_t>(records.size() / kRecordSize);
    if (count == 0)
        return fail(inputPath + " holds no usable word");
    // The lookup's bound on disk reads depends on this; a bigger list needs a
    // deliberate change to that bound, not a silent slowdown.
    if (count > kMaxRecords)
        return fail(inputPath + " gives " + std::to_string(count) + " records, more than "
            + std::to_string(kMaxRecords));

    if (const std::string failure = writeAside(outputPath, records); !failure.empty())
        return fail(failure);
    std::cout << "make_wordlist: " << count << " records, " << records.size() << " bytes\n";
    return 0;
}
