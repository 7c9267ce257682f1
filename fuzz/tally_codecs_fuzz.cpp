// The tally file's decoders: any bytes, as a whole container or behind a
// header of either method, either decode to exactly the size the header
// names or fail with the codec's error; nothing is read outside the input,
// and whatever decodes comes back unchanged through both encoders.
#include "fuzz_check.h"
#include "fuzz_input.h"

#include "lzrw1kh.h"
#include "tlzrw1.h"

#include <cstring>
#include <string>

namespace {

// Far below the program's own cap, so one input cannot spend the engine's
// time filling memory; the check against the cap is the same code.
constexpr std::size_t kFuzzMaxText = 1u << 20;

std::string withHeader(std::string_view identifier, uint32_t size, std::string_view body)
{
    std::string file(identifier);
    for (int i = 0; i < 4; ++i)
        file.push_back(static_cast<char>(size >> (8 * i)));
    file.append(body);
    return file;
}

void checkRoundTrips(std::string_view text)
{
    FUZZ_CHECK(stats::decompressContainer(stats::compressLzrw1(text)) == text);
    FUZZ_CHECK(stats::decompressContainer(stats::compressLzhuf(text)) == text);
}

void decodeContainer(std::string_view file)
{
    std::string text;
    try {
        text = stats::decompressContainer(file, "fuzz", kFuzzMaxText);
    } catch (const ELzrw1Error&) {
        return;
    }
    // Decoded: the header named exactly this size and a known method.
    FUZZ_CHECK(file.size() >= 8 && stats::isContainerIdentifier(file.substr(0, 4)));
    uint32_t named = 0;
    for (int i = 3; i >= 0; --i)
        named = named << 8 | static_cast<unsigned char>(file[std::size_t(4 + i)]);
    FUZZ_CHECK(named == text.size());
    checkRoundTrips(text);
}

void decodeBlock(std::string_view block)
{
    std::string chunk = "left over from before";
    switch (stats::decodeLzrw1Block(block, chunk)) {
    case stats::BlockDecodeResult::Ok: {
        FUZZ_CHECK(chunk.size() <= stats::kChunkSize);
        // A chunk re-encodes into a block that decodes to the same chunk.
        stats::Lzrw1HashTable table {};
        std::string again;
        stats::compressLzrw1Chunk(chunk, table, again);
        FUZZ_CHECK(again.size() <= stats::kMaxBlockLength);
        std::string back;
        FUZZ_CHECK(stats::decodeLzrw1Block(again, back) == stats::BlockDecodeResult::Ok && back == chunk);
        break;
    }
    case stats::BlockDecodeResult::Damaged:
    case stats::BlockDecodeResult::TooLong:
        FUZZ_CHECK(chunk.size() <= stats::kChunkSize);
        break;
    }
}

} // namespace

// Input: a first byte choosing the form, then (for the headed forms) the size
// the header names, then the body.
//   0  the bytes are the whole container
//   1  "WRZL" header, then the bytes as LZRW1/KH blocks
//   2  "!HZL" header, then the bytes as an LZHUF stream
//   3  the bytes as one LZRW1/KH block
//   4  the bytes are text, encoded and decoded both ways
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    switch (input.byte() % 5) {
    case 0:
        decodeContainer(input.all());
        break;
    case 1:
    case 2: {
        const bool lzrw1 = data[0] % 5 == 1;
        // Sizes up to 16 MiB reach past the cap; most inputs name small ones.
        const uint32_t named = input.u32() % (16u << 20);
        decodeContainer(
            withHeader(lzrw1 ? stats::kLzrw1Identifier : stats::kLzhufIdentifier, named, input.all()));
        break;
    }
    case 3:
        decodeBlock(input.all());
        break;
    case 4:
        checkRoundTrips(input.all());
        break;
    }
    return 0;
}
