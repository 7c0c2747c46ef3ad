#include "core/bank/bank_record.h"
#include "core/iban/iban_bank_code.h"
#include "core/iban_check/iban_validate.h"
#include "sepa.h"

// The bank of a valid IBAN through the national bank code inside it.
extern "C" SEPA_API int sepa_iban_getBank(const char *iban, sepa_bankinfo_t **info) {
    if (iban_validate(iban, nullptr) != 1) return -1;
    char bank_code[9];
    if (iban_bank_code(iban, bank_code) == 0) return 0;
    const char country[3] = {iban[0], iban[1], '\0'};
    return bankinfo_by_code(country, bank_code, info);
}
