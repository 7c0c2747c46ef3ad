#include "core/xml/xml_buffer.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

#if defined(__linux__)
#include <sys/mman.h>
#endif
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Below this the buffer's memory is usually the heap's, already mapped.
constexpr size_t prepare_from = size_t{1} << 20;
constexpr size_t prepare_step = size_t{1} << 20;

// Maps the pages of [from, to) of `data` at once, ahead of the writing. Returns false
// where the system cannot (then nothing more is tried).
bool prepare_pages(char *data, size_t from, size_t to) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    // Documents are rendered on many threads at once: the flag is atomic.
    static std::atomic<bool> unsupported{false};
    if (unsupported.load(std::memory_order_relaxed)) return false;
    constexpr uintptr_t page = 4096;
    // Page-aligned bounds by pointer arithmetic, so the pointer keeps its provenance.
    char *const start = data + from - (reinterpret_cast<uintptr_t>(data + from) & (page - 1));
    const uintptr_t end_address = (reinterpret_cast<uintptr_t>(data + to) + page - 1) & ~(page - 1);
    const size_t length = end_address - reinterpret_cast<uintptr_t>(start);
    if (madvise(start, length, MADV_POPULATE_WRITE) == 0) return true;
    unsupported.store(true, std::memory_order_relaxed);
#else
    (void)data;
    (void)from;
    (void)to;
#endif
    return false;
}

// Asks for huge pages over the whole 2 MiB blocks inside [data, data + size): one
// fault then maps 2 MiB instead of 4 KiB. Only blocks the document fills entirely,
// so the memory held does not grow; where the system says no, nothing changes.
void prefer_huge_pages(char *data, size_t size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr uintptr_t huge = uintptr_t{2} << 20;
    const uintptr_t address = reinterpret_cast<uintptr_t>(data);
    const uintptr_t first = (address + huge - 1) & ~(huge - 1);
    const uintptr_t last = (address + size) & ~(huge - 1);
    if (last > first) madvise(data + (first - address), last - first, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}

// Memory of `capacity` bytes holding the `used` bytes of `data` (which it frees), or
// NULL (then `data` is untouched). A large buffer that holds little yet (a document
// is had in one piece after its first line) starts at a huge-page boundary, so huge
// pages cover all of it but its tail; the few bytes are copied. Otherwise realloc.
char *grow_memory(char *data, size_t used, size_t capacity) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr size_t huge = size_t{2} << 20;
    if (capacity >= 2 * huge && used <= 4096) {
        void *aligned = nullptr;
        if (posix_memalign(&aligned, huge, capacity) != 0) return nullptr;
        // Before the copy touches the first block, or that block stays in small pages.
        prefer_huge_pages(static_cast<char *>(aligned), capacity);
        if (used != 0) memcpy(aligned, data, used);
        free(data);
        return static_cast<char *>(aligned);
    }
#else
    (void)used;
#endif
    char *grown = static_cast<char *>(realloc(data, capacity));
    if (grown != nullptr && capacity >= prepare_from) prefer_huge_pages(grown, capacity);
    return grown;
}

}  // namespace

int buffer_grow(xml_buffer *buffer, size_t n) {
    if (buffer->ready - buffer->used >= n) return 1;
    if (buffer->capacity - buffer->used >= n) {
        // Only the preparation is behind: prepare the next step (the memory is there).
        const size_t to = std::min<size_t>(buffer->capacity, static_cast<size_t>(buffer->used) + n + prepare_step);
        buffer->ready = prepare_pages(buffer->data, buffer->ready, to) ? static_cast<uint32_t>(to) : buffer->capacity;
        return 1;
    }
    const size_t wanted = static_cast<size_t>(buffer->used) + n;
    // The record counts in 32 bits; a document of 4 GiB is refused like an exhausted heap.
    if (wanted >= UINT32_MAX) return 0;
    const size_t geometric = static_cast<size_t>(buffer->capacity) + buffer->capacity / 2;
    const size_t least = wanted > geometric ? wanted : geometric;
    size_t capacity = least / XML_BUFFER_STEP * XML_BUFFER_STEP + XML_BUFFER_STEP;
    if (capacity > UINT32_MAX) capacity = UINT32_MAX;
    char *grown = grow_memory(buffer->data, buffer->used, capacity);
    if (grown == nullptr) return 0;
    buffer->data = grown;
    buffer->capacity = static_cast<uint32_t>(capacity);
    buffer->ready = buffer->capacity;
    if (capacity >= prepare_from) {
        const size_t to = std::min(capacity, wanted + prepare_step);
        if (prepare_pages(grown, buffer->used, to)) buffer->ready = static_cast<uint32_t>(to);
    }
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

namespace {

// True when one of the `n` bytes at `text` is & < or >. Reads those bytes only: 16 at
// a time, the last block overlapping the one before.
bool has_markup(const char *text, size_t n) {
#if defined(__SSE2__)
    if (n >= 16) {
        const __m128i ampersand = _mm_set1_epi8('&');
        const __m128i angle = _mm_set1_epi8('>');  // '<' | 2 is '>' as well
        const __m128i bit = _mm_set1_epi8(2);
        for (size_t at = 0;; at += 16) {
            if (at + 16 > n) at = n - 16;
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + at));
            const __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(v, ampersand), _mm_cmpeq_epi8(_mm_or_si128(v, bit), angle));
            if (_mm_movemask_epi8(hit) != 0) return true;
            if (at + 16 == n) return false;
        }
    }
#endif
    for (size_t i = 0; i < n; ++i)
        if (escapes.length[static_cast<unsigned char>(text[i])] != 1) return true;
    return false;
}

}  // namespace

size_t escaped_length(const char *text, size_t *plain) {
    if (text == nullptr) {
        *plain = 0;
        return 0;
    }
    const size_t bytes = strlen(text);
    *plain = bytes;
    // Most texts have none of & < >; only those are counted byte by byte.
    if (!has_markup(text, bytes)) return bytes;
    size_t escaped = 0;
    for (size_t i = 0; i < bytes; ++i) escaped += escapes.length[static_cast<unsigned char>(text[i])];
    return escaped;
}

char *write_escaped(char *out, const char *text, size_t plain, size_t escaped) {
    if (escaped == plain) {
        copy_piece(out, text, plain);
        return out + plain;
    }
    for (const char *p = text; *p; ++p) {
        switch (*p) {
        case '&':
            copy_piece(out, "&amp;", 5);
            out += 5;
            break;
        case '<':
            copy_piece(out, "&lt;", 4);
            out += 4;
            break;
        case '>':
            copy_piece(out, "&gt;", 4);
            out += 4;
            break;
        default: *out++ = *p;
        }
    }
    return out;
}

int buffer_append_escaped(xml_buffer *buffer, const char *text) {
    if (text == nullptr) return 1;
    size_t plain = 0;
    const size_t escaped = escaped_length(text, &plain);
    if (!buffer_grow(buffer, escaped + 1)) return 0;
    char *at = buffer->data + (buffer->used == 0 ? 0 : buffer->used - 1);
    char *end = write_escaped(at, text, plain, escaped);
    *end = '\0';
    buffer->used = static_cast<uint32_t>(end - buffer->data) + 1;
    return 1;
}

char *buffer_take(xml_buffer *buffer) {
    char *text = buffer->data;
    if (text != nullptr && buffer->used < buffer->capacity) {
        // Shrinking keeps the text in place or moves it whole; a failure keeps it as it is.
        if (char *fitted = static_cast<char *>(realloc(text, buffer->used))) text = fitted;
    }
    *buffer = xml_buffer{};
    return text;
}

void buffer_release(xml_buffer *buffer) {
    free(buffer->data);
    *buffer = xml_buffer{};
}
