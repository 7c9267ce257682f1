// Brings the generated frequency table into the program, the way the word list
// itself is embedded: the assembler copies the file in with .incbin.
#include "word_frequency.h"

#include "dict_limits.h"
#include "embedded_word_list.h"

#include <cstddef>

#ifndef LEXMIRE_WORDFREQ_TABLE
#error "LEXMIRE_WORDFREQ_TABLE must name the generated frequency table"
#endif

asm(".pushsection .rodata.lexmire_wordfreq,\"a\",@progbits\n"
    ".balign 64\n"
    ".globl lexmire_wordfreq_begin\n"
    ".hidden lexmire_wordfreq_begin\n"
    ".type lexmire_wordfreq_begin, @object\n"
    "lexmire_wordfreq_begin:\n"
    ".incbin \"" LEXMIRE_WORDFREQ_TABLE "\"\n"
    ".globl lexmire_wordfreq_end\n"
    ".hidden lexmire_wordfreq_end\n"
    "lexmire_wordfreq_end:\n"
    ".size lexmire_wordfreq_begin, lexmire_wordfreq_end - lexmire_wordfreq_begin\n"
    ".popsection\n");

extern "C" {
__attribute__((visibility("hidden"))) extern const std::uint8_t lexmire_wordfreq_begin[];
__attribute__((visibility("hidden"))) extern const std::uint8_t lexmire_wordfreq_end[];
}

std::span<const std::uint8_t> embeddedFrequencyClasses()
{
    const std::span<const std::uint8_t> table { lexmire_wordfreq_begin,
        static_cast<std::size_t>(lexmire_wordfreq_end - lexmire_wordfreq_begin) };
    if (table.size() != embeddedWordList().size() / kRecordSize)
        return {};
    return table;
}
