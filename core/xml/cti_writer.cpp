// pain.001: a credit transfer from the message's account (the debtor) to the
// creditors of its transactions, one PmtInf block per execution date.

#include "core/frame/rulebook.h"
#include "core/message/transactions.h"
#include "core/xml/document_writers.h"
#include "core/xml/payment_groups.h"
#include "core/xml/schema_profile.h"
#include "core/xml/writer_common.h"

namespace {

using cti_group = pmt_group<cti_transaction>;

// The message's own data: a schema needs the debtor's IBAN and name, and a BIC
// where it has no IBAN-only form.
bool check_debtor(sepa_t *message, const schema_profile *profile) {
    const char *missing = nullptr;
    if (message->iban == nullptr) missing = "Missing debtor IBAN";
    else if (message->bic == nullptr && profile != nullptr && profile->agents_need_bic)
        missing = "Missing debtor BIC";
    else if (message->name == nullptr || message->name[0] == '\0') missing = "Missing debtor name";
    else if (message->tx_count == 0 || message->tx_head == nullptr) missing = "No transactions available";
    else if (!control_sum_fits_schema(message->control_sum_cents)) missing = "Control sum too large";
    if (missing != nullptr) message->error = missing;
    return missing == nullptr;
}

// What the rulebook's schema demands of each transaction. sepa_add has checked
// them under the rulebook of that moment; the rulebook may have changed since.
bool check_transactions(sepa_t *message, const schema_profile &profile, const char *rulebook) {
    unsigned number = 0;
    for (auto *tx = static_cast<const cti_transaction *>(message->tx_head); tx != nullptr; tx = tx->next) {
        ++number;
        if (tx->name == nullptr || tx->name[0] == '\0')
            return set_error(message, "Missing creditor name in transaction %u", number), false;
        if (tx->iban == nullptr)
            return set_error(message, "Missing creditor IBAN in transaction %u", number), false;
        if (!amount_fits_schema(tx->amount_cents))
            return set_error(message, "Invalid amount in transaction %u", number), false;
        if (tx->bic == nullptr && profile.agents_need_bic)
            return set_error(message, "BIC missing in transaction %u (required by rulebook %s)", number,
                             rulebook), false;
        if (!check_identifier(message, tx->end_to_end_id, profile.ids, "end-to-end ID", number, rulebook))
            return false;
        if (tx->purpose != nullptr) {
            for (const char *p = tx->purpose; *p; ++p)
                if (*p < 0x20 || *p > 0x7E)
                    return set_error(message, "Invalid purpose code in transaction %u", number), false;
        }
    }
    return true;
}

void write_debtor(xml_lines &out, const sepa_t *message, const schema_profile &profile) {
    write_party(out, "Dbtr", 3, message->name);
    write_account(out, "DbtrAcct", 3, 4, message->iban);
    write_agent(out, "DbtrAgt", 3, 4, profile.agent, message->bic);
}

void write_transaction(xml_lines &out, const cti_transaction *tx, const schema_profile &profile) {
    char amount[AMOUNT_TEXT_SIZE];
    format_amount(tx->amount_cents, amount);
    out.open(3, "CdtTrfTxInf");
    write_payment_id(out, tx->end_to_end_id);
    out.open(4, "Amt");
    out.value_tagged(5, "InstdAmt Ccy=\"EUR\"", "InstdAmt", amount);
    out.close(4, "Amt");
    if (tx->bic != nullptr) write_agent(out, "CdtrAgt", 4, 4, profile.agent, tx->bic);
    write_party(out, "Cdtr", 4, tx->name, {tx->country, tx->addr_line1, tx->addr_line2}, 5);
    write_account(out, "CdtrAcct", 4, 4, tx->iban);
    if (tx->purpose != nullptr) {
        out.open(4, "Purp");
        out.escaped(5, "Cd", tx->purpose);
        out.close(4, "Purp");
    }
    write_remittance(out, tx->remittance);
    out.close(3, "CdtTrfTxInf");
}

void write_block(xml_lines &out, const sepa_t *message, const cti_group &group, int number,
                 const schema_profile &profile) {
    write_block_start(out, message, number, "<PmtMtd>TRF</PmtMtd>", group.count[0], group.sum[0]);
    out.close(3, "PmtTpInf");
    if (profile.execution_date_choice) {
        out.open(3, "ReqdExctnDt");
        out.value(4, "Dt", group.date);
        out.close(3, "ReqdExctnDt");
    } else {
        out.value(3, "ReqdExctnDt", group.date);
    }
    write_debtor(out, message, profile);
    out.fixed(3, "<ChrgBr>SLEV</ChrgBr>");
    for (uint32_t i = 0; i < group.count[0]; ++i) write_transaction(out, group.items[0][i], profile);
    out.close(2, "PmtInf");
}

// One PmtInf block per execution date, numbered from 1.
void write_blocks(xml_lines &out, const sepa_t *message, const payment_groups<cti_transaction> &groups,
                  const schema_profile &profile) {
    for (uint32_t i = 0; i < groups.count; ++i)
        write_block(out, message, groups.groups[i], static_cast<int>(i) + 1, profile);
}

}  // namespace

int cti_toXML(sepa_t *message, xml_buffer *buffer, const writer_time &start) {
    const int rulebook = current_rulebook();
    const schema_profile *profile = schema_profile_of(rulebook);
    if (!check_debtor(message, profile)) return 0;
    if (!ensure_message_id(message, start.local)) {
        message->error = "cti_toXML: strdup() failed";
        return 0;
    }
    if (profile == nullptr) {
        message->error = "unknown/unsupported SEPA rulebook selected";
        return 0;
    }
    if (!check_transactions(message, *profile, rulebook_table[rulebook].name)) return 0;

    payment_groups<cti_transaction> groups;
    if (!build_groups(static_cast<const cti_transaction *>(message->tx_head), message->date,
                      [](const cti_transaction *) { return 0; }, &groups)) {
        message->error = "Out of memory";
        return 0;
    }
    const auto blocks = [&](xml_lines &out) { write_blocks(out, message, groups, *profile); };
    const int written = write_document(message, buffer, rulebook_table[rulebook].ct_schema,
                                       rulebook_table[rulebook].schema_location, "CstmrCdtTrfInitn", groups.total_cents, start, blocks);
    release_groups(groups);
    return written;
}
