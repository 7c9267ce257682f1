// The compressor's fixed error texts, shown to the user as they are; a file
// name follows where a text ends in " : ".
#pragma once

#include "tlzrw1.h"

#include <new>
#include <string>
#include <string_view>

namespace stats::lzrw1text {

inline std::string openInput(std::string_view name)
{
    return "Lzrw1 (de)compression : Failed to open input file : " + std::string(name);
}
inline std::string openOutput(std::string_view name)
{
    return "Lzrw1 (de)compression : Failed to open output file : " + std::string(name);
}
inline std::string sizeOf(std::string_view name)
{
    return "Lzrw1 compression : Failed to obtain the size of : " + std::string(name);
}
inline std::string noValidHeader(std::string_view name)
{
    return std::string(name) + " : Lzrw1 decompression : this file has no valid header !";
}
inline std::string readError(std::string_view name)
{
    return "Lzrw1 : Error reading from input file : " + std::string(name);
}
inline std::string writeError(std::string_view name)
{
    return "Lzrw1 : Error writing to output file : " + std::string(name);
}
inline constexpr const char* kLzrw1SizeMismatch
    = "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
inline constexpr const char* kLzhufSizeMismatch
    = "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !";
inline constexpr const char* kNoBufferMemory
    = "Lzrw1 (de)compression : Failed to get memory for I/O buffers !";
inline constexpr const char* kNoHashMemory = "LZRW1KH : no memory for HASH table";

// Running out of memory anywhere in the codecs reports as the buffers failing.
template <typename F> auto withMemoryText(F&& f)
{
    try {
        return f();
    } catch (const std::bad_alloc&) {
        throw ELzrw1Error(kNoBufferMemory);
    }
}

} // namespace stats::lzrw1text
