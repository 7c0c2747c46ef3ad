// Setters of the initiating side of a payment message. Each validates completely
// before it changes anything: a refusal leaves every field as it was and only sets
// the error text.
#include <cstring>

#include "core/frame/out_of_memory.h"
#include "core/frame/rulebook.h"
#include "core/frame/text_checks.h"
#include "core/iban_check/iban_validate.h"
#include "core/message/bic_text.h"
#include "core/message/calendar_date.h"
#include "core/message/creditor_id_check.h"
#include "core/message/message_error.h"
#include "core/message/message_id_check.h"
#include "core/message/owned_text.h"
#include "core/message/postal_address.h"
#include "sepa.h"

namespace {

// Stores a private copy of an accepted value; a failed copy keeps the previous value.
int store_copy(sepa_t *message, char **field, const char *value) {
    return text_store(field, value) ? 1 : message_fail(message, out_of_memory_text);
}

}  // namespace

extern "C" SEPA_API int sepa_setIBAN(sepa_t *message, const char *iban) {
    if (message == nullptr) return 0;
    const char *reason = nullptr;
    if (!iban_validate(iban, &reason)) {
        // The reason of a NULL argument already says so; there is nothing to quote.
        if (iban == nullptr) return message_fail(message, reason);
        char quoted[QUOTED_TEXT_SIZE];
        quote_text(iban, quoted);
        format_text(message->error_buf, sizeof message->error_buf, "%s (%s)", reason, quoted);
        return message_fail(message, message->error_buf);
    }
    return store_copy(message, &message->iban, iban);
}

extern "C" SEPA_API int sepa_setBIC(sepa_t *message, const char *bic) {
    if (message == nullptr) return 0;
    char upper[BIC_TEXT_SIZE];
    if (!bic_upper_copy(bic, upper)) return message_fail(message, "sepa_setBIC: invalid BIC");
    if (!check_bic_format(upper)) return message_fail(message, "sepa_setBIC: invalid BIC format");
    return store_copy(message, &message->bic, upper);
}

extern "C" SEPA_API int sepa_setName(sepa_t *message, const char *name) {
    if (message == nullptr) return 0;
    // The length texts name "sepa_setAccount" as they always have: callers match them.
    if (name == nullptr || name[0] == '\0') return message_fail(message, "sepa_setAccount: Name too short");
    if (std::strlen(name) > 70) return message_fail(message, "sepa_setAccount: Name too long");
    char *converted = nullptr;
    if (message->transliterate) {
        if (!text_transliterated(name, 2, &converted)) return message_fail(message, out_of_memory_text);
        name = converted;
    }
    const char *bad = nullptr;
    int result;
    if (!check_text(name, &bad, 2)) {
        char character[CHARACTER_TEXT_SIZE];
        describe_character(bad, character);
        format_text(message->error_buf, sizeof message->error_buf, "sepa_setName: invalid character '%s' in name",
                    character);
        result = message_fail(message, message->error_buf);
    } else {
        result = store_copy(message, &message->name, name);
    }
    text_wipe_free(&converted);
    return result;
}

extern "C" SEPA_API int sepa_setCreditorIdentifier(sepa_t *message, const char *creditor_id) {
    if (message == nullptr) return 0;
    if (const char *reason = creditor_id_error(creditor_id)) return message_fail(message, reason);
    return store_copy(message, &message->creditor_id, creditor_id);
}

extern "C" SEPA_API int sepa_setDate(sepa_t *message, const char *date) {
    if (message == nullptr) return 0;
    if (date == nullptr || std::strlen(date) != 10) return message_fail(message, "Invalid date");
    if (!is_calendar_date(date)) return message_fail(message, "Invalid date format");
    return store_copy(message, &message->date, date);
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
    return store_copy(message, &message->message_id, message_id);
}

extern "C" SEPA_API int sepa_setAddress(sepa_t *message, const char *key, const char *value) {
    if (message == nullptr) return 0;
    const address_field field = key != nullptr ? find_address_field(key) : ADDRESS_FIELD_COUNT;
    if (field == ADDRESS_FIELD_COUNT) {
        format_text(message->error_buf, sizeof message->error_buf, "Invalid address key '%s'",
                    key != nullptr ? key : "NULL");
        return message_fail(message, message->error_buf);
    }
    if (value != nullptr) {
        if (const char *failure = address_value_failure(current_rulebook_row(), field, value, message->error_buf,
                                                        sizeof message->error_buf))
            return message_fail(message, failure);
    }
    auto **address = reinterpret_cast<postal_address **>(&message->address);
    if (!address_set(address, field, value)) return message_fail(message, out_of_memory_text);
    return 1;
}

extern "C" SEPA_API int sepa_setInstant(sepa_t *message, int mode) {
    if (message == nullptr) return 0;
    if (message->type != SEPA_MSGTYPE_CTI) return message_fail(message, "Not a credit transfer message");
    if (mode != 0 && mode != 1) return message_fail(message, "Invalid instant mode (only 0 or 1 allowed)");
    const rulebook_t *rulebook = current_rulebook_row();
    if (mode == 1 && (rulebook == nullptr || !rulebook->instant_allowed)) {
        format_text(message->error_buf, sizeof message->error_buf,
                    "SEPA Instant needs rulebook %s or later (pain.001.001.09)",
                    first_rulebook_name([](const rulebook_t &r) { return r.instant_allowed; }));
        return message_fail(message, message->error_buf);
    }
    message->instant = static_cast<uint8_t>(mode);
    return 1;
}

extern "C" SEPA_API int sepa_setTransliteration(sepa_t *message, int mode) {
    if (message == nullptr) return 0;
    if (mode != SEPA_TRANSLITERATION_OFF && mode != SEPA_TRANSLITERATION_ON)
        return message_fail(message, "Invalid transliteration mode (only 0 or 1 allowed)");
    message->transliterate = static_cast<uint8_t>(mode);
    return 1;
}
