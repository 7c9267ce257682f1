// The English word list built into the program, in the record-file format
// that TDictn writes out and searches.
#pragma once

#include <string_view>

// The whole record file, exactly as it is to be written to disk.
std::string_view embeddedWordList();
