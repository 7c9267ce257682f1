// One block of the LZRW1/KH format: a chunk of at most 32 768 bytes compressed
// into a block, and a block decoded back. Blocks are independent: the hash
// table starts empty for each chunk and copies never reach into another block.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace stats {

constexpr unsigned char kBlockFlagCompressed = 0x40;
constexpr unsigned char kBlockFlagStored = 0x80;

// Positions of earlier three-byte groups, by hash; the compressor clears it
// for every chunk, so the caller only provides the memory.
constexpr std::size_t kLzrw1HashEntries = 4096;
using Lzrw1HashTable = std::array<std::uint16_t, kLzrw1HashEntries>;

// Replaces `block` with the block for `chunk` (at most kChunkSize bytes), flag
// byte included, without the length prefix. A chunk that does not shrink is
// stored as it is.
void compressLzrw1Chunk(std::string_view chunk, Lzrw1HashTable& table, std::string& block);

enum class BlockDecodeResult {
    Ok,
    // The block's items run past its end, or a copy reaches back before the
    // start of the block's output.
    Damaged,
    // The block would decode to more than kChunkSize bytes.
    TooLong,
};

// Replaces `chunk` with the decoded contents of `block` (flag byte included).
// On failure `chunk` holds whatever was decoded before the damage. Decoding
// block after block into the same string reuses its memory without clearing it.
BlockDecodeResult decodeLzrw1Block(std::string_view block, std::string& chunk);

} // namespace stats
