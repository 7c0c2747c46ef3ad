// Character set of texts read from files: statement files come in UTF-8 or in
// ISO-8859-1, while every text the library hands out is UTF-8.
#pragma once

#include <cstddef>

// True when [text, text + size) is well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF). NUL bytes count as characters.
bool is_valid_utf8(const char *text, size_t size);

// Number of bytes latin1_to_utf8 writes for [text, text + size).
size_t latin1_utf8_size(const char *text, size_t size);

// Writes the ISO-8859-1 text [text, text + size) as UTF-8 to `out`, which has room
// for latin1_utf8_size(text, size) bytes; returns the number of bytes written.
// Bytes 0x80-0xFF become two-byte sequences, everything else is copied.
size_t latin1_to_utf8(const char *text, size_t size, char *out);

// Text that is mostly UTF-8 but holds ISO-8859-1 bytes too (files put together
// from several sources): every well-formed UTF-8 sequence is kept, every other
// byte 0x80-0xFF is taken as ISO-8859-1. `out` needs room for
// latin1_utf8_size(text, size) bytes; returns the number of bytes written.
size_t mixed_to_utf8(const char *text, size_t size, char *out);

// Length of the longest prefix of the UTF-8 text [text, text + size) that holds at
// most `limit` bytes and does not end inside a character.
size_t utf8_prefix_length(const char *text, size_t size, size_t limit);
