// Every limit the settings layer relies on, with its reason.
#pragma once

#include <cstdint>

namespace settings {

// A settings file is a few kilobytes, even shared with other programs. One past
// this size is damaged or planted: it is not read (holding and parsing it would
// freeze the program and cost many times its size in memory) and never written
// over, so nothing in it is lost.
constexpr std::uint64_t kMaxSettingsFileBytes = 4u * 1024 * 1024;

// Values are read as at most this many characters; longer ones are cut.
constexpr int kMaxValueLength = 2047;

} // namespace settings
