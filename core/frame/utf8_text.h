// UTF-8 for texts whose bytes may be ISO-8859-1: bank statements and legacy data mix
// both, while the library, JSON and Java need well-formed UTF-8.
#pragma once

#include <cstddef>

// Length of the well-formed UTF-8 sequence at the start of `text` (`length` bytes
// available): 1 to 4, or 0 when the bytes there start none (a stray continuation
// byte, an overlong form, a surrogate, a code point beyond U+10FFFF, a cut
// sequence). A length of 0 gives 0.
size_t utf8_sequence_length(const unsigned char *text, size_t length);

// Room latin1_to_utf8 needs for `length` input bytes (each byte at most doubles).
constexpr size_t latin1_to_utf8_capacity(size_t length) { return 2 * length; }

// Writes the `length` bytes of `text` as UTF-8 to `out`, which has room for
// latin1_to_utf8_capacity(length) bytes: well-formed UTF-8 sequences are copied as
// they are, every other byte becomes the ISO-8859-1 character of the same value
// (two bytes). Returns the number of bytes written; no NUL is added. So a text that
// is already UTF-8 comes out unchanged, and a Latin-1 text comes out as UTF-8.
size_t latin1_to_utf8(const char *text, size_t length, char *out);
