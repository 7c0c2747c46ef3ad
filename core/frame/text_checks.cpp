#include "core/frame/text_checks.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/frame/rulebook.h"

void format_text(char *buffer, size_t size, const char *format, ...) {
    if (buffer == nullptr || size == 0) return;
    va_list args;
    va_start(args, format);
    int n = vsnprintf(buffer, size, format, args);
    va_end(args);
    if (n < 0) buffer[0] = '\0';
    buffer[size - 1] = '\0';
    if (n >= 0 && static_cast<size_t>(n) >= size) {
        // Cut: drop a character whose last bytes fell off the end.
        size_t end = size - 1, start = end;
        while (start > 0 && (static_cast<unsigned char>(buffer[start - 1]) & 0xC0) == 0x80 && end - start < 3) --start;
        if (start > 0 && static_cast<unsigned char>(buffer[start - 1]) >= 0xC0) {
            --start;
            if (utf8_character_length(reinterpret_cast<unsigned char *>(buffer + start)) != end - start)
                buffer[start] = '\0';
        }
    }
}

size_t utf8_character_length(const unsigned char *p) {
    const unsigned char c = p[0];
    if (c < 0x80) return c == 0 ? 0 : 1;
    // Java hands texts over in modified UTF-8: NUL as C0 80 and characters beyond
    // U+FFFF as a pair of encoded surrogates. Each stays one character, so that a
    // Java caller gets its own text back in an error message.
    if (c == 0xC0 && p[1] == 0x80) return 2;
    if (c == 0xED && p[1] >= 0xA0 && p[1] <= 0xAF && (p[2] & 0xC0) == 0x80 && p[3] == 0xED && p[4] >= 0xB0 &&
        p[4] <= 0xBF && (p[5] & 0xC0) == 0x80)
        return 6;
    size_t length;
    unsigned min_second = 0x80, max_second = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) length = 2;
    else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0) min_second = 0xA0;       // overlong
        else if (c == 0xED) max_second = 0x9F;  // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) min_second = 0x90;
        else if (c == 0xF4) max_second = 0x8F;  // beyond U+10FFFF
    } else {
        return 0;
    }
    if (p[1] < min_second || p[1] > max_second) return 0;
    for (size_t i = 2; i < length; ++i)
        if ((p[i] & 0xC0) != 0x80) return 0;
    return length;
}

void describe_character(const char *at, char out[CHARACTER_TEXT_SIZE]) {
    const auto *p = reinterpret_cast<const unsigned char *>(at);
    const size_t length = utf8_character_length(p);
    // C0 controls, DEL and the C1 controls (U+0080-U+009F) are invisible in a message.
    if (length == 1 && (p[0] < 0x20 || p[0] == 0x7F)) {
        format_text(out, CHARACTER_TEXT_SIZE, "U+%04X", p[0]);
    } else if (length == 2 && p[0] == 0xC2 && p[1] < 0xA0) {
        format_text(out, CHARACTER_TEXT_SIZE, "U+%04X", p[1]);
    } else if (length == 0) {
        format_text(out, CHARACTER_TEXT_SIZE, "\\x%02X", p[0]);
    } else {
        std::memcpy(out, at, length);
        out[length] = '\0';
    }
}

void quote_text(const char *text, char out[QUOTED_TEXT_SIZE]) {
    if (text == nullptr) {
        std::memcpy(out, "NULL", 5);
        return;
    }
    constexpr size_t limit = QUOTED_TEXT_SIZE - CHARACTER_TEXT_SIZE - 4;  // room for one more and "..."
    size_t n = 0;
    const char *p = text;
    while (*p != '\0' && n < limit) {
        char character[CHARACTER_TEXT_SIZE];
        describe_character(p, character);
        const size_t length = utf8_character_length(reinterpret_cast<const unsigned char *>(p));
        p += length == 0 ? 1 : length;
        const size_t shown = std::strlen(character);
        std::memcpy(out + n, character, shown);
        n += shown;
    }
    if (*p != '\0') {
        std::memcpy(out + n, "...", 3);
        n += 3;
    }
    out[n] = '\0';
}

namespace {

// Bytes admitted at every level, as a 256-entry table per character class.
struct char_classes {
    bool base[256] = {};      // digits, letters, ' : ? , - ( ) + / .
    bool extended[256] = {};  // & * $ %  (level 2)
    bool austrian[256] = {};  // < > { } [ ] " | ! = # ~ ; @ _ ^  (AT-6 only)
    constexpr char_classes() {
        for (int c = '0'; c <= '9'; ++c) base[c] = true;
        for (int c = 'A'; c <= 'Z'; ++c) base[c] = true;
        for (int c = 'a'; c <= 'z'; ++c) base[c] = true;
        for (const char *p = "':?,-()+/."; *p; ++p) base[static_cast<unsigned char>(*p)] = true;
        for (const char *p = "&*$%"; *p; ++p) extended[static_cast<unsigned char>(*p)] = true;
        for (const char *p = "<>{}[]\"|!=#~;@_^"; *p; ++p) austrian[static_cast<unsigned char>(*p)] = true;
    }
};
constexpr char_classes classes;

// Second bytes after 0xC3 of Ä Ö Ü ä ö ü ß.
bool is_umlaut_tail(unsigned char c) {
    return c == 0x84 || c == 0x96 || c == 0x9C || c == 0xA4 || c == 0xB6 || c == 0xBC || c == 0x9F;
}

bool is_upper(char c) { return c >= 'A' && c <= 'Z'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int check_text(const char *text, const char **bad, int level) {
    return check_text_under(current_rulebook_row(), text, bad, level);
}

int check_text_under(const rulebook_t *rulebook, const char *text, const char **bad, int level) {
    if (text == nullptr) return 1;
    if (rulebook != nullptr && rulebook->names_without_extended && level >= 2) level = 1;
    const bool austrian = rulebook != nullptr && rulebook->austrian_charset;
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    while (*p) {
        const unsigned char c = *p;
        if (classes.base[c] || (level >= 1 && c == ' ') || (level >= 2 && classes.extended[c])) {
            ++p;
            continue;
        }
        if (level >= 2 && c == 0xC3 && is_umlaut_tail(p[1])) {
            p += 2;
            continue;
        }
        if (austrian) {
            if (classes.austrian[c]) {
                ++p;
                continue;
            }
            if (c == 0xE2 && p[1] == 0x82 && p[2] == 0xAC) {
                p += 3;
                continue;
            }
        }
        if (bad != nullptr) *bad = reinterpret_cast<const char *>(p);
        return 0;
    }
    return 1;
}

int check_bic_format(const char *bic) {
    // Six letters (institution and country), a location of a letter or digit 2-9
    // followed by a letter other than O or a digit, optionally a branch of three
    // letters or digits: 8 or 11 characters.
    if (bic == nullptr) return 0;
    const size_t length = strnlen(bic, 12);
    if (length != 8 && length != 11) return 0;
    for (size_t i = 0; i < 6; ++i)
        if (!is_upper(bic[i])) return 0;
    if (!is_upper(bic[6]) && (bic[6] < '2' || bic[6] > '9')) return 0;
    if ((!is_upper(bic[7]) || bic[7] == 'O') && !is_digit(bic[7])) return 0;
    for (size_t i = 8; i < length; ++i)
        if (!is_upper(bic[i]) && !is_digit(bic[i])) return 0;
    return 1;
}

int check_line_length(const char *text) {
    if (text == nullptr) return 0;
    size_t n = std::strlen(text);
    return n > 0 && n <= 70 ? 1 : 0;
}
