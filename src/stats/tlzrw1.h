// Tlzrw1: the compressor behind the tally file. Container: a four-byte method
// identifier ("WRZL" for LZRW1/KH, "!HZL" for LZHUF), the uncompressed size
// (32 bits, little-endian), then the method's data. The tally is written in
// the fast LZRW1/KH form; both forms are read.
//
// Failures raise ELzrw1Error with the component's fixed texts. Damage is
// reported in two ways: a stream whose structure is broken (the file ends
// early, a block is longer than a block can be, an item runs past its block,
// a copy reaches back before its block's start) reads as "Error reading from
// input file"; a stream that is well formed but yields a different amount of
// data than its header says (a block yielding more than 32 768 bytes, blocks
// yielding too little or too much in total, an LZHUF stream ending early) reads
// as "Original and compressed sizes do not match".
#pragma once

#include "lzhuf.h"
#include "stats_limits.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

class ELzrw1Error : public std::runtime_error {
public:
    explicit ELzrw1Error(const std::string& message)
        : std::runtime_error(message)
    {
    }
};

enum class CompressionMode {
    // LZHUF ("!HZL"): smaller, slower both ways.
    Good,
    // LZRW1/KH ("WRZL"): the tally's form.
    Fast,
    // LZRW1/KH when it saves at least Threshold percent of the input; otherwise
    // both are made and the smaller kept (LZRW1/KH on a tie, as it reads faster).
    Auto,
};

class Tlzrw1 {
public:
    std::string InputFile;
    std::string OutputFile;
    CompressionMode CompressMode = CompressionMode::Fast;
    // Percent of the input that Auto expects LZRW1/KH to save before it settles
    // for it; taken as 0 below 0 and 100 above 100.
    int Threshold = 40;

    // InputFile into OutputFile; return the number of bytes written. The output
    // is written under a temporary name in its folder and renamed into place,
    // so on any failure the previous OutputFile is left as it was and no
    // partial file remains.
    std::int64_t Compress();
    std::int64_t Decompress();

    // The same without an intermediate text file: `text` compressed into
    // OutputFile, and InputFile decompressed into memory (at most
    // stats::kMaxInMemoryText bytes).
    std::int64_t compressText(std::string_view text) const;
    std::string decompressText() const;
};

namespace stats {

constexpr std::string_view kLzrw1Identifier = "WRZL";
constexpr std::string_view kLzhufIdentifier = "!HZL";

// True for the two method identifiers (the first four bytes of a container).
bool isContainerIdentifier(std::string_view identifier);

// Whole containers in memory. `inputName` only fills in the error texts.
std::string compressLzrw1(std::string_view text, std::string_view inputName = {});
std::string compressLzhuf(std::string_view text, std::string_view inputName = {});
std::string compressContainer(
    std::string_view text, CompressionMode mode, int threshold = 40, std::string_view inputName = {});

// Decodes a container of either form into `sink` and returns the size
// produced, which equals the header's size. The output is checked as it grows
// and never buffered whole.
std::uint32_t decompressContainerTo(
    std::string_view file, const ByteSink& sink, std::string_view inputName = {});

// The same into memory; a container that decodes to more than maxSize bytes
// fails with the "Failed to get memory" text.
std::string decompressContainer(
    std::string_view file, std::string_view inputName = {}, std::size_t maxSize = kMaxInMemoryText);

} // namespace stats
