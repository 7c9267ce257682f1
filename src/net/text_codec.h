// Text on the wire. One rule for every name, chat line, action, phrase and
// tally name: Latin-1 when every character fits (older peers then read it
// right), UTF-8 otherwise. A receiver reads valid UTF-8 that holds a non-ASCII
// byte as UTF-8, and anything else as Latin-1.
#pragma once

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>

namespace wire {

std::string encodeText(const QString& text);
QString decodeText(std::string_view bytes);

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or
// code points past U+10FFFF) and hold at least one byte above 0x7F.
bool readsAsUtf8(std::string_view bytes);

// The longest front of the text that fits maxBytes. When the text reads as
// UTF-8 the cut never splits a character, so the front still reads as UTF-8.
std::string_view cutText(std::string_view bytes, std::size_t maxBytes);

} // namespace wire
