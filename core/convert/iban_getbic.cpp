// sepa_iban_getBIC: the BIC of the bank named in an IBAN of AT, CH, LI or DE, with
// the BICs that two German IBAN rules fix regardless of the bank's own entry.
#include <cstring>

#include "core/bank/bank_record.h"
#include "sepa.h"

namespace {

struct iban_layout {
    const char prefix[3];
    size_t length;
    size_t bank_code_length;
    const char *lookup_country;
};

constexpr iban_layout layouts[] = {
    {"AT", 20, 5, "AT"},
    {"CH", 21, 5, "CH"},
    {"LI", 21, 5, "CH"},  // Liechtenstein banks are entries of the Swiss table
    {"DE", 22, 8, "DE"},
};

// Rule entry 5 fixes the BIC for bank codes with "4" as 4th digit unless digits 5
// and 6 are both "1"; rule entry 14 always.
const char *rule_fixed_bic(int rule_entry, const char *bank_code) {
    if (rule_entry == 5 && bank_code[3] == '4' && !(bank_code[4] == '1' && bank_code[5] == '1'))
        return "COBADEFFXXX";
    if (rule_entry == 14) return "DAAEDEDDXXX";
    return nullptr;
}

}  // namespace

extern "C" SEPA_API int sepa_iban_getBIC(const char *iban, char *bic) {
    if (bic != nullptr) std::memset(bic, 0, 12);
    if (iban == nullptr || bic == nullptr) return -1;
    const iban_layout *layout = nullptr;
    for (const iban_layout &candidate : layouts) {
        if (std::strncmp(iban, candidate.prefix, 2) == 0) {
            layout = &candidate;
            break;
        }
    }
    if (layout == nullptr) return 0;
    if (std::strlen(iban) != layout->length) return -1;

    char bank_code[9] = {};
    std::memcpy(bank_code, iban + 4, layout->bank_code_length);
    bank_record_t record;
    if (!bank_lookup(layout->lookup_country, bank_code, &record)) return -3;
    if (record.bic != nullptr) {
        for (size_t i = 0; i < 11 && record.bic[i] != '\0'; ++i) bic[i] = record.bic[i];
    }
    if (std::strcmp(layout->prefix, "DE") == 0) {
        if (const char *fixed = rule_fixed_bic(record.iban_rule / 100, bank_code)) std::memcpy(bic, fixed, 12);
    }
    return 1;
}
