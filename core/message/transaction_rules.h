// The rules a rulebook sets for one transaction beyond the format of each value:
// character sets of its texts, required BIC, identifier spaces, the address a bank
// outside the EEA needs. sepa_add applies them under the rulebook of the moment and
// the writers again under the rulebook they render with, one call per transaction.
#pragma once

#include "core/frame/rulebook.h"
#include "core/message/postal_address.h"

// The fields of either kind of transaction that the rules look at; NULL = absent.
struct tx_rule_view {
    bool direct_debit;
    const char *end_to_end_id;
    const char *name;
    const char *iban;
    const char *bic;
    const postal_address *address;
    const char *remittance;
    const char *mandate_ref;      // direct debits
    const char *old_mandate_ref;  // direct debits
};

// Why a transaction breaks a rule: either a character (`what` names the field,
// `bad` points at the character in its text) or a missing requirement (`text`,
// with `what` NULL).
struct rule_failure {
    const char *text = nullptr;
    const char *what = nullptr;
    const char *bad = nullptr;
    char buffer[128];  // room for a formatted `text`; `rule_failure f;` leaves it unwritten
};

// True when the transaction keeps every rule of `rulebook`; else false and the
// first broken rule in `failure`.
bool transaction_rules_kept(const rulebook_t &rulebook, const tx_rule_view &tx, rule_failure *failure);

// The two halves of transaction_rules_kept, in its order: the character sets of the
// texts and the address fields, then what the transaction as a whole must carry
// (address model, BIC, the address a bank outside the EEA needs).
bool transaction_characters_kept(const rulebook_t &rulebook, const tx_rule_view &tx, rule_failure *failure);
bool transaction_requirements_kept(const rulebook_t &rulebook, const tx_rule_view &tx, rule_failure *failure);

// Under a rulebook that demands it, a credit transfer to a bank outside the EEA
// needs the payer's (the message's own) address with town name and country.
bool payer_address_kept(const rulebook_t &rulebook, const tx_rule_view &tx, const postal_address *payer);

// Character check of an identifier (end-to-end id, mandate references): the
// rulebook's character check at `level`, then the SEPA identifier set (which the
// Austrian extension does not widen). NULL passes; else false with the position of
// the offending character in `bad`.
bool identifier_chars_ok(const rulebook_t *rulebook, const char *text, int level, const char **bad);

// Character level of mandate references under `rulebook` (1 when spaces are allowed).
inline int mandate_id_level(const rulebook_t *rulebook) {
    return rulebook != nullptr && rulebook->mandate_id_spaces ? 1 : 0;
}
