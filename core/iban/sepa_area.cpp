#include "core/iban/sepa_area.h"

#include <algorithm>

namespace {

// The two letters as one number that sorts as the text does.
unsigned code_key(const char *code) {
    return static_cast<unsigned char>(code[0]) << 8 | static_cast<unsigned char>(code[1]);
}

}  // namespace

const sepa_area_row *sepa_area_find(const char *country) {
    if (country == nullptr || country[0] == '\0' || country[1] == '\0') return nullptr;
    const unsigned key = code_key(country);
    const sepa_area_row *end = sepa_area_table + sepa_area_count;
    const sepa_area_row *row = std::lower_bound(
        sepa_area_table, end, key, [](const sepa_area_row &r, unsigned k) { return code_key(r.code) < k; });
    return row != end && code_key(row->code) == key ? row : nullptr;
}

bool country_in_sepa(const char *country) {
    const sepa_area_row *row = sepa_area_find(country);
    return row != nullptr && row->sepa;
}

bool country_in_eea(const char *country) {
    const sepa_area_row *row = sepa_area_find(country);
    return row != nullptr && row->eea;
}
