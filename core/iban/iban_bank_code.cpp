#include "core/iban/iban_bank_code.h"

#include <cstring>

#include "core/bank/bank_code_country.h"

size_t iban_bank_code(const char *iban, char *bank_code) {
    bank_code[0] = '\0';
    if (iban == nullptr || iban[0] == '\0' || iban[1] == '\0') return 0;
    const char country[3] = {iban[0], iban[1], '\0'};
    const size_t width = bank_code_width(country);
    const size_t available = strnlen(iban, 4 + width);
    const size_t copied = available > 4 ? available - 4 : 0;
    std::memcpy(bank_code, iban + 4, copied);
    bank_code[copied] = '\0';
    return width;
}
