#include "core/statement/mt940_values.h"

#include <cstring>

#include "core/frame/number_reader.h"

namespace mt940 {

bool digits_at(const char *p, const char *end, int count) {
    if (end - p < count) return false;
    for (int i = 0; i < count; ++i) {
        if (!is_digit(p[i])) return false;
    }
    return true;
}

int digits_value(const char *p, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i) value = value * 10 + (p[i] - '0');
    return value;
}

struct tm make_date(int year_2digit, int month, int day) {
    struct tm date;
    std::memset(&date, 0, sizeof date);
    date.tm_mday = day;
    date.tm_mon = month - 1;
    date.tm_year = year_2digit < 80 ? 100 + year_2digit : year_2digit;
    return date;
}

bool read_yymmdd(const char *p, const char *end, struct tm *date) {
    if (!digits_at(p, end, 6)) return false;
    *date = make_date(digits_value(p, 2), digits_value(p + 2, 2), digits_value(p + 4, 2));
    return true;
}

const char *read_unsigned(const char *p, const char *end, uint32_t *value) {
    uint64_t number = 0;
    const char *q = p;
    while (q < end && is_digit(*q)) {
        number = number * 10 + static_cast<uint64_t>(*q - '0');
        if (number > UINT32_MAX) return nullptr;
        ++q;
    }
    if (q == p) return nullptr;
    *value = static_cast<uint32_t>(number);
    return q;
}

int read_code(const char *p, const char *end, int width) {
    while (p < end && (*p == ' ' || *p == '\t')) ++p;
    int value = 0;
    for (int i = 0; i < width && p < end && is_digit(*p); ++i, ++p) value = value * 10 + (*p - '0');
    return value;
}

double parse_comma_amount(char *p, const char *comma_end) {
    for (char *q = p; q < comma_end; ++q) {
        if (*q == ',') {
            *q = '.';
            break;
        }
    }
    double value = 0.0;
    bool out_of_range = false;
    scan_decimal(p, &value, &out_of_range);
    return out_of_range ? 0.0 : value;
}

}  // namespace mt940
