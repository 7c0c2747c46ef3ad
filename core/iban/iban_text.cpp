// The electronic and the printed form of an IBAN.
#include <cstring>

#include "sepa.h"

namespace {

constexpr size_t iban_max_length = 34;

bool is_space(char c) { return c == ' '; }

// "IBAN" in any case at the start of `text`, with or without a space after it. No IBAN
// starts so (its check digits would be "AN"), so the prefix is dropped either way and
// the printed form of a result normalizes to the same result.
bool has_iban_prefix(const char *text) {
    for (int i = 0; i < 4; ++i) {
        if ((text[i] & ~0x20) != "IBAN"[i]) return false;
    }
    return true;
}

// The electronic form of `in` into `out` (35 bytes): false when `in` holds anything
// but letters, digits and spaces after an optional "IBAN" prefix, or when the
// result is empty or longer than 34 characters.
bool electronic_form(const char *in, char *out) {
    while (is_space(*in)) ++in;
    if (has_iban_prefix(in)) in += 4;
    size_t length = 0;
    for (; *in != '\0'; ++in) {
        const char c = *in;
        if (is_space(c)) continue;
        const bool upper = c >= 'A' && c <= 'Z';
        const bool lower = c >= 'a' && c <= 'z';
        if (!upper && !lower && !(c >= '0' && c <= '9')) return false;
        if (length == iban_max_length) return false;
        out[length++] = lower ? static_cast<char>(c - 'a' + 'A') : c;
    }
    out[length] = '\0';
    // A result that starts with "IBAN" again is no IBAN, and its printed form would
    // lose that prefix on the way back.
    return length > 0 && !has_iban_prefix(out);
}

int deliver(const char *text, char *out, size_t out_size) {
    const size_t length = std::strlen(text);
    if (length >= out_size) return SEPA_IBAN_ERR_BUFSIZE;
    std::memcpy(out, text, length + 1);
    return SEPA_IBAN_OK;
}

}  // namespace

extern "C" SEPA_API int sepa_iban_normalize(const char *in, char *out, size_t out_size) {
    if (in == nullptr || out == nullptr) return SEPA_IBAN_ERR_NULL;
    if (out_size > 0) out[0] = '\0';
    char electronic[iban_max_length + 1];
    if (!electronic_form(in, electronic)) return SEPA_IBAN_ERR_INVALID;
    return deliver(electronic, out, out_size);
}

extern "C" SEPA_API int sepa_iban_format(const char *in, char *out, size_t out_size) {
    if (in == nullptr || out == nullptr) return SEPA_IBAN_ERR_NULL;
    if (out_size > 0) out[0] = '\0';
    char electronic[iban_max_length + 1];
    if (!electronic_form(in, electronic)) return SEPA_IBAN_ERR_INVALID;
    char printed[SEPA_IBAN_PRINT_BUFSIZE];
    size_t length = 0;
    for (size_t i = 0; electronic[i] != '\0'; ++i) {
        if (i > 0 && i % 4 == 0) printed[length++] = ' ';
        printed[length++] = electronic[i];
    }
    printed[length] = '\0';
    return deliver(printed, out, out_size);
}
