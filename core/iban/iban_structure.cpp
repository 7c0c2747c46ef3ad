#include "core/iban/iban_structure.h"

#include <cstring>

#include "core/iban/iban_check_digits.h"
#include "core/iban/iban_country_table.h"

const char *iban_structure_error(const char *iban) {
    if (iban == nullptr) return "Invalid IBAN (NULL)";
    pattern_set &patterns = iban_patterns();
    if (patterns.get(0) == nullptr) return "Error while initializing regular expressions";
    const int row = iban_country_find(iban);
    if (row < 0) return "Invalid or unknown IBAN country code";
    const size_t length = std::strlen(iban);
    if (length != iban_country_table[row].length) return "Wrong IBAN length";
    if (!patterns.matches(static_cast<size_t>(row), iban)) return "Invalid IBAN format";
    if (iban_mod97(iban, length) != 1) return "Invalid IBAN checksum";
    return nullptr;
}
