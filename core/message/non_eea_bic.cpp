#include "core/message/non_eea_bic.h"

#include <cstring>

#include "core/frame/text_checks.h"
#include "core/iban/sepa_area.h"

namespace {

// A country of the generated SEPA area table that lies outside the EEA.
bool country_outside_eea(char a, char b) {
    const char country[3] = {ascii_upper(a), ascii_upper(b), '\0'};
    const sepa_area_row *row = sepa_area_find(country);
    return row != nullptr && !row->eea;
}

}  // namespace

int is_non_eea_bic(const char *bic) {
    if (bic == nullptr || std::strlen(bic) < 8) return -1;
    return country_outside_eea(bic[4], bic[5]) ? 1 : 0;
}

bool bank_outside_eea(const char *bic, const char *iban) {
    if (bic != nullptr) return is_non_eea_bic(bic) == 1;
    return iban != nullptr && std::strlen(iban) >= 2 && country_outside_eea(iban[0], iban[1]);
}
