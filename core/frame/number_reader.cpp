#include "core/frame/number_reader.h"

#include <cctype>
#include <cfloat>
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

bool read_decimal(const char *text, double *value) {
    if (text == nullptr) return false;
    bool out_of_range = false;
    const char *end = scan_decimal(text, value, &out_of_range);
    return *end == '\0' && !out_of_range;
}

double round_half_up(double x) {
    double base = std::floor(x);
    // x is mostly a product such as 1.005 * 100 = 100.49999999999999: a decimal half
    // that binary doubles miss by a few units in the last place. Those count as halves.
    double tolerance = 4 * DBL_EPSILON * std::fmax(1.0, std::fabs(x));
    return x - base >= 0.5 - tolerance ? base + 1.0 : base;
}
