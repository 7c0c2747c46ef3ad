#include "core/xml/writer_common.h"

#include <cinttypes>
#include <cstring>

#include "core/frame/text_checks.h"
#include "core/message/amount.h"
#include "core/message/transaction_rules.h"

bool amount_fits_schema(int64_t cents) { return cents >= 1 && cents <= MAX_AMOUNT_CENTS; }

bool control_sum_fits_schema(int64_t cents) { return cents >= 0 && cents <= MAX_CONTROL_SUM_CENTS; }

bool check_transaction_rules(sepa_t *message, const rulebook_t &rulebook, const tx_rule_view &tx, unsigned number) {
    rule_failure failure{};
    if (transaction_rules_kept(rulebook, tx, &failure)) return true;
    if (failure.what != nullptr) {
        char character[CHARACTER_TEXT_SIZE];
        describe_character(failure.bad, character);
        set_error(message, "Invalid character '%s' in %s of transaction %u (rulebook %s)", character, failure.what,
                  number, rulebook.name);
    } else set_error(message, "%s in transaction %u (required by rulebook %s)", failure.text, number, rulebook.name);
    return false;
}

void format_count(uint32_t count, char out[COUNT_TEXT_SIZE]) { format_text(out, COUNT_TEXT_SIZE, "%" PRIu32, count); }

void format_pmt_inf_id(const char *message_id, int number, char out[PMT_INF_ID_SIZE]) {
    char suffix[16];
    format_text(suffix, sizeof suffix, "-P%i", number);
    // The message id is cut where the suffix would no longer fit.
    const int room = static_cast<int>(PMT_INF_ID_SIZE - 1 - strlen(suffix));
    format_text(out, PMT_INF_ID_SIZE, "%.*s%s", room, message_id, suffix);
}

void write_group_header(xml_lines &out, const sepa_t *message, int64_t control_sum_cents, const writer_time &start) {
    char created[CREATION_TIME_SIZE], count[COUNT_TEXT_SIZE], sum[AMOUNT_TEXT_SIZE];
    format_creation_time(start.utc, created);
    format_count(message->tx_count, count);
    format_amount(control_sum_cents, sum);
    out.open("GrpHdr");
    out.value("MsgId", message->message_id);
    out.value("CreDtTm", created);
    out.value("NbOfTxs", count);
    out.value("CtrlSum", sum);
    out.open("InitgPty");
    if (message->name != nullptr) out.escaped("Nm", message->name);
    out.close();
    out.close();
}

void write_agent(xml_lines &out, std::string_view element, children layout, const char *agent_element,
                 const char *bic) {
    out.open(element, layout);
    out.open("FinInstnId");
    if (bic != nullptr) {
        out.value(agent_element, bic);
    } else {
        out.open("Othr");
        out.fixed("<Id>NOTPROVIDED</Id>");
        out.close();
    }
    out.close();
    out.close();
}

void write_account(xml_lines &out, std::string_view element, children layout, const char *iban) {
    out.open(element, layout);
    out.open("Id");
    out.value("IBAN", iban);
    out.close();
    out.close();
}

void write_party(xml_lines &out, std::string_view element, const char *name, const postal_address *address,
                 children address_layout) {
    out.open(element);
    out.escaped("Nm", name);
    if (address != nullptr) {
        out.open("PstlAdr", address_layout);
        for (int i = 0; i < ADDRESS_FIELD_COUNT; ++i) {
            const auto field = static_cast<address_field>(i);
            if (const char *value = address_get(address, field)) out.escaped(address_fields[field].element, value);
        }
        out.close();
    }
    out.close();
}

void write_payment_id(xml_lines &out, const char *end_to_end_id) {
    out.open("PmtId");
    if (end_to_end_id != nullptr) out.escaped("EndToEndId", end_to_end_id);
    else out.value("EndToEndId", "NOTPROVIDED");
    out.close();
}

void write_remittance(xml_lines &out, const char *remittance) {
    if (remittance == nullptr || remittance[0] == '\0') return;
    out.open("RmtInf");
    out.escaped("Ustrd", remittance);
    out.close();
}

void write_block_start(xml_lines &out, const sepa_t *message, int number, std::string_view method_line, uint32_t count,
                       int64_t sum_cents) {
    char id[PMT_INF_ID_SIZE], count_text[COUNT_TEXT_SIZE], sum_text[AMOUNT_TEXT_SIZE];
    format_pmt_inf_id(message->message_id, number, id);
    format_count(count, count_text);
    format_amount(sum_cents, sum_text);
    out.open("PmtInf");
    out.value("PmtInfId", id);
    out.fixed(method_line);
    out.fixed(message->batch_booking ? "<BtchBookg>true</BtchBookg>" : "<BtchBookg>false</BtchBookg>");
    out.value("NbOfTxs", count_text);
    out.value("CtrlSum", sum_text);
    out.open("PmtTpInf");
    out.open("SvcLvl");
    out.fixed("<Cd>SEPA</Cd>");
    out.close();
}
