// sepa_add: validates a key-value list pair by pair into a draft, checks that the
// transaction is complete, and only then copies it into the message's list. The
// draft's texts are wiped either way; a refusal changes nothing but the message's
// error text.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/frame/out_of_memory.h"
#include "core/frame/rulebook.h"
#include "core/frame/text_checks.h"
#include "core/iban_check/iban_validate.h"
#include "core/message/amount.h"
#include "core/message/bic_text.h"
#include "core/message/calendar_date.h"
#include "core/message/key_name.h"
#include "core/message/message_error.h"
#include "core/message/owned_text.h"
#include "core/message/transaction_list.h"
#include "core/message/transaction_rules.h"
#include "core/message/transactions.h"
#include "sepa.h"

namespace {

// Room of each text in the draft: the longest value its check admits and the NUL
// (tx_text order); the length checks of checked_text and checked_identifier take
// their bound from here. A transliterated text is never longer than the caller's.
constexpr uint8_t text_room[TX_TEXT_COUNT] = {
    35 + 1,         // end-to-end id
    70 + 1,         // name
    34 + 1,         // IBAN
    BIC_TEXT_SIZE,  // BIC
    140 + 1,        // remittance information
    10 + 1,         // date
    4 + 1,          // purpose
    35 + 1,         // mandate reference
    10 + 1,         // mandate date
    35 + 1,         // old mandate reference
    34 + 1,         // old IBAN
};

constexpr size_t text_start(int which) {
    size_t start = 0;
    for (int i = 0; i < which; ++i) start += text_room[i];
    return start;
}

// Everything either kind of transaction may carry, copied into the message's list
// once the transaction is accepted. The texts live in the draft itself (an add
// allocates nothing for them); `written` remembers how many bytes of each room were
// used, so that only those are wiped.
struct tx_draft {
    // The rooms need no zeros up front: a text is read only after it was written.
    tx_draft() {}
    char bytes[text_start(TX_TEXT_COUNT)];
    uint8_t written[TX_TEXT_COUNT] = {};
    postal_address *address = nullptr;
    tx_fields fields;  // fields.text points into `bytes`, NULL where not given

    const char *text(tx_text which) const { return fields.text[which]; }
    // Copies `value` into the text's room in place of its previous value.
    bool store(tx_text which, const char *value) {
        const size_t size = std::strlen(value) + 1;
        if (size > text_room[which]) return false;
        char *room = bytes + text_start(which);
        std::memcpy(room, value, size);
        written[which] = std::max(written[which], static_cast<uint8_t>(size));
        fields.text[which] = room;
        return true;
    }
};

void draft_wipe(tx_draft &d) {
    for (int i = 0; i < TX_TEXT_COUNT; ++i)
        if (d.written[i] != 0) wipe_memory(d.bytes + text_start(i), d.written[i]);
    address_free(&d.address);
    wipe_memory(&d.fields, sizeof d.fields);
}

struct add_context {
    sepa_t *message;
    tx_draft draft;
    bool direct_debit() const { return message->type == SEPA_MSGTYPE_DDI; }
    // Formats a failure naming a text (a character, a key, a value) into the
    // message's error buffer and returns it.
    const char *formatted(const char *format, const char *text) {
        format_text(message->error_buf, sizeof message->error_buf, format, text);
        return message->error_buf;
    }
    // The failure of a character check, showing the whole offending character.
    const char *bad_character(const char *format, const char *at) {
        char character[CHARACTER_TEXT_SIZE];
        describe_character(at, character);
        return formatted(format, character);
    }
    // A failure that quotes the caller's value.
    const char *quoting(const char *format, const char *value) {
        char quoted[QUOTED_TEXT_SIZE];
        quote_text(value, quoted);
        return formatted(format, quoted);
    }
};

// A key check returns nullptr when the value is accepted (and stored), else the
// failure text.
using key_check = const char *(*)(add_context &, const char *value);

// Stores an accepted value in place of the text's previous one. Every check bounds
// its values to their room before; a value that still does not fit is refused.
const char *store(add_context &ctx, tx_text which, const char *value) {
    return value != nullptr && ctx.draft.store(which, value) ? nullptr : "Invalid value (too long)";
}

bool length_between(const char *value, size_t min, size_t max) {
    if (value == nullptr) return false;
    const size_t n = std::strlen(value);
    return n >= min && n <= max;
}

// The character check of the rulebook at `level`, then the copy; with the message's
// transliteration on, of the converted text.
const char *checked_characters(add_context &ctx, tx_text which, const char *value, int level,
                               const char *character_failure) {
    char *converted = nullptr;
    if (ctx.message->transliterate && value != nullptr) {
        if (!text_transliterated(value, level, &converted)) return out_of_memory_text;
        value = converted;
    }
    const char *bad = nullptr;
    const char *failure = check_text(value, &bad, level) ? store(ctx, which, value)
                                                         : ctx.bad_character(character_failure, bad);
    text_wipe_free(&converted);
    return failure;
}

// Length bounds, then the character check.
const char *checked_text(add_context &ctx, tx_text which, const char *value, size_t min, const char *length_failure,
                         int level, const char *character_failure) {
    if (!length_between(value, min, text_room[which] - 1u)) return length_failure;
    return checked_characters(ctx, which, value, level, character_failure);
}

// A calendar date "yyyy-mm-dd", then the copy.
const char *checked_date(add_context &ctx, tx_text which, const char *value, const char *format_failure) {
    if (!is_calendar_date(value)) return format_failure;
    return store(ctx, which, value);
}

// As checked_text, for identifiers (end-to-end id, mandate references): the schemas
// admit only the SEPA identifier set there, so the Austrian extension of the
// character check, which "AT-6" applies at every level, does not count.
const char *checked_identifier(add_context &ctx, tx_text which, const char *value, const char *length_failure,
                               int level, const char *character_failure) {
    if (!length_between(value, 1, text_room[which] - 1u)) return length_failure;
    const char *bad = nullptr;
    if (!identifier_chars_ok(current_rulebook_row(), value, level, &bad))
        return ctx.bad_character(character_failure, bad);
    return store(ctx, which, value);
}

const char *check_name(add_context &ctx, const char *value) {
    return checked_text(
        ctx, TX_NAME, value, 1, "Invalid name (must be 1-70 characters)", 2,
        ctx.direct_debit() ? "Invalid character '%s' in debtor name" : "Invalid character '%s' in creditor name");
}

const char *checked_iban(add_context &ctx, tx_text which, const char *value) {
    const char *reason = nullptr;
    if (!iban_validate(value, &reason)) return reason;
    return store(ctx, which, value);
}

const char *check_iban(add_context &ctx, const char *value) { return checked_iban(ctx, TX_IBAN, value); }

const char *check_old_iban(add_context &ctx, const char *value) { return checked_iban(ctx, TX_OLD_IBAN, value); }

const char *check_bic(add_context &ctx, const char *value) {
    char upper[BIC_TEXT_SIZE];
    if (!bic_upper_copy(value, upper)) return "Invalid BIC";
    if (!check_bic_format(upper)) return "Invalid BIC format";
    return store(ctx, TX_BIC, upper);
}

const char *check_remittance(add_context &ctx, const char *value) {
    const char *failure = checked_text(ctx, TX_REMITTANCE, value, 0,
                                       "Invalid unstructured remittance information (must be 0-140 characters)", 2,
                                       "Invalid character '%s' in unstructured remittance information");
    // An empty text is accepted but means "no remittance information": the schemas
    // do not admit an empty Ustrd element.
    if (failure == nullptr && ctx.draft.text(TX_REMITTANCE)[0] == '\0') ctx.draft.fields.text[TX_REMITTANCE] = nullptr;
    return failure;
}

const char *check_amount(add_context &ctx, const char *value) {
    return read_amount(value, &ctx.draft.fields.amount_cents, ctx.message->error_buf, sizeof ctx.message->error_buf);
}

const char *check_date(add_context &ctx, const char *value) {
    return checked_date(ctx, TX_DATE, value, "Invalid execution date (format: yyyy-mm-dd)");
}

const char *check_end_to_end_id(add_context &ctx, const char *value) {
    return checked_identifier(ctx, TX_END_TO_END_ID, value, "Invalid end-to-end ID (must be 1-35 characters)", 1,
                              "Invalid character '%s' in end-to-end ID");
}

const char *check_purpose(add_context &ctx, const char *value) {
    // Purpose codes are four letters of the ISO code list; other bytes (control
    // characters, broken UTF-8) would make the document unreadable.
    return checked_text(ctx, TX_PURPOSE, value, 4, "Invalid purpose (must be 4 characters)", 0,
                        "Invalid character '%s' in purpose");
}

const char *check_sequence(add_context &ctx, const char *value) {
    static const char *const names[] = {"frst", "rcur", "ooff", "fnal"};  // SEQ_FRST .. SEQ_FNAL
    for (int i = 0; value != nullptr && i < 4; ++i) {
        if (same_key_name(value, names[i])) {
            ctx.draft.fields.seq_type = static_cast<uint8_t>(SEQ_FRST + i);
            return nullptr;
        }
    }
    return "Invalid/unknown sequence type";
}

const char *check_mandate_ref(add_context &ctx, const char *value) {
    return checked_identifier(ctx, TX_MANDATE_REF, value, "Invalid mandate reference (must be 1-35 characters)",
                              mandate_id_level(current_rulebook_row()), "Invalid character '%s' in mandate reference");
}

const char *check_mandate_date(add_context &ctx, const char *value) {
    return checked_date(ctx, TX_MANDATE_DATE, value, "Invalid mandate signature date (format: yyyy-mm-dd)");
}

const char *check_old_mandate_ref(add_context &ctx, const char *value) {
    return checked_identifier(ctx, TX_OLD_MANDATE_REF, value, "Invalid old mandate reference (must be 1-35 characters)",
                              mandate_id_level(current_rulebook_row()),
                              "Invalid character '%s' in old mandate reference");
}

const char *check_smnda(add_context &ctx, const char *value) {
    if (value == nullptr || std::strcmp(value, "1") != 0)
        return ctx.quoting("Invalid value '%s' for SMNDA flag", value);
    ctx.draft.fields.smnda = 1;
    return nullptr;
}

enum : unsigned { FOR_DD = 1u << SEPA_MSGTYPE_DDI, FOR_CT = 1u << SEPA_MSGTYPE_CTI, FOR_BOTH = FOR_DD | FOR_CT };

struct key_rule {
    const char *key;  // compared without regard to case
    unsigned types;   // FOR_* bits of the message types that know the key
    key_check check;
};

const key_rule key_rules[] = {
    {"name", FOR_BOTH, check_name},        {"iban", FOR_BOTH, check_iban},
    {"bic", FOR_BOTH, check_bic},          {"ref", FOR_BOTH, check_remittance},
    {"amount", FOR_BOTH, check_amount},    {"date", FOR_BOTH, check_date},
    {"id", FOR_BOTH, check_end_to_end_id}, {"purp", FOR_CT, check_purpose},
    {"seq", FOR_DD, check_sequence},       {"mref", FOR_DD, check_mandate_ref},
    {"mdate", FOR_DD, check_mandate_date}, {"old_mref", FOR_DD, check_old_mandate_ref},
    {"old_iban", FOR_DD, check_old_iban},  {"smnda", FOR_DD, check_smnda},
};

const key_rule *find_key(const char *key, uint32_t type) {
    // The table's keys are in lower case: a first byte that does not match even with
    // its 0x20 bit set rules a key out before the whole comparison.
    const char first = static_cast<char>(key[0] | 0x20);
    for (const key_rule &rule : key_rules) {
        if (rule.key[0] == first && (rule.types & (1u << type)) != 0 && same_key_name(key, rule.key)) return &rule;
    }
    return nullptr;
}

tx_rule_view rule_view(const add_context &ctx) {
    const tx_draft &d = ctx.draft;
    return {ctx.direct_debit(),    d.text(TX_END_TO_END_ID), d.text(TX_NAME),
            d.text(TX_IBAN),       d.text(TX_BIC),           d.address,
            d.text(TX_REMITTANCE), d.text(TX_MANDATE_REF),   d.text(TX_OLD_MANDATE_REF)};
}

// What a transaction must carry once all pairs are read; the first failing check
// is reported.
const char *completeness_failure(add_context &ctx) {
    const tx_draft &d = ctx.draft;
    const bool dd = ctx.direct_debit();
    if (d.text(TX_IBAN) == nullptr) return "IBAN missing";
    rule_failure failure;  // its buffer is written only when a rule is broken
    const int rulebook_index = current_rulebook();
    if (const rulebook_t *rulebook = rulebook_row(rulebook_index); rulebook != nullptr) {
        // Each text was checked under this same rulebook as its pair was read: only
        // the rules that look at the transaction as a whole are left.
        if (!transaction_requirements_kept(*rulebook, rule_view(ctx), &failure)) {
            if (failure.text != failure.buffer) return failure.text;
            format_text(ctx.message->error_buf, sizeof ctx.message->error_buf, "%s", failure.buffer);
            return ctx.message->error_buf;
        }
        ctx.draft.fields.rules_checked_under = static_cast<uint8_t>(rulebook_index + 1);
    }
    if (dd && d.fields.seq_type == SEQ_NONE) return "Sequence type missing";
    if (d.fields.amount_cents == 0) return "Amount missing";
    // The documents need a counterparty name and, for a direct debit, the mandate.
    if (d.text(TX_NAME) == nullptr) return "Name missing";
    if (dd && d.text(TX_MANDATE_REF) == nullptr) return "Mandate reference missing";
    if (dd && d.text(TX_MANDATE_DATE) == nullptr) return "Mandate signature date missing";
    return nullptr;
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
            if (const address_field field = find_address_field(pair->key); field != ADDRESS_FIELD_COUNT) {
                char *converted = nullptr;
                const char *value = pair->value;
                if (message->transliterate && value != nullptr) {
                    if (!text_transliterated(value, 2, &converted)) return refuse(ctx, out_of_memory_text);
                    value = converted;
                }
                const char *failure = address_value_failure(current_rulebook_row(), field, value, message->error_buf,
                                                            sizeof message->error_buf);
                const bool stored = failure == nullptr && address_set(&ctx.draft.address, field, value);
                text_wipe_free(&converted);
                if (failure != nullptr) return refuse(ctx, failure);
                if (!stored) return refuse(ctx, out_of_memory_text);
                continue;
            }
            // A key the message type does not know is refused, not dropped: a misspelt
            // or misplaced key would otherwise vanish from the document unnoticed.
            return refuse(ctx, ctx.quoting("Invalid transaction property '%s'", pair->key));
        }
        if (const char *failure = rule->check(ctx, pair->value)) return refuse(ctx, failure);
    }
    if (const char *failure = completeness_failure(ctx)) return refuse(ctx, failure);

    ctx.draft.fields.address = ctx.draft.address;
    if (!transaction_list_add(message, ctx.draft.fields)) return refuse(ctx, out_of_memory_text);
    draft_wipe(ctx.draft);
    return 1;
}
