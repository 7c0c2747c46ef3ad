#include "core/frame/text_checks.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/frame/pattern_set.h"
#include "core/frame/rulebook.h"

void format_text(char *buffer, size_t size, const char *format, ...) {
    if (buffer == nullptr || size == 0) return;
    va_list args;
    va_start(args, format);
    int n = vsnprintf(buffer, size, format, args);
    va_end(args);
    if (n < 0) buffer[0] = '\0';
    buffer[size - 1] = '\0';
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

const char *const bic_pattern[] = {"^[A-Z]{6}[A-Z2-9][A-NP-Z0-9]([A-Z0-9]{3})?$"};
pattern_set bic_patterns(bic_pattern, 1);

}  // namespace

int check_text(const char *text, char *bad, int level) {
    return check_text_under(current_rulebook_row(), text, bad, level);
}

int check_text_under(const rulebook_t *rulebook, const char *text, char *bad, int level) {
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
        if (bad != nullptr) *bad = static_cast<char>(c);
        return 0;
    }
    return 1;
}

int check_bic_format(const char *bic) { return bic_patterns.matches(0, bic) ? 1 : 0; }

int check_line_length(const char *text) {
    // The BIC pattern is compiled here too, and a failed compilation fails this check.
    if (bic_patterns.get(0) == nullptr) return 0;
    if (text == nullptr) return 0;
    size_t n = std::strlen(text);
    return n > 0 && n <= 70 ? 1 : 0;
}
