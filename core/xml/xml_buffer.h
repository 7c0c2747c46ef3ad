// Growable text buffer into which the writers append a document. It grows by half
// its size at least (in multiples of 256 bytes), so that a document of any size
// costs a logarithmic number of reallocations; every append either fits completely
// or leaves the buffer unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

struct xml_buffer {
    char *data;         // the document so far; NULL until the first append
    uint32_t used;      // bytes in use including the terminating NUL; 0 while empty
    uint32_t capacity;  // bytes allocated for data
    uint32_t ready;     // bytes of data known to be backed by memory (<= capacity); see buffer_grow
};

inline constexpr uint32_t XML_BUFFER_STEP = 256;

// Copies n bytes. Most pieces of a document row are a few to a few dozen bytes:
// two overlapping fixed-size copies are plain moves, where a call of memcpy for
// each piece costs more than the copying. Touches no byte outside either range.
inline void copy_piece(char *to, const char *from, size_t n) {
    if (n >= 16) {
        if (n > 32) {
            std::memcpy(to, from, n);
            return;
        }
        std::memcpy(to, from, 16);
        std::memcpy(to + n - 16, from + n - 16, 16);
    } else if (n >= 8) {
        std::memcpy(to, from, 8);
        std::memcpy(to + n - 8, from + n - 8, 8);
    } else if (n >= 4) {
        std::memcpy(to, from, 4);
        std::memcpy(to + n - 4, from + n - 4, 4);
    } else {
        for (size_t i = 0; i < n; ++i) to[i] = from[i];
    }
}

// Makes sure at least n more bytes fit: the new capacity is the larger of the next
// multiple of 256 strictly above used + n and one and a half times the old one
// (rounded up to a multiple of 256). Returns 1, or 0 when the memory cannot be had (the
// buffer keeps its text and capacity).
// A large buffer is also prepared ahead of the writing in steps of a few MiB (the
// system maps the pages in one call instead of one page fault per 4 KiB, which
// costs more than writing the text); `ready` tells how far.
int buffer_grow(xml_buffer *buffer, size_t n);

// Appends one NUL-terminated text; NULL appends nothing. 1 / 0 (cannot grow).
int buffer_append(xml_buffer *buffer, const char *text);

// Appends `length` bytes of `text` (no NUL among them). 1 / 0 (cannot grow).
int buffer_append_n(xml_buffer *buffer, const char *text, size_t length);

// Appends a text with & < > written as &amp; &lt; &gt;; every other byte unchanged.
// The escaped length is computed first and the buffer grows once. NULL appends
// nothing. 1 / 0 (cannot grow; the buffer is unchanged).
int buffer_append_escaped(xml_buffer *buffer, const char *text);

// Length of `text` with & < > escaped; `plain` receives its length as it is. NULL
// counts as empty.
size_t escaped_length(const char *text, size_t *plain);

// Writes `text` (`plain` bytes) escaped to `out`, which has room for its escaped
// length; returns the end of what was written (no NUL is added).
char *write_escaped(char *out, const char *text, size_t plain, size_t escaped);

// Hands the text to the caller: gives back the unused capacity and returns the
// text (NULL for an empty buffer); the record is zeroed.
char *buffer_take(xml_buffer *buffer);

// Frees the text and zeroes the record.
void buffer_release(xml_buffer *buffer);
