#include "core/message/amount.h"

#include "core/frame/number_reader.h"

const char *validate_amount(const char *value, double *amount) {
    double number = 0;
    if (!read_decimal(value, &number)) return "Invalid amount";
    if (number == 0) return "Empty amount not allowed";
    if (number < 0) return "Negative or zero amount not allowed";
    const double cents = round_half_up(number * 100.0);
    // Above the schemas' limit (and far above it, where cents no longer fit the
    // writer's 64-bit integer) the amount is refused; `!(<=)` also catches infinity.
    if (!(cents <= MAX_AMOUNT_CENTS)) return "Invalid amount";
    // Dividing gives the double nearest to the cent value (0.57, not 0.5700000000000001).
    *amount = cents / 100.0;
    return nullptr;
}
