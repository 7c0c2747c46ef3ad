#include "core/frame/utf8_text.h"

#include <cstdlib>
#include <cstring>

#include "sepa.h"

namespace {

bool is_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

size_t utf8_sequence_length(const unsigned char *text, size_t length) {
    if (length == 0) return 0;
    const unsigned char lead = text[0];
    if (lead < 0x80) return 1;
    // The range of the second byte excludes overlong forms (E0, F0), surrogates (ED)
    // and code points above U+10FFFF (F4); the other continuation bytes are 80-BF.
    size_t size = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        size = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        size = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        size = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (length < size || text[1] < low || text[1] > high) return 0;
    for (size_t i = 2; i < size; ++i) {
        if (!is_continuation(text[i])) return 0;
    }
    return size;
}

size_t latin1_to_utf8(const char *text, size_t length, char *out) {
    const auto *in = reinterpret_cast<const unsigned char *>(text);
    size_t written = 0;
    for (size_t i = 0; i < length;) {
        const size_t n = utf8_sequence_length(in + i, length - i);
        if (n > 0) {
            std::memcpy(out + written, in + i, n);
            written += n;
            i += n;
        } else {
            out[written++] = static_cast<char>(0xC0 | (in[i] >> 6));
            out[written++] = static_cast<char>(0x80 | (in[i] & 0x3F));
            ++i;
        }
    }
    return written;
}

extern "C" SEPA_API char *sepa_text_toUTF8(const char *text) {
    if (text == nullptr) return nullptr;
    const size_t length = std::strlen(text);
    auto *out = static_cast<char *>(std::malloc(latin1_to_utf8_capacity(length) + 1));
    if (out == nullptr) return nullptr;
    out[latin1_to_utf8(text, length, out)] = '\0';
    return out;
}
