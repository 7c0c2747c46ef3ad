// sepa_iban_getBIC: the BIC of the bank named in an IBAN of AT, CH, LI or DE, with
// the BICs that two German IBAN rules fix regardless of the bank's own entry.
#include <cstring>

#include "core/bank/bank_record.h"
#include "core/iban/iban_bank_code.h"
#include "core/iban/iban_structure.h"
#include "sepa.h"

namespace {

// Rule entry 5 fixes the BIC for bank codes with "4" as 4th digit unless digits 5
// and 6 are both "1"; rule entry 14 always.
const char *rule_fixed_bic(int rule_entry, const char *bank_code) {
    if (rule_entry == 5 && bank_code[3] == '4' && !(bank_code[4] == '1' && bank_code[5] == '1')) return "COBADEFFXXX";
    if (rule_entry == 14) return "DAAEDEDDXXX";
    return nullptr;
}

}  // namespace

extern "C" SEPA_API int sepa_iban_getBIC(const char *iban, char *bic) {
    if (bic != nullptr) std::memset(bic, 0, SEPA_BIC_BUFSIZE);
    if (iban == nullptr || bic == nullptr) return SEPA_CONVERT_ERR_INVALID;
    if (iban[0] == '\0') return SEPA_CONVERT_UNSUPPORTED;
    // The bank directory knows which countries have bank codes and how wide they
    // are (Liechtenstein's among the Swiss); the IBAN table knows the IBAN length.
    char bank_code[9];
    if (iban_bank_code(iban, bank_code) == 0) return SEPA_CONVERT_UNSUPPORTED;
    const iban_country_t *row = iban_country_of(iban);
    if (row == nullptr || std::strlen(iban) != row->length) return SEPA_CONVERT_ERR_INVALID;
    const char country[3] = {iban[0], iban[1], '\0'};
    bank_record_t record;
    if (!bank_lookup_bic(country, bank_code, &record)) return SEPA_CONVERT_ERR_UNKNOWN;
    if (record.bic != nullptr) {
        for (size_t i = 0; i < 11 && record.bic[i] != '\0'; ++i) bic[i] = record.bic[i];
    }
    if (std::strcmp(country, "DE") == 0) {
        if (const char *fixed = rule_fixed_bic(record.iban_rule / 100, bank_code))
            std::memcpy(bic, fixed, SEPA_BIC_BUFSIZE);
    }
    return SEPA_CONVERT_OK;
}
