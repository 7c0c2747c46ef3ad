// Setters of the initiating side of a payment message. Each validates completely
// before it changes anything: a refusal leaves every field as it was and only sets
// the error text.
#include <cstring>

#include "core/frame/rulebook.h"
#include "core/frame/text_checks.h"
#include "core/iban_check/iban_validate.h"
#include "core/message/bic_text.h"
#include "core/message/calendar_date.h"
#include "core/message/creditor_id_check.h"
#include "core/message/message_error.h"
#include "core/message/message_id_check.h"
#include "core/message/owned_text.h"
#include "sepa.h"

namespace {

// Stores a private copy of an accepted value; a failed copy keeps the previous value.
int store_copy(sepa_t *message, char **field, const char *value, const char *copy_failure) {
    return text_store(field, value) ? 1 : message_fail(message, copy_failure);
}

}  // namespace

extern "C" SEPA_API int sepa_setIBAN(sepa_t *message, const char *iban) {
    if (message == nullptr) return 0;
    const char *reason = nullptr;
    if (!iban_validate(iban, &reason)) {
        // The reason of a NULL argument already says so; there is nothing to quote.
        if (iban == nullptr) return message_fail(message, reason);
        format_text(message->error_buf, sizeof message->error_buf, "%s (%s)", reason, iban);
        return message_fail(message, message->error_buf);
    }
    return store_copy(message, &message->iban, iban, "strdup() failed");
}

extern "C" SEPA_API int sepa_setBIC(sepa_t *message, const char *bic) {
    if (message == nullptr) return 0;
    char upper[BIC_TEXT_SIZE];
    if (!bic_upper_copy(bic, upper)) return message_fail(message, "sepa_setBIC: invalid BIC");
    if (!check_bic_format(upper)) return message_fail(message, "sepa_setBIC: invalid BIC format");
    return store_copy(message, &message->bic, upper, "sepa_setBIC: strdup() failed");
}

extern "C" SEPA_API int sepa_setName(sepa_t *message, const char *name) {
    if (message == nullptr) return 0;
    if (name == nullptr || name[0] == '\0') return message_fail(message, "sepa_setAccount: Name too short");
    if (std::strlen(name) > 70) return message_fail(message, "sepa_setAccount: Name too long");
    char bad = 0;
    if (!check_text(name, &bad, 2)) {
        format_text(message->error_buf, sizeof message->error_buf, "sepa_setName: invalid character '%c' in name",
                    bad);
        return message_fail(message, message->error_buf);
    }
    return store_copy(message, &message->name, name, "sepa_setName: strdup() failed");
}

extern "C" SEPA_API int sepa_setCreditorIdentifier(sepa_t *message, const char *creditor_id) {
    if (message == nullptr) return 0;
    if (const char *reason = creditor_id_error(creditor_id)) return message_fail(message, reason);
    return store_copy(message, &message->creditor_id, creditor_id, "strdup() failed");
}

extern "C" SEPA_API int sepa_setDate(sepa_t *message, const char *date) {
    if (message == nullptr) return 0;
    if (date == nullptr || std::strlen(date) != 10) return message_fail(message, "Invalid date");
    if (!is_calendar_date(date)) return message_fail(message, "Invalid date format");
    return store_copy(message, &message->date, date, "strdup() failed");
}

extern "C" SEPA_API int sepa_setDDType(sepa_t *message, int dd_type) {
    if (message == nullptr) return 0;
    if (message->type != SEPA_MSGTYPE_DDI) return message_fail(message, "Not a direct debit message");
    const int rulebook = current_rulebook();
    if (dd_type == SEPA_DDTYPE_COR1 && !rulebook_allows_cor1(rulebook)) {
        return message_fail(message, "COR1 is not allowed with selected SEPA rulebook");
    }
    if (dd_type != SEPA_DDTYPE_CORE && dd_type != SEPA_DDTYPE_COR1 && dd_type != SEPA_DDTYPE_B2B) {
        return message_fail(message, "Unknown/unsupported LocalInstrumentCode (setDDType)");
    }
    message->dd_type = dd_type;
    return 1;
}

extern "C" SEPA_API int sepa_setBatchBooking(sepa_t *message, uint8_t mode) {
    if (message == nullptr) return 0;
    if (mode > 1) return message_fail(message, "Invalid BatchBooking mode (only 0 or 1 allowed)");
    message->batch_booking = mode;
    return 1;
}

extern "C" SEPA_API int sepa_setMessageId(sepa_t *message, const char *message_id) {
    if (message == nullptr) return 0;
    if (!check_message_id(message_id)) return message_fail(message, "Invalid message id");
    return store_copy(message, &message->message_id, message_id, "strdup() failed");
}
