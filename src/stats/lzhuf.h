// LZHUF: LZSS over a 4 096-byte window whose symbols (literal bytes and match
// lengths) are coded with an adaptive Huffman tree and whose match positions
// use a fixed code for their upper six bits. Only the code stream lives here;
// the container around it (identifier and size) belongs to the compressor.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace stats {

// The code stream for `text`: bits most significant first, the last byte padded
// with zero bits. Empty text gives an empty stream. The stream carries no
// length, so the decoder must be told the text's size.
std::string lzhufEncode(std::string_view text);

// Receives decoded bytes in pieces of at most 32 KiB, in order. It may throw
// to stop decoding; the exception passes through unchanged.
using ByteSink = std::function<void(std::string_view bytes)>;

// Decodes exactly `size` bytes from `stream` into `sink`. Returns false when
// the stream ends before `size` bytes were produced, or when a match would
// carry the output past `size`: either means the stream and the size disagree.
// Bytes handed to the sink before such a failure stay handed.
bool lzhufDecode(std::string_view stream, std::uint32_t size, const ByteSink& sink);

} // namespace stats
