// Failure reports on a payment message: the handle's error points at a constant
// text or at its own error_buf, which the caller has filled with format_text.
#pragma once

#include "sepa.h"

// Points the message's error at `text`; returns 0, the failure result.
inline int message_fail(sepa_t *message, const char *text) {
    message->error = text;
    return 0;
}
