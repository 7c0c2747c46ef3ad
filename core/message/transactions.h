// The stored transactions of a payment message, linked from sepa_t::tx_head in the
// order they were added. Every text is a private copy owned by the record.
#pragma once

#include <cstdint>

#include "core/message/postal_address.h"
#include "sepa.h"

// Credit transfer (message type 2): one payment to a creditor.
struct cti_transaction {
    char *end_to_end_id;      // "id"
    char *name;               // "name": creditor name
    char *iban;               // "iban": creditor IBAN
    char *bic;                // "bic": creditor BIC, upper case
    postal_address *address;  // "addrCC", "addrLine1", "addrLine2", "addrTown" ...; NULL = none
    char *remittance;         // "ref": unstructured remittance information
    char *purpose;            // "purp": purpose code, 4 bytes
    int64_t amount_cents;     // "amount" in euro cents; 0 = not given
    char *date;               // "date"; NULL = the message's date
    cti_transaction *next;
    uint8_t rules_checked_under;  // see ddi_transaction
};

// Sequence types of a direct debit (ddi_transaction::seq_type).
enum seq_type_t : int32_t { SEQ_NONE = 0, SEQ_FRST = 1, SEQ_RCUR = 2, SEQ_OOFF = 3, SEQ_FNAL = 4 };

// Direct debit (message type 1): one collection from a debtor.
struct ddi_transaction {
    char *end_to_end_id;      // "id"
    char *name;               // "name": debtor name
    char *iban;               // "iban": debtor IBAN
    char *bic;                // "bic": debtor BIC, upper case
    postal_address *address;  // "addrCC", "addrLine1", "addrLine2", "addrTown" ...; NULL = none
    int32_t seq_type;         // "seq": seq_type_t
    int64_t amount_cents;     // "amount" in euro cents; 0 = not given
    char *date;               // "date"; NULL = the message's date
    char *mandate_ref;        // "mref"
    char *mandate_date;       // "mdate"
    char *old_mandate_ref;    // "old_mref"
    char *old_iban;           // "old_iban"
    uint8_t smnda;            // "smnda": 1 = same mandate, new debtor agent
    char *remittance;         // "ref"
    ddi_transaction *next;
    // 1 + index of the rulebook whose transaction rules sepa_add found kept, 0 when
    // none was chosen then: rendering under that rulebook need not check them again.
    uint8_t rules_checked_under;
};
