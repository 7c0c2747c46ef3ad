// sepa_add: validates a key-value list pair by pair into a draft, checks that the
// transaction is complete, and only then appends it to the message. A refusal frees
// the draft (texts wiped) and changes nothing but the message's error text.
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "core/frame/rulebook.h"
#include "core/frame/text_checks.h"
#include "core/iban_check/iban_validate.h"
#include "core/message/amount.h"
#include "core/message/bic_text.h"
#include "core/message/calendar_date.h"
#include "core/message/message_error.h"
#include "core/message/message_id_check.h"
#include "core/message/non_eea_bic.h"
#include "core/message/owned_text.h"
#include "core/message/transaction_list.h"
#include "core/message/transactions.h"
#include "sepa.h"

namespace {

// Everything either kind of transaction may carry; moved into the typed record once
// the transaction is accepted.
struct tx_draft {
    char *end_to_end_id, *name, *iban, *bic, *country, *addr_line1, *addr_line2, *remittance, *purpose, *date;
    char *mandate_ref, *mandate_date, *old_mandate_ref, *old_iban;
    double amount;
    int32_t seq_type;
    uint8_t smnda;
};

void draft_wipe(tx_draft &d) {
    char **texts[] = {&d.end_to_end_id, &d.name,        &d.iban,         &d.bic,          &d.country,
                      &d.addr_line1,    &d.addr_line2,  &d.remittance,   &d.purpose,      &d.date,
                      &d.mandate_ref,   &d.mandate_date, &d.old_mandate_ref, &d.old_iban};
    for (char **text : texts) text_wipe_free(text);
    wipe_memory(&d, sizeof d);
}

struct add_context {
    sepa_t *message;
    tx_draft draft;
    bool direct_debit() const { return message->type == SEPA_MSGTYPE_DDI; }
    // Formats a failure into the message's error buffer and returns it.
    const char *formatted(const char *format, int byte) {
        format_text(message->error_buf, sizeof message->error_buf, format, byte);
        return message->error_buf;
    }
};

// A key check returns nullptr when the value is accepted (and stored), else the
// failure text.
using key_check = const char *(*)(add_context &, const char *value);

constexpr const char *out_of_memory = "Out of memory";

// Stores a copy of an accepted value in place of the field's previous one.
const char *store(char **field, const char *value) { return text_store(field, value) ? nullptr : out_of_memory; }

bool length_between(const char *value, size_t min, size_t max) {
    if (value == nullptr) return false;
    const size_t n = std::strlen(value);
    return n >= min && n <= max;
}

// The character check of the rulebook at `level`, then the copy.
const char *checked_characters(add_context &ctx, char **field, const char *value, int level,
                               const char *character_failure) {
    char bad = 0;
    if (!check_text(value, &bad, level)) return ctx.formatted(character_failure, bad);
    return store(field, value);
}

// Length bounds, then the character check.
const char *checked_text(add_context &ctx, char **field, const char *value, size_t min, size_t max,
                         const char *length_failure, int level, const char *character_failure) {
    if (!length_between(value, min, max)) return length_failure;
    return checked_characters(ctx, field, value, level, character_failure);
}

// A calendar date "yyyy-mm-dd", then the copy.
const char *checked_date(char **field, const char *value, const char *format_failure) {
    if (!is_calendar_date(value)) return format_failure;
    return store(field, value);
}

// As checked_text, for identifiers (end-to-end id, mandate references): the schemas
// admit only the SEPA identifier set there, so the Austrian extension of the
// character check, which "AT-6" applies at every level, does not count.
const char *checked_identifier(add_context &ctx, char **field, const char *value, size_t max,
                               const char *length_failure, int level, const char *character_failure) {
    if (!length_between(value, 1, max)) return length_failure;
    char bad = 0;
    if (!check_text(value, &bad, level)) return ctx.formatted(character_failure, bad);
    for (const char *p = value; *p; ++p) {
        if (!is_identifier_char(*p)) return ctx.formatted(character_failure, *p);
    }
    return store(field, value);
}

const char *check_name(add_context &ctx, const char *value) {
    return checked_text(ctx, &ctx.draft.name, value, 1, 70, "Invalid name (must be 1-70 characters)", 2,
                        ctx.direct_debit() ? "Invalid character '%c' in debtor name"
                                           : "Invalid character '%c' in creditor name");
}

const char *check_iban_into(char **field, const char *value) {
    const char *reason = nullptr;
    if (!iban_validate(value, &reason)) return reason;
    return store(field, value);
}

const char *check_iban(add_context &ctx, const char *value) { return check_iban_into(&ctx.draft.iban, value); }

const char *check_old_iban(add_context &ctx, const char *value) {
    return check_iban_into(&ctx.draft.old_iban, value);
}

const char *check_bic(add_context &ctx, const char *value) {
    char upper[BIC_TEXT_SIZE];
    if (!bic_upper_copy(value, upper)) return "Invalid BIC";
    if (!check_bic_format(upper)) return "Invalid BIC format";
    return store(&ctx.draft.bic, upper);
}

const char *check_country(add_context &ctx, const char *value) {
    const bool valid = length_between(value, 2, 2) && value[0] >= 'A' && value[0] <= 'Z' && value[1] >= 'A' &&
                       value[1] <= 'Z';
    if (!valid) return "Invalid country code";
    return store(&ctx.draft.country, value);
}

const char *check_address_line1(add_context &ctx, const char *value) {
    if (!check_line_length(value)) return "Invalid address line 1 (must be 1-70 chars)";
    return checked_characters(ctx, &ctx.draft.addr_line1, value, 2, "Invalid character '%c' in address line 1");
}

const char *check_address_line2(add_context &ctx, const char *value) {
    if (!check_line_length(value)) return "Invalid address line 2 (must be 1-70 chars)";
    return checked_characters(ctx, &ctx.draft.addr_line2, value, 2, "Invalid character '%c' in address line 2");
}

const char *check_remittance(add_context &ctx, const char *value) {
    const char *failure = checked_text(
        ctx, &ctx.draft.remittance, value, 0, 140,
        "Invalid unstructured remittance information (must be 0-140 characters)", 2,
        "Invalid character '%c' in unstructured remittance information");
    // An empty text is accepted but means "no remittance information": the schemas
    // do not admit an empty Ustrd element.
    if (failure == nullptr && ctx.draft.remittance[0] == '\0') text_wipe_free(&ctx.draft.remittance);
    return failure;
}

const char *check_amount(add_context &ctx, const char *value) { return read_amount(value, &ctx.draft.amount); }

const char *check_date(add_context &ctx, const char *value) {
    return checked_date(&ctx.draft.date, value, "Invalid execution date (format: yyyy-mm-dd)");
}

const char *check_end_to_end_id(add_context &ctx, const char *value) {
    return checked_identifier(ctx, &ctx.draft.end_to_end_id, value, 35,
                        "Invalid end-to-end ID (must be 1-35 characters)", 1,
                        "Invalid character '%c' in end-to-end ID");
}

const char *check_purpose(add_context &ctx, const char *value) {
    // Purpose codes are four letters of the ISO code list; other bytes (control
    // characters, broken UTF-8) would make the document unreadable.
    return checked_text(ctx, &ctx.draft.purpose, value, 4, 4, "Invalid purpose (must be 4 characters)", 0,
                        "Invalid character '%c' in purpose");
}

const char *check_sequence(add_context &ctx, const char *value) {
    static const char *const names[] = {"frst", "rcur", "ooff", "fnal"};  // SEQ_FRST .. SEQ_FNAL
    for (int i = 0; value != nullptr && i < 4; ++i) {
        if (strcasecmp(value, names[i]) == 0) {
            ctx.draft.seq_type = SEQ_FRST + i;
            return nullptr;
        }
    }
    return "Invalid/unknown sequence type";
}

const char *check_mandate_ref(add_context &ctx, const char *value) {
    // From "DE-3.0" on, mandate references may contain spaces.
    const int level = current_rulebook() >= RULEBOOK_DE_3_0 ? 1 : 0;
    return checked_identifier(ctx, &ctx.draft.mandate_ref, value, 35,
                        "Invalid mandate reference (must be 1-35 characters)", level,
                        "Invalid character '%c' in mandate reference");
}

const char *check_mandate_date(add_context &ctx, const char *value) {
    return checked_date(&ctx.draft.mandate_date, value, "Invalid mandate signature date (format: yyyy-mm-dd)");
}

const char *check_old_mandate_ref(add_context &ctx, const char *value) {
    return checked_identifier(ctx, &ctx.draft.old_mandate_ref, value, 35,
                        "Invalid old mandate reference (must be 1-35 characters)", 0,
                        "Invalid character '%c' in old mandate reference");
}

const char *check_smnda(add_context &ctx, const char *value) {
    if (value == nullptr || std::strcmp(value, "1") != 0) {
        format_text(ctx.message->error_buf, sizeof ctx.message->error_buf, "Invalid value '%s' for SMNDA flag",
                    value == nullptr ? "NULL" : value);
        return ctx.message->error_buf;
    }
    ctx.draft.smnda = 1;
    return nullptr;
}

enum : unsigned { FOR_DD = 1u << SEPA_MSGTYPE_DDI, FOR_CT = 1u << SEPA_MSGTYPE_CTI, FOR_BOTH = FOR_DD | FOR_CT };

struct key_rule {
    const char *key;  // compared without regard to case
    unsigned types;   // FOR_* bits of the message types that know the key
    key_check check;
};

const key_rule key_rules[] = {
    {"name", FOR_BOTH, check_name},
    {"iban", FOR_BOTH, check_iban},
    {"bic", FOR_BOTH, check_bic},
    {"addrCC", FOR_BOTH, check_country},
    {"addrLine1", FOR_BOTH, check_address_line1},
    {"addrLine2", FOR_BOTH, check_address_line2},
    {"ref", FOR_BOTH, check_remittance},
    {"amount", FOR_BOTH, check_amount},
    {"date", FOR_BOTH, check_date},
    {"id", FOR_BOTH, check_end_to_end_id},
    {"purp", FOR_CT, check_purpose},
    {"seq", FOR_DD, check_sequence},
    {"mref", FOR_DD, check_mandate_ref},
    {"mdate", FOR_DD, check_mandate_date},
    {"old_mref", FOR_DD, check_old_mandate_ref},
    {"old_iban", FOR_DD, check_old_iban},
    {"smnda", FOR_DD, check_smnda},
};

const key_rule *find_key(const char *key, uint32_t type) {
    for (const key_rule &rule : key_rules) {
        if ((rule.types & (1u << type)) != 0 && strcasecmp(rule.key, key) == 0) return &rule;
    }
    return nullptr;
}

// What a transaction must carry once all pairs are read; the first failing check
// is reported.
const char *completeness_failure(const add_context &ctx) {
    const tx_draft &d = ctx.draft;
    const bool dd = ctx.direct_debit();
    const int rulebook = current_rulebook();
    if (d.iban == nullptr) return "IBAN missing";
    if (d.bic == nullptr && rulebook == RULEBOOK_DE_2_6) return "BIC missing";
    if (dd && rulebook >= RULEBOOK_DE_3_1 && d.bic != nullptr && is_non_eea_bic(d.bic) == 1 &&
        d.addr_line1 == nullptr && d.addr_line2 == nullptr) {
        return "Address required for BICs outside EEA";
    }
    if (dd && d.seq_type == SEQ_NONE) return "Sequence type missing";
    if (d.amount == 0) return "Amount missing";
    // The documents need a counterparty name and, for a direct debit, the mandate.
    if (d.name == nullptr) return "Name missing";
    if (dd && d.mandate_ref == nullptr) return "Mandate reference missing";
    if (dd && d.mandate_date == nullptr) return "Mandate signature date missing";
    return nullptr;
}

// The typed record of the accepted draft, which gives up its texts to it; nullptr
// when memory is exhausted (the draft keeps its texts then).
void *build_record(add_context &ctx) {
    tx_draft &d = ctx.draft;
    if (ctx.direct_debit()) {
        auto *tx = static_cast<ddi_transaction *>(std::calloc(1, sizeof(ddi_transaction)));
        if (tx == nullptr) return nullptr;
        *tx = {d.end_to_end_id, d.name,     d.iban,         d.bic,         d.country,         d.addr_line1,
               d.addr_line2,    d.seq_type, d.amount,       d.date,        d.mandate_ref,     d.mandate_date,
               d.old_mandate_ref, d.old_iban, d.smnda,      d.remittance,  nullptr};
        // The purpose is not a direct-debit key, so the draft never holds one here.
        std::memset(&d, 0, sizeof d);
        return tx;
    }
    auto *tx = static_cast<cti_transaction *>(std::calloc(1, sizeof(cti_transaction)));
    if (tx == nullptr) return nullptr;
    *tx = {d.end_to_end_id, d.name,       d.iban,    d.bic,    d.country, d.addr_line1,
           d.addr_line2,    d.remittance, d.purpose, d.amount, d.date,    nullptr};
    // The mandate keys are ignored on a credit transfer, so the draft holds none.
    std::memset(&d, 0, sizeof d);
    return tx;
}

int refuse(add_context &ctx, const char *failure) {
    draft_wipe(ctx.draft);
    return message_fail(ctx.message, failure);
}

}  // namespace

extern "C" SEPA_API int sepa_add(sepa_t *message, const sepa_kvpair_t *pairs) {
    if (message == nullptr) return 0;
    if (message->type != SEPA_MSGTYPE_DDI && message->type != SEPA_MSGTYPE_CTI) return 0;
    if (pairs == nullptr) return message_fail(message, "No key-value list submitted");

    add_context ctx{message, {}};
    for (const sepa_kvpair_t *pair = pairs; pair->key != nullptr; ++pair) {
        const key_rule *rule = find_key(pair->key, message->type);
        if (rule == nullptr) {
            if (!ctx.direct_debit()) continue;  // a credit transfer ignores keys it does not know
            format_text(message->error_buf, sizeof message->error_buf, "Invalid transaction property '%s'",
                        pair->key);
            return refuse(ctx, message->error_buf);
        }
        if (const char *failure = rule->check(ctx, pair->value)) return refuse(ctx, failure);
    }
    if (const char *failure = completeness_failure(ctx)) return refuse(ctx, failure);

    const double amount = ctx.draft.amount;
    void *record = build_record(ctx);
    if (record == nullptr) return refuse(ctx, out_of_memory);
    transaction_list_append(message, record, amount);
    return 1;
}
