// Brings the generated record file into the program. The assembler copies the
// file in with .incbin, which compiles in an instant where a generated array of
// 3.6 million initialisers would take the compiler a long while.
#include "embedded_word_list.h"

#include <cstddef>

#ifndef LEXMIRE_WORDLIST_REC
#error "LEXMIRE_WORDLIST_REC must name the generated record file"
#endif

// Top-level asm inside a C++ unit, rather than a separate .S file, so the
// compiler still marks the object as not needing an executable stack. The data
// goes to a read-only allocated section of its own; the symbols stay hidden so
// the list is never exported from a shared object.
asm(".pushsection .rodata.lexmire_wordlist,\"a\",@progbits\n"
    ".balign 64\n"
    ".globl lexmire_wordlist_begin\n"
    ".hidden lexmire_wordlist_begin\n"
    ".type lexmire_wordlist_begin, @object\n"
    "lexmire_wordlist_begin:\n"
    ".incbin \"" LEXMIRE_WORDLIST_REC "\"\n"
    ".globl lexmire_wordlist_end\n"
    ".hidden lexmire_wordlist_end\n"
    "lexmire_wordlist_end:\n"
    ".size lexmire_wordlist_begin, lexmire_wordlist_end - lexmire_wordlist_begin\n"
    ".popsection\n");

extern "C" {
__attribute__((visibility("hidden"))) extern const char lexmire_wordlist_begin[];
__attribute__((visibility("hidden"))) extern const char lexmire_wordlist_end[];
}

std::string_view embeddedWordList()
{
    return { lexmire_wordlist_begin,
        static_cast<std::size_t>(lexmire_wordlist_end - lexmire_wordlist_begin) };
}
