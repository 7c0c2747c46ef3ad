#include "core/message/transaction_rules.h"

#include "core/frame/text_checks.h"
#include "core/message/message_id_check.h"
#include "core/message/non_eea_bic.h"

bool identifier_chars_ok(const rulebook_t *rulebook, const char *text, int level, const char **bad) {
    if (text == nullptr) return true;
    // Every identifier character passes the character check of every rulebook, a
    // space from level 1 on: text of those alone passes both checks. Anything else
    // takes the two checks in turn, which find the character to report.
    const char *p = text;
    while (is_identifier_char(*p) && (*p != ' ' || level >= 1)) ++p;
    if (*p == '\0') return true;
    if (!check_text_under(rulebook, text, bad, level)) return false;
    for (const char *p = text; *p; ++p) {
        if (!is_identifier_char(*p)) {
            *bad = p;
            return false;
        }
    }
    return true;
}

namespace {

struct text_rule {
    const char *value;
    int level;
    bool identifier;
    const char *what;
};

bool fail(rule_failure *failure, const char *text, const char *what = nullptr, const char *bad = nullptr) {
    failure->text = text;
    failure->what = what;
    failure->bad = bad;
    return false;
}

}  // namespace

bool transaction_rules_kept(const rulebook_t &rulebook, const tx_rule_view &tx, rule_failure *failure) {
    return transaction_characters_kept(rulebook, tx, failure) && transaction_requirements_kept(rulebook, tx, failure);
}

bool transaction_characters_kept(const rulebook_t &rulebook, const tx_rule_view &tx, rule_failure *failure) {
    const int mandate_level = mandate_id_level(&rulebook);
    const text_rule texts[] = {
        {tx.name, 2, false, tx.direct_debit ? "debtor name" : "creditor name"},
        {tx.remittance, 2, false, "unstructured remittance information"},
        {tx.end_to_end_id, 1, true, "end-to-end ID"},
        {tx.mandate_ref, mandate_level, true, "mandate reference"},
        {tx.old_mandate_ref, mandate_level, true, "old mandate reference"},
    };
    for (const text_rule &rule : texts) {
        const char *bad = nullptr;
        const bool ok = rule.identifier ? identifier_chars_ok(&rulebook, rule.value, rule.level, &bad)
                                        : check_text_under(&rulebook, rule.value, &bad, rule.level) != 0;
        if (!ok) return fail(failure, "Invalid character", rule.what, bad);
    }
    for (int i = 0; i < ADDRESS_FIELD_COUNT; ++i) {
        const char *bad = nullptr;
        if (i != ADDR_COUNTRY &&
            !check_text_under(&rulebook, address_get(tx.address, static_cast<address_field>(i)), &bad, 2))
            return fail(failure, "Invalid character", address_fields[i].what, bad);
    }
    return true;
}

bool transaction_requirements_kept(const rulebook_t &rulebook, const tx_rule_view &tx, rule_failure *failure) {
    if (const char *address_failure = address_model_failure(rulebook, tx.address, failure->buffer,
                                                            sizeof failure->buffer))
        return fail(failure, address_failure);
    if (rulebook.bic_required && tx.bic == nullptr) return fail(failure, "BIC missing");
    if (tx.direct_debit && rulebook.non_eea_debtor_address && bank_outside_eea(tx.bic, tx.iban)) {
        const address_facts facts = address_facts_of(tx.address);
        if (!facts.lines && !facts.town) return fail(failure, "Address required for BICs outside EEA");
    }
    return true;
}

bool payer_address_kept(const rulebook_t &rulebook, const tx_rule_view &tx, const postal_address *payer) {
    if (tx.direct_debit || !rulebook.non_eea_payer_address || !bank_outside_eea(tx.bic, tx.iban)) return true;
    const address_facts facts = address_facts_of(payer);
    return facts.town && facts.country;
}
