// pain.001: a credit transfer from the message's account (the debtor) to the
// creditors of its transactions, one PmtInf block per execution date.

#include "core/frame/out_of_memory.h"
#include "core/frame/rulebook.h"
#include "core/message/transaction_rules.h"
#include "core/message/transaction_list.h"
#include "core/xml/document_writers.h"
#include "core/xml/payment_groups.h"
#include "core/xml/writer_common.h"

#include <string>

namespace {

using cti_group = pmt_group<tx_record>;

// The message's own data: a schema needs the debtor's IBAN and name, and a BIC
// where it has no IBAN-only form.
bool check_debtor(sepa_t *message, const rulebook_t *rulebook) {
    const char *missing = nullptr;
    if (message->iban == nullptr) missing = "Missing debtor IBAN";
    else if (message->bic == nullptr && rulebook != nullptr && rulebook->bic_required) missing = "Missing debtor BIC";
    else if (message->name == nullptr || message->name[0] == '\0') missing = "Missing debtor name";
    else if (message->tx_count == 0 || message->tx_head == nullptr) missing = "No transactions available";
    else if (!control_sum_fits_schema(message->control_sum_cents)) missing = "Control sum too large";
    if (missing != nullptr) message->error = missing;
    return missing == nullptr;
}

tx_rule_view rule_view(const tx_record &tx) {
    return {false, tx.end_to_end_id(), tx.name(), tx.iban(), tx.bic(), tx.address(), tx.remittance(), nullptr, nullptr};
}

// What the document needs of each transaction, and the rules of the rulebook it is
// rendered under (sepa_add checked them under the rulebook of that moment).
bool check_transactions(sepa_t *message, int rulebook_index, const rulebook_t &rulebook) {
    const auto *payer = static_cast<const postal_address *>(message->address);
    if (const char *failure = address_failure_under(rulebook, payer, message->error_buf, sizeof message->error_buf)) {
        set_error(message, "Debtor address: %s", std::string(failure).c_str());
        return false;
    }
    unsigned number = 0;
    for (auto *tx = transaction_list_first(message); tx != nullptr; tx = tx->next()) {
        ++number;
        if (tx->name() == nullptr || tx->name()[0] == '\0')
            return set_error(message, "Missing creditor name in transaction %u", number), false;
        if (tx->iban() == nullptr) return set_error(message, "Missing creditor IBAN in transaction %u", number), false;
        if (!amount_fits_schema(tx->amount_cents()))
            return set_error(message, "Invalid amount in transaction %u", number), false;
        // What sepa_add found kept under this same rulebook holds still: the texts never change.
        if (tx->rules_checked_under != rulebook_index + 1 &&
            !check_transaction_rules(message, rulebook, rule_view(*tx), number))
            return false;
        if (!payer_address_kept(rulebook, rule_view(*tx), payer))
            return set_error(message,
                             "Debtor address with town name and country required for creditor banks outside EEA "
                             "(transaction %u, rulebook %s)",
                             number, rulebook.name),
                   false;
        if (tx->purpose() != nullptr) {
            for (const char *p = tx->purpose(); *p; ++p)
                if (*p < 0x20 || *p > 0x7E)
                    return set_error(message, "Invalid purpose code in transaction %u", number), false;
        }
    }
    return true;
}

void write_debtor(xml_lines &out, const sepa_t *message, const rulebook_t &rulebook) {
    write_party(out, "Dbtr", message->name, static_cast<const postal_address *>(message->address));
    write_account(out, "DbtrAcct", children::indented, message->iban);
    write_agent(out, "DbtrAgt", children::indented, rulebook.agent, message->bic);
}

void write_transaction(xml_lines &out, const tx_record *tx, const rulebook_t &rulebook) {
    char amount[AMOUNT_TEXT_SIZE];
    format_amount(tx->amount_cents(), amount);
    out.open("CdtTrfTxInf");
    write_payment_id(out, tx->end_to_end_id());
    out.open("Amt");
    out.value("InstdAmt", {"Ccy", "EUR"}, amount);
    out.close();
    if (tx->bic() != nullptr) write_agent(out, "CdtrAgt", children::flat, rulebook.agent, tx->bic());
    write_party(out, "Cdtr", tx->name(), tx->address(), children::flat);
    write_account(out, "CdtrAcct", children::flat, tx->iban());
    if (tx->purpose() != nullptr) {
        out.open("Purp");
        out.escaped("Cd", tx->purpose());
        out.close();
    }
    write_remittance(out, tx->remittance());
    out.close();
}

void write_block(xml_lines &out, const sepa_t *message, const cti_group &group, int number,
                 const rulebook_t &rulebook) {
    write_block_start(out, message, number, "<PmtMtd>TRF</PmtMtd>", group.count[0], group.sum[0]);
    if (message->instant) {
        out.open("LclInstrm");
        out.fixed("<Cd>INST</Cd>");
        out.close();
    }
    out.close();  // PmtTpInf
    if (rulebook.execution_date_choice) {
        out.open("ReqdExctnDt");
        out.value("Dt", group.date);
        out.close();
    } else {
        out.value("ReqdExctnDt", group.date);
    }
    write_debtor(out, message, rulebook);
    out.fixed("<ChrgBr>SLEV</ChrgBr>");
    for_each_in_slot(group, 0, [&](const tx_record *tx) { write_transaction(out, tx, rulebook); });
    out.close();  // PmtInf
}

// One PmtInf block per execution date, numbered from 1.
void write_blocks(xml_lines &out, const sepa_t *message, const payment_groups<tx_record> &groups,
                  const rulebook_t &rulebook) {
    for (uint32_t i = 0; i < groups.count; ++i)
        write_block(out, message, groups.groups[i], static_cast<int>(i) + 1, rulebook);
}

}  // namespace

int cti_toXML(sepa_t *message, xml_buffer *buffer, const writer_time &start) {
    const int rulebook_index = current_rulebook();
    const rulebook_t *rulebook = rulebook_row(rulebook_index);
    if (!check_debtor(message, rulebook)) return 0;
    if (!ensure_message_id(message, start.local)) {
        message->error = out_of_memory_text;
        return 0;
    }
    if (rulebook == nullptr) {
        message->error = "unknown/unsupported SEPA rulebook selected";
        return 0;
    }
    if (message->instant && !rulebook->instant_allowed) {
        set_error(message, "SEPA Instant is not allowed with rulebook %s", rulebook->name);
        return 0;
    }
    if (!check_transactions(message, rulebook_index, *rulebook)) return 0;

    payment_groups<tx_record> groups;
    if (!build_groups(
            transaction_list_first(message), message->date, [](const tx_record *) { return 0; }, &groups)) {
        message->error = out_of_memory_text;
        return 0;
    }
    const auto blocks = [&](xml_lines &out) { write_blocks(out, message, groups, *rulebook); };
    const int written = write_document(message, buffer, rulebook->ct, "CstmrCdtTrfInitn", groups.total_cents, start,
                                       blocks);
    release_groups(groups);
    return written;
}
