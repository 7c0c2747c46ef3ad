#include "core/message/owned_text.h"

#include <cstdlib>
#include <cstring>

#include "core/frame/rulebook.h"
#include "core/frame/transliteration.h"

void wipe_memory(void *memory, size_t size) {
#if defined(__GNUC__) || defined(__clang__)
    // The empty asm statement claims to read the memory, so the compiler keeps the
    // stores although the memory is freed right after; memset clears a whole chunk of
    // transactions in a fraction of the time of a byte loop.
    std::memset(memory, 0, size);
    __asm__ __volatile__("" : : "r"(memory) : "memory");
#else
    // Stores through a volatile pointer are not removed as dead stores before free().
    volatile unsigned char *p = static_cast<volatile unsigned char *>(memory);
    while (size-- > 0) *p++ = 0;
#endif
}

void text_wipe_free(char **text) {
    if (*text == nullptr) return;
    wipe_memory(*text, std::strlen(*text));
    std::free(*text);
    *text = nullptr;
}

bool text_store(char **field, const char *text) {
    if (text == nullptr) return false;
    const size_t size = std::strlen(text) + 1;
    char *copy = static_cast<char *>(std::malloc(size));
    if (copy == nullptr) return false;
    std::memcpy(copy, text, size);
    text_wipe_free(field);
    *field = copy;
    return true;
}

bool text_transliterated(const char *text, int level, char **out) {
    *out = static_cast<char *>(std::malloc(std::strlen(text) + 1));
    if (*out == nullptr) return false;
    transliterate(current_rulebook_row(), text, level, *out);
    return true;
}
