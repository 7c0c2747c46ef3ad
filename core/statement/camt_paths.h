// Where the values of a camt.052/053/054 document sit: a table of element paths,
// compiled once into an automaton that follows the elements as the XML streams by.
// Each element's state comes from its parent's state and its own local name
// (namespace prefixes dropped); elements outside the table fall into state 0,
// and so does everything below them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace camt {

// What an element means. The begin_* slots open a record when the element starts;
// the others are texts, handed over when the element ends.
enum class slot : uint8_t {
    none,
    // structure
    message,    // BkToCstmrStmt, BkToCstmrAcctRpt, BkToCstmrDbtCdtNtfctn
    statement,  // Stmt, Rpt, Ntfctn
    balance,    // Stmt/Bal
    entry,      // Stmt/Ntry
    details,    // Ntry/NtryDtls/TxDtls
    // group header
    message_id,
    message_created,
    // statement
    stmt_id,
    stmt_number,
    stmt_legal_number,
    stmt_created,
    stmt_page,
    stmt_iban,
    stmt_other_account,
    stmt_currency,
    stmt_owner,
    stmt_bic,
    // balance
    bal_code,
    bal_amount,
    bal_direction,
    bal_date,
    // entry
    ntry_ref,
    ntry_amount,
    ntry_direction,
    ntry_reversal,
    ntry_status,
    ntry_booked,
    ntry_value_date,
    ntry_servicer_ref,
    ntry_info,
    ntry_batch_count,
    // entry or transaction detail, whichever is open
    domain,
    family,
    subfamily,
    proprietary_code,
    charge_amount,
    charges_total,
    instructed_amount,
    // transaction detail
    tx_end_to_end,
    tx_instruction_id,
    tx_servicer_ref,
    tx_mandate,
    tx_amount,
    tx_direction,
    tx_amount_detail,
    debtor_name,
    debtor_iban,
    debtor_account,
    ultimate_debtor,
    creditor_name,
    creditor_iban,
    creditor_account,
    ultimate_creditor,
    creditor_id,
    debtor_bic,
    debtor_bank_code,
    creditor_bic,
    creditor_bank_code,
    remittance,
    creditor_ref,
    purpose,
    return_reason,
    tx_info,
};

// Element names of the table get ids 1..; every other name is 0.
uint16_t name_id(const char *name, size_t length);

// State of a child element; 0 for the document element's children that do not
// match, and for everything below a state 0.
uint16_t next_state(uint16_t parent, uint16_t name);

// The state of the document element "Document".
uint16_t document_state();

slot state_slot(uint16_t state);

}  // namespace camt
