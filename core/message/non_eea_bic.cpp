#include "core/message/non_eea_bic.h"

#include <cstring>

#include "core/frame/text_checks.h"
#include "core/iban/sepa_area.h"

int is_non_eea_bic(const char *bic) {
    if (bic == nullptr || std::strlen(bic) < 8) return -1;
    const char country[3] = {ascii_upper(bic[4]), ascii_upper(bic[5]), '\0'};
    const sepa_area_row *row = sepa_area_find(country);
    return row != nullptr && !row->eea ? 1 : 0;
}
