// How common each word of the embedded list is, as a frequency class made at
// build time from a list of word counts in spoken English.
#pragma once

#include "finder_limits.h"

#include <cstdint>
#include <span>
#include <string_view>

// One class per record of embeddedWordList(), in record order: 0 for a word
// the frequency list lacks, otherwise 1 + floor(log2(its count)). Empty if the
// table does not match the list, which the build never lets happen.
std::span<const std::uint8_t> embeddedFrequencyClasses();

// The class of a word of the embedded list, letter case aside; 0 (the rarest)
// for anything the list lacks.
int frequencyClassOf(std::string_view word);
