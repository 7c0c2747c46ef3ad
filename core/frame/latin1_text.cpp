#include "core/frame/latin1_text.h"

#include <cstdint>

namespace {

bool continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length of the well-formed UTF-8 sequence at p (which starts with a byte
// 0x80 or above), or 0 when there is none.
size_t sequence_length(const unsigned char *p, const unsigned char *end) {
    unsigned char c = *p;
    size_t length;
    uint32_t code;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        code = c & 0x07;
    } else {
        return 0;
    }
    if (static_cast<size_t>(end - p) < length) return 0;
    for (size_t i = 1; i < length; ++i) {
        if (!continuation(p[i])) return 0;
        code = (code << 6) | (p[i] & 0x3F);
    }
    if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
        (length == 4 && (code < 0x10000 || code > 0x10FFFF)))
        return 0;
    return length;
}

}  // namespace

size_t mixed_to_utf8(const char *text, size_t size, char *out) {
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    const unsigned char *end = p + size;
    char *at = out;
    while (p < end) {
        unsigned char c = *p;
        if (c < 0x80) {
            *at++ = static_cast<char>(c);
            ++p;
            continue;
        }
        size_t length = sequence_length(p, end);
        if (length > 0) {
            for (size_t i = 0; i < length; ++i) *at++ = static_cast<char>(p[i]);
            p += length;
        } else {
            *at++ = static_cast<char>(0xC0 | (c >> 6));
            *at++ = static_cast<char>(0x80 | (c & 0x3F));
            ++p;
        }
    }
    return static_cast<size_t>(at - out);
}

bool is_valid_utf8(const char *text, size_t size) {
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    const unsigned char *end = p + size;
    while (p < end) {
        // ASCII runs are the common case: skip them eight bytes at a time.
        while (end - p >= 8) {
            uint64_t word;
            __builtin_memcpy(&word, p, 8);
            if ((word & 0x8080808080808080ULL) != 0) break;
            p += 8;
        }
        if (p == end) break;
        unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        size_t length = sequence_length(p, end);
        if (length == 0) return false;
        p += length;
    }
    return true;
}

size_t latin1_utf8_size(const char *text, size_t size) {
    size_t extra = 0;
    for (size_t i = 0; i < size; ++i) extra += static_cast<unsigned char>(text[i]) >> 7;
    return size + extra;
}

size_t latin1_to_utf8(const char *text, size_t size, char *out) {
    char *at = out;
    for (size_t i = 0; i < size; ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            *at++ = static_cast<char>(c);
        } else {
            *at++ = static_cast<char>(0xC0 | (c >> 6));
            *at++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return static_cast<size_t>(at - out);
}

size_t utf8_prefix_length(const char *text, size_t size, size_t limit) {
    if (size <= limit) return size;
    size_t length = limit;
    // Step back over continuation bytes to the start of the character that the
    // limit cuts, which is then left out whole.
    while (length > 0 && continuation(static_cast<unsigned char>(text[length]))) --length;
    return length;
}
