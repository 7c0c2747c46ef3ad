#include "core/message/non_eea_bic.h"

#include <cstring>

#include "core/frame/text_checks.h"

namespace {

// SEPA countries and territories outside the EEA.
// TODO(iban merge): replace by the country table generated from sepa_countries.csv.
bool country_outside_eea(char a, char b) {
    static const char *const non_eea[] = {"AD", "AL", "CH", "GB", "GG", "GI", "IM", "JE",
                                          "MC", "MD", "ME", "MK", "PM", "RS", "SM", "VA"};
    for (const char *code : non_eea)
        if (code[0] == a && code[1] == b) return true;
    return false;
}

}  // namespace

int is_non_eea_bic(const char *bic) {
    if (bic == nullptr || std::strlen(bic) < 8) return -1;
    return country_outside_eea(ascii_upper(bic[4]), ascii_upper(bic[5])) ? 1 : 0;
}

bool bank_outside_eea(const char *bic, const char *iban) {
    if (bic != nullptr) return is_non_eea_bic(bic) == 1;
    return iban != nullptr && std::strlen(iban) >= 2 && country_outside_eea(ascii_upper(iban[0]), ascii_upper(iban[1]));
}
