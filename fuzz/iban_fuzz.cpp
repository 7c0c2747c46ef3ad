// Runs arbitrary bytes, as one NUL-terminated text, through the IBAN check, the
// inspection, the normal and printed forms, the bank lookup of an IBAN and the BIC of
// an IBAN. Every IBAN the check accepts must hold a country code of the SEPA area with
// its length and pass ISO 7064 mod 97-10, which this target computes on its own.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sepa.h"

namespace {

// The SEPA IBAN countries and their lengths, written down here independently of the
// library's table.
struct country_length {
    char code[3];
    size_t length;
};

constexpr country_length known_lengths[] = {
    {"AT", 20}, {"BE", 16}, {"BG", 22}, {"HR", 21}, {"CY", 28}, {"CZ", 24}, {"DK", 18}, {"FO", 18}, {"GL", 18},
    {"EE", 20}, {"FI", 18}, {"FR", 27}, {"DE", 22}, {"GI", 23}, {"GR", 27}, {"HU", 28}, {"IS", 26}, {"IE", 22},
    {"IT", 27}, {"LV", 21}, {"LI", 21}, {"LT", 20}, {"LU", 20}, {"MT", 31}, {"MC", 27}, {"NL", 18}, {"NO", 15},
    {"PL", 28}, {"PT", 25}, {"RO", 24}, {"SM", 27}, {"SK", 24}, {"SI", 19}, {"ES", 24}, {"SE", 24}, {"CH", 21},
    {"GB", 22}, {"AD", 24}, {"VA", 22}, {"AL", 28}, {"MD", 24}, {"ME", 22}, {"MK", 19}, {"RS", 22},
};

bool length_fits_country(const std::string &iban) {
    for (const country_length &row : known_lengths) {
        if (iban.compare(0, 2, row.code) == 0) return iban.size() == row.length;
    }
    return false;
}

// Mod 97-10 of the IBAN with its first four characters moved to the end; letters
// count as 10..35. Only digits and upper-case letters pass.
bool mod97_holds(const std::string &iban) {
    if (iban.size() < 5) return false;
    const std::string moved = iban.substr(4) + iban.substr(0, 4);
    unsigned remainder = 0;
    for (char c : moved) {
        if (c >= '0' && c <= '9') {
            remainder = (remainder * 10 + static_cast<unsigned>(c - '0')) % 97;
        } else if (c >= 'A' && c <= 'Z') {
            remainder = (remainder * 100 + static_cast<unsigned>(c - 'A' + 10)) % 97;
        } else {
            return false;
        }
    }
    return remainder == 1;
}

bool all_zero(const char *bytes, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

size_t touch(const char *text) { return text == nullptr ? 0 : std::strlen(text); }

template <size_t N>
void require_terminated(const char (&field)[N]) {
    if (strnlen(field, N) == N) std::abort();
}

// The inspection agrees with the check and keeps every text inside its field; the
// electronic form has letters and digits only and survives the printed form.
void inspect_and_forms(const char *text, const std::string &seen, int checked) {
    sepa_iban_info_t info;
    const int inspected = sepa_iban_inspect(text, &info);
    if (inspected != SEPA_IBAN_OK && inspected != SEPA_IBAN_ERR_INVALID) std::abort();
    if ((inspected == SEPA_IBAN_OK) != (info.reason == SEPA_IBAN_REASON_NONE)) std::abort();
    if (info.reason < SEPA_IBAN_REASON_NONE || info.reason > SEPA_IBAN_REASON_ACCOUNT) std::abort();
    if (checked == SEPA_IBAN_OK && inspected != SEPA_IBAN_OK) std::abort();
    require_terminated(info.country);
    require_terminated(info.bban);
    require_terminated(info.bank_id);
    require_terminated(info.branch_id);
    require_terminated(info.bank_name);
    require_terminated(info.bank_city);
    if (inspected == SEPA_IBAN_OK && std::string(info.country) + info.check_digits + info.bban != seen) std::abort();

    char electronic[SEPA_IBAN_BUFSIZE];
    char printed[SEPA_IBAN_PRINT_BUFSIZE];
    const int normalized = sepa_iban_normalize(text, electronic, sizeof electronic);
    const int formatted = sepa_iban_format(text, printed, sizeof printed);
    if (normalized != formatted) std::abort();
    if (normalized != SEPA_IBAN_OK) {
        if (normalized != SEPA_IBAN_ERR_INVALID || electronic[0] != '\0' || printed[0] != '\0') std::abort();
        return;
    }
    const size_t length = std::strlen(electronic);
    if (length == 0 || length > 34) std::abort();
    for (size_t i = 0; i < length; ++i) {
        const char c = electronic[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) std::abort();
    }
    char again[SEPA_IBAN_BUFSIZE];
    if (sepa_iban_normalize(printed, again, sizeof again) != SEPA_IBAN_OK || std::strcmp(again, electronic) != 0) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // The text ends at the first NUL byte of the input, as a C caller's would.
    const std::string iban(reinterpret_cast<const char *>(data), size);
    const char *text = iban.c_str();
    const std::string seen(text);

    const int checked = sepa_iban_check(text);
    if (checked != 1 && checked != -1) std::abort();
    if (checked == 1 && (!mod97_holds(seen) || !length_fits_country(seen))) std::abort();
    inspect_and_forms(text, seen, checked);

    sepa_bankinfo_t *info = nullptr;
    const int bank = sepa_iban_getBank(text, &info);
    if (bank < -3 || bank > 1) std::abort();
    if (bank == 1) {
        if (info == nullptr) std::abort();
        volatile size_t sink = touch(info->name) + touch(info->zip) + touch(info->city) + touch(info->country) +
                               touch(info->bic) + info->flags;
        (void)sink;
    } else if (info != nullptr) {
        std::abort();  // only a found bank hands out a block
    }
    std::free(info);
    // A bank is found only for an IBAN the check accepts.
    if (bank == 1 && checked != 1) std::abort();
    if (checked == -1 && bank != -1) std::abort();
    // The check of a German IBAN has found its bank already.
    if (checked == 1 && seen.compare(0, 2, "DE") == 0 && bank != 1) std::abort();
    if (sepa_iban_getBank(text, nullptr) != bank) std::abort();

    // Guard bytes around the 12 bytes the interface may write.
    char bic[16];
    std::memset(bic, 0x5A, sizeof bic);
    const int found = sepa_iban_getBIC(text, bic + 2);
    if (found < -3 || found > 1) std::abort();
    if (bic[0] != 0x5A || bic[1] != 0x5A || bic[14] != 0x5A || bic[15] != 0x5A) std::abort();
    if (found == 1) {
        const size_t length = strnlen(bic + 2, 12);
        if (length != 0 && length != 11) std::abort();
    } else if (!all_zero(bic + 2, 12)) {
        std::abort();
    }
    return 0;
}
