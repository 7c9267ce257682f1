// Every limit the statistics file layer relies on, in one place: the block
// format's fixed sizes and the caps that keep a damaged tally file from making
// us hold more than a real tally could ever need.
#pragma once

#include <cstddef>
#include <cstdint>

namespace stats {

// The text is cut into chunks of this size; each chunk becomes one block, and
// a block that decodes to exactly this size announces that another follows.
constexpr std::size_t kChunkSize = 32768;

// A stored block is its flag byte and the whole chunk, and a compressed block
// is only kept when it is no longer than that, so no honest block is longer.
constexpr std::size_t kMaxBlockLength = kChunkSize + 1;

// The uncompressed size field is 32 bits wide, so nothing longer can be stored.
constexpr std::uint64_t kMaxContainerText = 0xFFFFFFFFu;

// Decoding into memory stops past this many bytes. A tally of 100 000 opponents
// is a few megabytes of text; a file that decodes to more is damaged or is not a
// tally, and a few kilobytes of run items could otherwise claim gigabytes.
constexpr std::size_t kMaxInMemoryText = 64u * 1024 * 1024;
// A file holding that much text compresses to far less, even stored or as
// LZHUF of random bytes, so a longer file is not read into memory at all.
constexpr std::size_t kMaxInMemoryContainer = 2 * kMaxInMemoryText;

// Grid shape accepted from a text form. The tally has 10 columns; the row cap
// is far beyond any real number of opponents.
constexpr int kMaxGridColumns = 64;
constexpr int kMaxGridRows = 100000;
// Every cell is a string of its own, so the product is capped too: a text of
// empty lines would otherwise cost about 32 bytes of memory per input byte.
constexpr std::int64_t kMaxGridCells = 1000000;

} // namespace stats
