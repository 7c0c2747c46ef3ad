#include <cstring>

#include "core/bank/bank_code_country.h"
#include "sepa.h"

// The bank of an IBAN through the national bank code inside it, which always starts
// at the fifth character and is as wide as the country's bank codes.
extern "C" SEPA_API int sepa_iban_getBank(const char *iban, sepa_bankinfo_t **info) {
    if (sepa_iban_check(iban) != 1) return -1;
    const char country[3] = {iban[0], iban[1], '\0'};
    const size_t width = bank_code_width(country);
    if (width == 0) return 0;
    char bank_code[9];
    std::memcpy(bank_code, iban + 4, width);
    bank_code[width] = '\0';
    return sepa_bankid_check(country, bank_code, info);
}
