#include "core/xml/xml_buffer.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

int buffer_grow(xml_buffer *buffer, size_t n) {
    if (buffer->capacity - buffer->used >= n) return 1;
    const size_t wanted = static_cast<size_t>(buffer->used) + n;
    const size_t capacity = wanted / XML_BUFFER_STEP * XML_BUFFER_STEP + XML_BUFFER_STEP;
    // The record counts in 32 bits; a document of 4 GiB is refused like an exhausted heap.
    if (capacity > UINT32_MAX) return 0;
    char *grown = static_cast<char *>(realloc(buffer->data, capacity));
    if (grown == nullptr) return 0;
    buffer->data = grown;
    buffer->capacity = static_cast<uint32_t>(capacity);
    return 1;
}

int buffer_append_n(xml_buffer *buffer, const char *text, size_t length) {
    if (!buffer_grow(buffer, length + 1)) return 0;
    // An empty buffer starts at 0; otherwise the text overwrites the old NUL.
    const uint32_t at = buffer->used == 0 ? 0 : buffer->used - 1;
    memcpy(buffer->data + at, text, length);
    buffer->data[at + length] = '\0';
    buffer->used = at + static_cast<uint32_t>(length) + 1;
    return 1;
}

int buffer_append(xml_buffer *buffer, const char *text) {
    if (text == nullptr) return 1;
    return buffer_append_n(buffer, text, strlen(text));
}

int buffer_append_all(xml_buffer *buffer, ...) {
    va_list args;
    va_start(args, buffer);
    int ok = 1;
    for (const char *text = va_arg(args, const char *); text != nullptr; text = va_arg(args, const char *)) {
        if (!buffer_append(buffer, text)) {
            ok = 0;
            break;
        }
    }
    va_end(args);
    return ok;
}

namespace {
// Length of each byte once escaped: 1 for all but & < >.
struct escape_table {
    unsigned char length[256] = {};
    constexpr escape_table() {
        for (auto &l : length) l = 1;
        length[static_cast<unsigned char>('&')] = 5;
        length[static_cast<unsigned char>('<')] = 4;
        length[static_cast<unsigned char>('>')] = 4;
    }
};
constexpr escape_table escapes;
}  // namespace

int buffer_append_escaped(xml_buffer *buffer, const char *text) {
    if (text == nullptr) return 1;
    size_t plain = 0, escaped = 0;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; ++p) {
        ++plain;
        escaped += escapes.length[*p];
    }
    if (escaped == plain) return buffer_append_n(buffer, text, plain);
    if (!buffer_grow(buffer, escaped + 1)) return 0;
    char *out = buffer->data + (buffer->used == 0 ? 0 : buffer->used - 1);
    for (const char *p = text; *p; ++p) {
        switch (*p) {
            case '&': memcpy(out, "&amp;", 5); out += 5; break;
            case '<': memcpy(out, "&lt;", 4); out += 4; break;
            case '>': memcpy(out, "&gt;", 4); out += 4; break;
            default: *out++ = *p;
        }
    }
    *out = '\0';
    buffer->used = static_cast<uint32_t>(out - buffer->data) + 1;
    return 1;
}

void buffer_release(xml_buffer *buffer) {
    free(buffer->data);
    *buffer = xml_buffer{};
}
