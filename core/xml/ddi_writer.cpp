// pain.008: a direct debit to the message's account (the creditor) from the
// debtors of its transactions, one PmtInf block per collection date and sequence type.
#include "core/frame/out_of_memory.h"
#include "core/frame/rulebook.h"
#include "core/message/creditor_id_check.h"
#include "core/message/transaction_rules.h"
#include "core/message/transaction_list.h"
#include "core/xml/document_writers.h"
#include "core/xml/payment_groups.h"
#include "core/xml/writer_common.h"

#include <string>

namespace {

using ddi_group = pmt_group<tx_record>;

constexpr const char *sequence_types[GROUP_SLOTS] = {"FRST", "RCUR", "OOFF", "FNAL"};

// Local instrument code by dd_type; COR1 only where the rulebook allows it.
const char *local_instrument(int32_t dd_type, int rulebook) {
    switch (dd_type) {
    case SEPA_DDTYPE_CORE: return "CORE";
    case SEPA_DDTYPE_COR1: return rulebook_allows_cor1(rulebook) ? "COR1" : nullptr;
    case SEPA_DDTYPE_B2B: return "B2B";
    default: return nullptr;
    }
}

bool check_creditor(sepa_t *message) {
    const char *missing = nullptr;
    if (message->iban == nullptr) missing = "Missing creditor IBAN";
    else if (message->bic == nullptr) missing = "Missing creditor BIC";
    else if (message->name == nullptr || message->name[0] == '\0') missing = "Missing creditor name";
    else if (message->creditor_id == nullptr) missing = "Missing creditor identifier";
    else if (const char *invalid = creditor_id_error(message->creditor_id)) missing = invalid;
    else if (message->tx_count == 0 || message->tx_head == nullptr) missing = "No transactions available";
    else if (!control_sum_fits_schema(message->control_sum_cents)) missing = "Control sum too large";
    if (missing != nullptr) message->error = missing;
    return missing == nullptr;
}

tx_rule_view rule_view(const tx_record &tx) {
    return {true,         tx.end_to_end_id(), tx.name(),        tx.iban(),           tx.bic(),
            tx.address(), tx.remittance(),    tx.mandate_ref(), tx.old_mandate_ref()};
}

// What the document needs of each transaction, and the rules of the rulebook it is
// rendered under (sepa_add checked them under the rulebook of that moment).
bool check_transactions(sepa_t *message, int rulebook_index, const rulebook_t &rulebook) {
    const auto *creditor = static_cast<const postal_address *>(message->address);
    if (const char *failure = address_failure_under(rulebook, creditor, message->error_buf,
                                                    sizeof message->error_buf)) {
        set_error(message, "Creditor address: %s", std::string(failure).c_str());
        return false;
    }
    unsigned number = 0;
    for (auto *tx = transaction_list_first(message); tx != nullptr; tx = tx->next()) {
        ++number;
        if (tx->name() == nullptr || tx->name()[0] == '\0')
            return set_error(message, "Missing debtor name in transaction %u", number), false;
        if (tx->iban() == nullptr) return set_error(message, "Missing debtor IBAN in transaction %u", number), false;
        if (tx->seq_type < SEQ_FRST || tx->seq_type > SEQ_FNAL)
            return set_error(message, "Missing sequence type in transaction %u", number), false;
        if (!amount_fits_schema(tx->amount_cents()))
            return set_error(message, "Invalid amount in transaction %u", number), false;
        if (tx->mandate_ref() == nullptr)
            return set_error(message, "Missing mandate reference in transaction %u", number), false;
        if (tx->mandate_date() == nullptr)
            return set_error(message, "Missing mandate signature date in transaction %u", number), false;
        // What sepa_add found kept under this same rulebook holds still: the texts never change.
        if (tx->rules_checked_under != rulebook_index + 1 &&
            !check_transaction_rules(message, rulebook, rule_view(*tx), number))
            return false;
    }
    return true;
}

// AmdmntInd and AmdmntInfDtls of a mandate changed since the last collection.
void write_amendment(xml_lines &out, const tx_record *tx, const rulebook_t &rulebook) {
    out.fixed("<AmdmntInd>true</AmdmntInd>");
    out.open("AmdmntInfDtls");
    if (tx->old_mandate_ref() != nullptr) out.escaped("OrgnlMndtId", tx->old_mandate_ref());
    if (tx->smnda) {
        // Same mandate, new debtor agent: the newer guidelines name it in the account,
        // the older ones (up to DE-2.9, AT-6 and NL-6) in the agent.
        out.open(rulebook.smnda_as_account ? "OrgnlDbtrAcct" : "OrgnlDbtrAgt");
        out.open(rulebook.smnda_as_account ? "Id" : "FinInstnId");
        out.open("Othr");
        out.fixed("<Id>SMNDA</Id>");
        out.close();
        out.close();
        out.close();
    } else if (tx->old_iban() != nullptr) {
        write_account(out, "OrgnlDbtrAcct", children::indented, tx->old_iban());
    }
    out.close();
}

void write_transaction(xml_lines &out, const tx_record *tx, const rulebook_t &rulebook) {
    char amount[AMOUNT_TEXT_SIZE];
    format_amount(tx->amount_cents(), amount);
    out.open("DrctDbtTxInf");
    write_payment_id(out, tx->end_to_end_id());
    out.value("InstdAmt", {"Ccy", "EUR"}, amount);
    out.open("DrctDbtTx");
    out.open("MndtRltdInf");
    out.escaped("MndtId", tx->mandate_ref());
    out.value("DtOfSgntr", tx->mandate_date());
    if (tx->old_mandate_ref() != nullptr || tx->old_iban() != nullptr || tx->smnda) write_amendment(out, tx, rulebook);
    out.close();
    out.close();
    write_agent(out, "DbtrAgt", children::indented, rulebook.agent, tx->bic());
    write_party(out, "Dbtr", tx->name(), tx->address());
    write_account(out, "DbtrAcct", children::indented, tx->iban());
    write_remittance(out, tx->remittance());
    out.close();
}

void write_block(xml_lines &out, const sepa_t *message, const ddi_group &group, int slot, int number,
                 const char *instrument, const rulebook_t &rulebook) {
    write_block_start(out, message, number, "<PmtMtd>DD</PmtMtd>", group.count[slot], group.sum[slot]);
    out.open("LclInstrm");
    out.value("Cd", instrument);
    out.close();
    out.value("SeqTp", sequence_types[slot]);
    out.close();  // PmtTpInf
    out.value("ReqdColltnDt", group.date);
    write_party(out, "Cdtr", message->name, static_cast<const postal_address *>(message->address));
    write_account(out, "CdtrAcct", children::indented, message->iban);
    // check_creditor has made sure the creditor has a BIC.
    write_agent(out, "CdtrAgt", children::indented, rulebook.agent, message->bic);
    out.fixed("<ChrgBr>SLEV</ChrgBr>");
    out.open("CdtrSchmeId");
    out.open("Id");
    out.open("PrvtId");
    out.open("Othr");
    out.escaped("Id", message->creditor_id);
    out.open("SchmeNm");
    out.fixed("<Prtry>SEPA</Prtry>");
    out.close();
    out.close();
    out.close();
    out.close();
    out.close();
    for_each_in_slot(group, slot, [&](const tx_record *tx) { write_transaction(out, tx, rulebook); });
    out.close();  // PmtInf
}

// One PmtInf block per collection date and sequence type in use, numbered from 1.
void write_blocks(xml_lines &out, const sepa_t *message, const payment_groups<tx_record> &groups,
                  const char *instrument, const rulebook_t &rulebook) {
    int number = 0;
    for (uint32_t i = 0; i < groups.count; ++i)
        for (int slot = 0; slot < GROUP_SLOTS; ++slot)
            if (groups.groups[i].count[slot] != 0)
                write_block(out, message, groups.groups[i], slot, ++number, instrument, rulebook);
}

}  // namespace

int ddi_toXML(sepa_t *message, xml_buffer *buffer, const writer_time &start) {
    if (!check_creditor(message)) return 0;
    const int rulebook = current_rulebook();
    const char *instrument = local_instrument(message->dd_type, rulebook);
    if (instrument == nullptr) {
        message->error = "Unknown/unsupported LocalInstrumentCode (setDDType)";
        return 0;
    }
    if (!ensure_message_id(message, start.local)) {
        message->error = out_of_memory_text;
        return 0;
    }
    const rulebook_t *row = rulebook_row(rulebook);
    if (row == nullptr) {
        message->error = "unknown/unsupported SEPA rulebook selected";
        return 0;
    }
    if (!check_transactions(message, rulebook, *row)) return 0;

    payment_groups<tx_record> groups;
    if (!build_groups(
            transaction_list_first(message), message->date, [](const tx_record *tx) { return tx->seq_type - 1; },
            &groups)) {
        message->error = out_of_memory_text;
        return 0;
    }
    const auto blocks = [&](xml_lines &out) { write_blocks(out, message, groups, instrument, *row); };
    const int written = write_document(message, buffer, row->dd, "CstmrDrctDbtInitn", groups.total_cents, start,
                                       blocks);
    release_groups(groups);
    return written;
}
