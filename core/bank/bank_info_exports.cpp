// The exported bank lookups by national bank code and by BIC.
#include "core/bank/bank_code_country.h"
#include "core/bank/bank_record.h"
#include "sepa.h"

int bankinfo_by_code(const char *country, const char *code, sepa_bankinfo_t **info) {
    if (bank_code_width(country) == 0) return 0;
    if (info == nullptr) return bank_lookup(country, code, nullptr) ? 1 : -2;
    bank_record_t record;
    if (!bank_lookup(country, code, &record)) return -2;
    sepa_bankinfo_t *block = bankinfo_pack(&record, 0);
    if (block == nullptr) return -3;
    *info = block;
    return 1;
}

extern "C" {

SEPA_API int sepa_bankid_check(const char *country, const char *code, sepa_bankinfo_t **info) {
    return bankinfo_by_code(country, code, info);
}

SEPA_API int sepa_bic_getBank(const char *bic, sepa_bankinfo_t **info) {
    if (info == nullptr) return bic_lookup(bic, nullptr) ? 1 : -2;
    bank_record_t record;
    if (!bic_lookup(bic, &record)) return -2;
    sepa_bankinfo_t *block = bankinfo_pack(&record, record.scl_flags);
    if (block == nullptr) return -3;
    *info = block;
    return 1;
}

}  // extern "C"
