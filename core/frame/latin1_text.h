// Character set of texts read from files: statement files come in UTF-8 or in
// ISO-8859-1, while every text the library hands out is UTF-8.
#pragma once

#include <cstddef>

// True when [text, text + size) is well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF). NUL bytes count as characters.
bool is_valid_utf8(const char *text, size_t size);

// Exact number of bytes latin1_to_utf8 (core/frame/utf8_text.h) writes at most for
// [text, text + size): one more for every byte 0x80-0xFF.
size_t latin1_utf8_size(const char *text, size_t size);

// Length of the longest prefix of the UTF-8 text [text, text + size) that holds at
// most `limit` bytes and does not end inside a character.
size_t utf8_prefix_length(const char *text, size_t size, size_t limit);
