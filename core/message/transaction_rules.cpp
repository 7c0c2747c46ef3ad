#include "core/message/transaction_rules.h"

#include "core/frame/text_checks.h"
#include "core/message/message_id_check.h"
#include "core/message/non_eea_bic.h"

bool identifier_chars_ok(const rulebook_t *rulebook, const char *text, int level, const char **bad) {
    if (text == nullptr) return true;
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
    *failure = {text, what, bad};
    return false;
}

}  // namespace

bool transaction_rules_kept(const rulebook_t &rulebook, const tx_rule_view &tx, rule_failure *failure) {
    const int mandate_level = mandate_id_level(&rulebook);
    const text_rule texts[] = {
        {tx.name, 2, false, tx.direct_debit ? "debtor name" : "creditor name"},
        {tx.addr_line1, 2, false, "address line 1"},
        {tx.addr_line2, 2, false, "address line 2"},
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
    if (rulebook.bic_required && tx.bic == nullptr) return fail(failure, "BIC missing");
    if (tx.direct_debit && rulebook.non_eea_debtor_address && tx.bic != nullptr && is_non_eea_bic(tx.bic) == 1 &&
        tx.addr_line1 == nullptr && tx.addr_line2 == nullptr)
        return fail(failure, "Address required for BICs outside EEA");
    return true;
}
