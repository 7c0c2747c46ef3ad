// Validators shared by the message setters and the transaction keys, and the bounded
// formatter of error texts.
#pragma once

#include <cstddef>

// Upper case of an ASCII letter, every other byte unchanged. Unlike std::toupper it
// does not follow the caller's locale (a single-byte Turkish locale maps 'i' elsewhere).
inline char ascii_upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Like snprintf into `buffer` of `size` bytes: longer output is cut, the buffer
// always ends with a NUL (for size > 0).
void format_text(char *buffer, size_t size, const char *format, ...)
    __attribute__((format(printf, 3, 4)));

// Character check of the current rulebook at `level` (0 restricted Latin without
// space, 1 with space, 2 extended set with umlauts). Returns 1 when every byte is
// allowed, else 0 and the first offending byte through `bad` (when not NULL).
// NULL or empty text gives 1.
int check_text(const char *text, char *bad, int level);

// The same check under the rules of `rulebook` (NULL: no rulebook's extension).
struct rulebook_t;
int check_text_under(const rulebook_t *rulebook, const char *text, char *bad, int level);

// 1 when `bic` (already upper-cased) is 8 or 11 characters of BIC form, else 0;
// 0 also when the pattern cannot be compiled.
int check_bic_format(const char *bic);

// 1 when `text` is not NULL, not empty and at most 70 bytes, else 0.
int check_line_length(const char *text);
