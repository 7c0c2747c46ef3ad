// Validators shared by the message setters and the transaction keys, and the bounded
// formatter of error texts.
#pragma once

#include <cstddef>

// Upper case of an ASCII letter, every other byte unchanged. Unlike std::toupper it
// does not follow the caller's locale (a single-byte Turkish locale maps 'i' elsewhere).
inline char ascii_upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Like snprintf into `buffer` of `size` bytes: longer output is cut, the buffer
// always ends with a NUL (for size > 0). A cut never splits a UTF-8 character, so
// the text stays valid UTF-8 when the format and arguments are.
void format_text(char *buffer, size_t size, const char *format, ...) __attribute__((format(printf, 3, 4)));

// Character check of the current rulebook at `level` (0 restricted Latin without
// space, 1 with space, 2 extended set with umlauts). Returns 1 when every byte is
// allowed, else 0 and the position of the first offending character through `bad`
// (when not NULL). NULL or empty text gives 1.
int check_text(const char *text, const char **bad, int level);

// Error texts show what the caller passed; they must stay valid UTF-8 for PHP, Java
// and JSON whatever the input was.

// The character at `at` as it reads: a whole UTF-8 character ("é", "€"), or, for a
// control character or a byte that starts no valid UTF-8 sequence, its code in
// ASCII ("U+0009", "\xC5").
inline constexpr size_t CHARACTER_TEXT_SIZE = 8;
void describe_character(const char *at, char out[CHARACTER_TEXT_SIZE]);

// `text` for quoting in an error message: valid characters as they are, others as
// describe_character writes them, cut after about 60 bytes with "..."; NULL reads "NULL".
inline constexpr size_t QUOTED_TEXT_SIZE = 72;
void quote_text(const char *text, char out[QUOTED_TEXT_SIZE]);

// Length of the valid UTF-8 character (no overlong form, no surrogate) starting at
// `p`, or 0 when the bytes there are not one. The modified UTF-8 of Java texts (NUL
// as C0 80, a surrogate pair as two encoded surrogates) counts as one character.
size_t utf8_character_length(const unsigned char *p);

// The same check under the rules of `rulebook` (NULL: no rulebook's extension).
struct rulebook_t;
int check_text_under(const rulebook_t *rulebook, const char *text, const char **bad, int level);

// 1 when `bic` (already upper-cased) is 8 or 11 characters of BIC form, else 0
// (also for NULL).
int check_bic_format(const char *bic);

// 1 when `text` is not NULL, not empty and at most 70 bytes, else 0.
int check_line_length(const char *text);
