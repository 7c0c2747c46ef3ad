// pain.008: a direct debit to the message's account (the creditor) from the
// debtors of its transactions, one PmtInf block per collection date and sequence type.
#include "core/frame/rulebook.h"
#include "core/message/creditor_id_check.h"
#include "core/message/transactions.h"
#include "core/xml/document_writers.h"
#include "core/xml/payment_groups.h"
#include "core/xml/schema_profile.h"
#include "core/xml/writer_common.h"

namespace {

using ddi_group = pmt_group<ddi_transaction>;

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

// What the rulebook's schema demands of each transaction. sepa_add has checked
// them under the rulebook of that moment; the rulebook may have changed since.
bool check_transactions(sepa_t *message, const schema_profile &profile, const char *rulebook) {
    unsigned number = 0;
    for (auto *tx = static_cast<const ddi_transaction *>(message->tx_head); tx != nullptr; tx = tx->next) {
        ++number;
        if (tx->name == nullptr || tx->name[0] == '\0')
            return set_error(message, "Missing debtor name in transaction %u", number), false;
        if (tx->iban == nullptr)
            return set_error(message, "Missing debtor IBAN in transaction %u", number), false;
        if (tx->seq_type < SEQ_FRST || tx->seq_type > SEQ_FNAL)
            return set_error(message, "Missing sequence type in transaction %u", number), false;
        if (!amount_fits_schema(tx->amount_cents))
            return set_error(message, "Invalid amount in transaction %u", number), false;
        if (tx->mandate_ref == nullptr)
            return set_error(message, "Missing mandate reference in transaction %u", number), false;
        if (tx->mandate_date == nullptr)
            return set_error(message, "Missing mandate signature date in transaction %u", number), false;
        if (tx->bic == nullptr && profile.agents_need_bic)
            return set_error(message, "BIC missing in transaction %u (required by rulebook %s)", number,
                             rulebook), false;
        if (!check_identifier(message, tx->end_to_end_id, profile.ids, "end-to-end ID", number, rulebook) ||
            !check_identifier(message, tx->mandate_ref, profile.mandate_ids, "mandate reference", number, rulebook) ||
            !check_identifier(message, tx->old_mandate_ref, profile.mandate_ids, "old mandate reference", number,
                              rulebook))
            return false;
    }
    return true;
}

// AmdmntInd and AmdmntInfDtls of a mandate changed since the last collection.
void write_amendment(xml_lines &out, const ddi_transaction *tx, const schema_profile &profile) {
    out.fixed(6, "<AmdmntInd>true</AmdmntInd>");
    out.open(6, "AmdmntInfDtls");
    if (tx->old_mandate_ref != nullptr) out.escaped(7, "OrgnlMndtId", tx->old_mandate_ref);
    if (tx->smnda) {
        // Same mandate, new debtor agent: the newer guidelines name it in the account,
        // the older ones (up to DE-2.9, AT-6 and NL-6) in the agent.
        const char *container = profile.smnda_as_account ? "OrgnlDbtrAcct" : "OrgnlDbtrAgt";
        const char *inner = profile.smnda_as_account ? "Id" : "FinInstnId";
        out.open(7, container);
        out.open(8, inner);
        out.open(9, "Othr");
        out.fixed(10, "<Id>SMNDA</Id>");
        out.close(9, "Othr");
        out.close(8, inner);
        out.close(7, container);
    } else if (tx->old_iban != nullptr) {
        write_account(out, "OrgnlDbtrAcct", 7, 8, tx->old_iban);
    }
    out.close(6, "AmdmntInfDtls");
}

void write_transaction(xml_lines &out, const ddi_transaction *tx, const schema_profile &profile) {
    char amount[AMOUNT_TEXT_SIZE];
    format_amount(tx->amount_cents, amount);
    out.open(3, "DrctDbtTxInf");
    write_payment_id(out, tx->end_to_end_id);
    out.value_tagged(4, "InstdAmt Ccy=\"EUR\"", "InstdAmt", amount);
    out.open(4, "DrctDbtTx");
    out.open(5, "MndtRltdInf");
    out.escaped(6, "MndtId", tx->mandate_ref);
    out.value(6, "DtOfSgntr", tx->mandate_date);
    if (tx->old_mandate_ref != nullptr || tx->old_iban != nullptr || tx->smnda) write_amendment(out, tx, profile);
    out.close(5, "MndtRltdInf");
    out.close(4, "DrctDbtTx");
    write_agent(out, "DbtrAgt", 4, 5, profile.agent, tx->bic);
    write_party(out, "Dbtr", 4, tx->name, {tx->country, tx->addr_line1, tx->addr_line2}, 6);
    write_account(out, "DbtrAcct", 4, 5, tx->iban);
    write_remittance(out, tx->remittance);
    out.close(3, "DrctDbtTxInf");
}

void write_block(xml_lines &out, const sepa_t *message, const ddi_group &group, int slot, int number,
                 const char *instrument, const schema_profile &profile) {
    write_block_start(out, message, number, "<PmtMtd>DD</PmtMtd>", group.count[slot], group.sum[slot]);
    out.open(4, "LclInstrm");
    out.value(5, "Cd", instrument);
    out.close(4, "LclInstrm");
    out.value(4, "SeqTp", sequence_types[slot]);
    out.close(3, "PmtTpInf");
    out.value(3, "ReqdColltnDt", group.date);
    write_party(out, "Cdtr", 3, message->name);
    write_account(out, "CdtrAcct", 3, 4, message->iban);
    // check_creditor has made sure the creditor has a BIC.
    write_agent(out, "CdtrAgt", 3, 4, profile.agent, message->bic);
    out.fixed(3, "<ChrgBr>SLEV</ChrgBr>");
    out.open(3, "CdtrSchmeId");
    out.open(4, "Id");
    out.open(5, "PrvtId");
    out.open(6, "Othr");
    out.escaped(7, "Id", message->creditor_id);
    out.open(7, "SchmeNm");
    out.fixed(8, "<Prtry>SEPA</Prtry>");
    out.close(7, "SchmeNm");
    out.close(6, "Othr");
    out.close(5, "PrvtId");
    out.close(4, "Id");
    out.close(3, "CdtrSchmeId");
    for (uint32_t i = 0; i < group.count[slot]; ++i) write_transaction(out, group.items[slot][i], profile);
    out.close(2, "PmtInf");
}

// One PmtInf block per collection date and sequence type in use, numbered from 1.
void write_blocks(xml_lines &out, const sepa_t *message, const payment_groups<ddi_transaction> &groups,
                  const char *instrument, const schema_profile &profile) {
    int number = 0;
    for (uint32_t i = 0; i < groups.count; ++i)
        for (int slot = 0; slot < GROUP_SLOTS; ++slot)
            if (groups.groups[i].count[slot] != 0)
                write_block(out, message, groups.groups[i], slot, ++number, instrument, profile);
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
        message->error = "ddi_toXML: strdup() failed";
        return 0;
    }
    const schema_profile *profile = schema_profile_of(rulebook);
    if (profile == nullptr) {
        message->error = "unknown/unsupported SEPA rulebook selected";
        return 0;
    }
    if (!check_transactions(message, *profile, rulebook_table[rulebook].name)) return 0;

    payment_groups<ddi_transaction> groups;
    if (!build_groups(static_cast<const ddi_transaction *>(message->tx_head), message->date,
                      [](const ddi_transaction *tx) { return tx->seq_type - 1; }, &groups)) {
        message->error = "Out of memory";
        return 0;
    }
    const auto blocks = [&](xml_lines &out) { write_blocks(out, message, groups, instrument, *profile); };
    const int written = write_document(message, buffer, rulebook_table[rulebook].dd_schema,
                                       rulebook_table[rulebook].schema_location, "CstmrDrctDbtInitn", groups.total_cents, start, blocks);
    release_groups(groups);
    return written;
}
