// The exported bank lookups by national bank code and by BIC.
#include "core/bank/bank_code_country.h"
#include "core/bank/bank_record.h"
#include "sepa.h"

int bankinfo_by_code(const char *country, const char *code, sepa_bankinfo_t **info) {
    if (bank_code_width(country) == 0) return SEPA_BANK_UNSUPPORTED;
    // Without a block only whether the code is there: nothing is copied.
    if (info == nullptr) return bank_lookup(country, code, nullptr) ? SEPA_BANK_OK : SEPA_BANK_ERR_UNKNOWN;
    bank_record_t record;
    if (!bank_lookup(country, code, &record)) return SEPA_BANK_ERR_UNKNOWN;
    sepa_bankinfo_t *block = bankinfo_pack(&record, 0);
    if (block == nullptr) return SEPA_BANK_ERR_NOMEM;
    *info = block;
    return SEPA_BANK_OK;
}

extern "C" {

SEPA_API int sepa_bankid_check(const char *country, const char *code, sepa_bankinfo_t **info) {
    return bankinfo_by_code(country, code, info);
}

SEPA_API int sepa_bic_getBank(const char *bic, sepa_bankinfo_t **info) {
    if (info == nullptr) return bic_lookup(bic, nullptr) ? SEPA_BANK_OK : SEPA_BANK_ERR_UNKNOWN;
    bank_record_t record;
    if (!bic_lookup(bic, &record)) return SEPA_BANK_ERR_UNKNOWN;
    sepa_bankinfo_t *block = bankinfo_pack(&record, record.scl_flags);
    if (block == nullptr) return SEPA_BANK_ERR_NOMEM;
    *info = block;
    return SEPA_BANK_OK;
}

}  // extern "C"
