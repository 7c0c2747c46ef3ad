#include "core/iban/iban_validate.h"

#include <cctype>
#include <cstdint>
#include <cstring>

#include "core/bank/bank_record.h"
#include "core/convert/iban_rule_forms.h"
#include "core/iban/iban_country_table.h"
#include "sepa.h"

namespace {

// German IBANs: bank code (positions 4-11) must be in the directory and the
// account number (12-21) must pass the bank's check-digit method, unless the
// bank's IBAN rule itself forms this IBAN (accepted-account lists, rotation).
const char *german_account_error(const char *iban) {
    char bank_code[9];
    char account[11];
    std::memcpy(bank_code, iban + 4, 8);
    bank_code[8] = '\0';
    std::memcpy(account, iban + 12, 10);
    account[10] = '\0';
    bank_record_t record;
    if (bank_lookup("DE", bank_code, &record) != 1) return "Invalid bank ID (BLZ) in IBAN";
    if (sepa_account_check2(account, bank_code, record.method) == -1 && !iban_rule_forms(bank_code, account)) {
        return "Invalid account number in IBAN";
    }
    return nullptr;
}

const char *iban_error(const char *iban) {
    if (iban == nullptr) return "Invalid IBAN (NULL)";
    pattern_set &patterns = iban_patterns();
    if (patterns.get(0) == nullptr) return "Error while initializing regular expressions";
    const int row = iban_country_find(iban);
    if (row < 0) return "Invalid or unknown IBAN country code";
    const size_t length = std::strlen(iban);
    if (length != iban_country_table[row].length) return "Wrong IBAN length";
    if (!patterns.matches(static_cast<size_t>(row), iban)) return "Invalid IBAN format";
    if (iban_mod97(iban, length) != 1) return "Invalid IBAN checksum";
    // The pattern admits only an upper-case country code, so this compare is exact.
    if (std::strncmp(iban, "DE", 2) == 0) return german_account_error(iban);
    return nullptr;
}

// Value of an IBAN character in the mod-97 walk: digits 0-9, letters 10-35, -1 else.
int iban_char_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    return -1;
}

}  // namespace

int iban_mod97(const char *iban, size_t length) {
    // The remainder is taken only when the running value grows large, which keeps
    // divisions out of the loop.
    uint64_t value = 0;
    auto feed = [&value](const char *from, const char *to) {
        for (const char *c = from; c < to; ++c) {
            const int v = iban_char_value(*c);
            if (v < 0) return false;
            value = v < 10 ? value * 10 + static_cast<uint64_t>(v) : value * 100 + static_cast<uint64_t>(v);
            if (value >= 1'000'000'000'000'000ULL) value %= 97;
        }
        return true;
    };
    const size_t split = length < 4 ? length : 4;
    if (!feed(iban + split, iban + length) || !feed(iban, iban + split)) return -1;
    return static_cast<int>(value % 97);
}

int iban_validate(const char *iban, const char **error) {
    const char *reason = iban_error(iban);
    if (reason == nullptr) return 1;
    if (error != nullptr) *error = reason;
    return 0;
}

extern "C" SEPA_API int sepa_iban_check(const char *iban) { return iban_validate(iban, nullptr) == 1 ? 1 : -1; }
