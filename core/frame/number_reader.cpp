#include "core/frame/number_reader.h"

#include <cctype>
#include <cmath>

namespace {
constexpr int max_exponent = 511;
// 10^(2^i), enough to build any power of ten up to 10^511 by binary decomposition.
constexpr double powers_of_ten[] = {1e1, 1e2, 1e4, 1e8, 1e16, 1e32, 1e64, 1e128, 1e256};
}  // namespace

const char *scan_decimal(const char *text, double *value, bool *out_of_range) {
    *value = 0.0;
    *out_of_range = false;
    const char *p = text;
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    bool negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';

    // Mantissa: count digits and find the decimal point.
    const char *mantissa = p;
    int digits = 0;
    int point = -1;
    for (;; ++p) {
        if (std::isdigit(static_cast<unsigned char>(*p))) {
            ++digits;
        } else if (*p == '.' && point < 0) {
            point = digits;
        } else {
            break;
        }
    }
    if (digits == 0) return text;
    const char *after_mantissa = p;
    if (point < 0) point = digits;

    // Leading zeros carry no value: counting them among the 18 digits would read
    // "0000000000000000012.34" as 10.
    const char *q = mantissa;
    int leading_zeros = 0;
    for (; leading_zeros < digits; ++q) {
        if (*q == '.') continue;
        if (*q != '0') break;
        ++leading_zeros;
    }

    // Use at most 18 significant digits; the dropped ones only shift the exponent.
    const int significant = digits - leading_zeros;
    int used = significant > 18 ? 18 : significant;
    int fraction_exponent = point - leading_zeros - used;
    long long first = 0, second = 0;
    for (int i = 0; i < used; ++q) {
        if (*q == '.') continue;
        if (i < 9) first = first * 10 + (*q - '0');
        else second = second * 10 + (*q - '0');
        ++i;
    }
    double fraction = static_cast<double>(first);
    if (used > 9) fraction = fraction * std::pow(10.0, used - 9) + static_cast<double>(second);

    // Exponent.
    p = after_mantissa;
    long exponent = 0;
    if (*p == 'e' || *p == 'E') {
        ++p;
        bool exponent_negative = false;
        if (*p == '-' || *p == '+') exponent_negative = *p++ == '-';
        while (std::isdigit(static_cast<unsigned char>(*p))) {
            if (exponent < 100000) exponent = exponent * 10 + (*p - '0');
            ++p;
        }
        if (exponent_negative) exponent = -exponent;
    }
    exponent += fraction_exponent;

    bool divide = exponent < 0;
    long magnitude = divide ? -exponent : exponent;
    if (magnitude > max_exponent) {
        *out_of_range = true;
        magnitude = max_exponent;
    }
    double scale = 1.0;
    for (int i = 0; magnitude != 0; magnitude >>= 1, ++i) {
        if (magnitude & 1) scale *= powers_of_ten[i];
    }
    double result = divide ? fraction / scale : fraction * scale;
    if (!std::isfinite(result)) *out_of_range = true;
    *value = negative ? -result : result;
    return p;
}

cents_result read_cents(const char *text, int64_t max_cents, int64_t *cents) {
    if (text == nullptr) return cents_result::malformed;
    const char *p = text;
    // Whole euros; once past the limit the value only has to keep its form.
    int64_t value = 0;
    bool too_large = false;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (!too_large) value = value * 10 + (*p - '0');
        if (value > max_cents) too_large = true;
    }
    if (p == text) return cents_result::malformed;
    int decimals = 0;
    int64_t fraction = 0;
    if (*p == '.') {
        for (++p; *p >= '0' && *p <= '9' && decimals < 3; ++p, ++decimals) fraction = fraction * 10 + (*p - '0');
    }
    if (*p != '\0' || decimals > 2) return cents_result::malformed;
    if (decimals == 1) fraction *= 10;
    if (too_large || value > (max_cents - fraction) / 100) return cents_result::too_large;
    *cents = value * 100 + fraction;
    return cents_result::ok;
}
