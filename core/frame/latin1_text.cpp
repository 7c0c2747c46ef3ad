#include "core/frame/latin1_text.h"

#include <cstdint>
#include <cstring>

#include "core/frame/utf8_text.h"

bool is_valid_utf8(const char *text, size_t size) {
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    const unsigned char *end = p + size;
    while (p < end) {
        // ASCII runs are the common case: skip them eight bytes at a time.
        while (end - p >= 8) {
            uint64_t word;
            std::memcpy(&word, p, 8);
            if ((word & 0x8080808080808080ULL) != 0) break;
            p += 8;
        }
        if (p == end) break;
        const size_t length = utf8_sequence_length(p, static_cast<size_t>(end - p));
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

size_t utf8_prefix_length(const char *text, size_t size, size_t limit) {
    if (size <= limit) return size;
    size_t length = limit;
    // Step back over continuation bytes to the start of the character that the
    // limit cuts, which is then left out whole.
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    return length;
}
