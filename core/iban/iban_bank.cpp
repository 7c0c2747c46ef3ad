#include <cstring>

#include "sepa.h"

// The bank of an IBAN through the national bank code inside it.
extern "C" SEPA_API int sepa_iban_getBank(const char *iban, sepa_bankinfo_t **info) {
    if (sepa_iban_check(iban) != 1) return -1;
    struct country_code {
        const char *country;
        size_t length;
    };
    // Where the bank code sits: always from the fifth character on.
    static const country_code codes[] = {{"AT", 5}, {"CH", 5}, {"LI", 5}, {"DE", 8}};
    for (const country_code &c : codes) {
        if (std::strncmp(iban, c.country, 2) != 0) continue;
        char bank_code[9];
        std::memcpy(bank_code, iban + 4, c.length);
        bank_code[c.length] = '\0';
        char country[3] = {iban[0], iban[1], '\0'};
        return sepa_bankid_check(country, bank_code, info);
    }
    return 0;
}
