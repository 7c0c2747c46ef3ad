#include "core/message/amount.h"

#include "core/frame/number_reader.h"
#include "core/frame/text_checks.h"

const char *read_amount(const char *value, int64_t *cents, char *error_buf, size_t error_size) {
    if (value != nullptr && value[0] == '\0') return "Empty amount not allowed";
    // A minus sign before an amount of the right form: say what is wrong with it.
    const bool negative = value != nullptr && value[0] == '-';
    int64_t read = 0;
    const cents_result result = read_cents(negative ? value + 1 : value, MAX_AMOUNT_CENTS, &read);
    if (result == cents_result::ok && read == 0) return "Empty amount not allowed";
    if (negative && result != cents_result::malformed) return "Negative or zero amount not allowed";
    if (result != cents_result::ok) {
        char quoted[QUOTED_TEXT_SIZE];
        quote_text(value, quoted);
        if (value == nullptr) {
            format_text(error_buf, error_size, "Invalid amount (NULL)");
        } else if (result == cents_result::too_large) {
            format_text(error_buf, error_size, "Invalid amount '%s' (at most 999999999.99)", quoted);
        } else {
            format_text(error_buf, error_size,
                        "Invalid amount '%s' (digits, optionally a full stop and up to two decimals, e.g. 60.00)",
                        quoted);
        }
        return error_buf;
    }
    *cents = read;
    return nullptr;
}
