#include "core/iban/sepa_area.h"

#include <algorithm>
#include <cstring>

const sepa_area_row *sepa_area_find(const char *country) {
    if (country == nullptr || country[0] == '\0' || country[1] == '\0') return nullptr;
    const sepa_area_row *end = sepa_area_table + sepa_area_count;
    const sepa_area_row *row = std::lower_bound(
        sepa_area_table, end, country,
        [](const sepa_area_row &r, const char *c) { return std::strncmp(r.code, c, 2) < 0; });
    return row != end && std::strncmp(row->code, country, 2) == 0 ? row : nullptr;
}

bool country_in_sepa(const char *country) {
    const sepa_area_row *row = sepa_area_find(country);
    return row != nullptr && row->sepa;
}

bool country_in_eea(const char *country) {
    const sepa_area_row *row = sepa_area_find(country);
    return row != nullptr && row->eea;
}
