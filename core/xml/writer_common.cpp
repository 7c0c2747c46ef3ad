#include "core/xml/writer_common.h"

#include <cinttypes>
#include <cstring>

#include "core/frame/text_checks.h"
#include "core/message/amount.h"

bool amount_fits_schema(int64_t cents) { return cents >= 1 && cents <= MAX_AMOUNT_CENTS; }

bool control_sum_fits_schema(int64_t cents) { return cents >= 0 && cents <= MAX_CONTROL_SUM_CENTS; }

bool check_identifier(sepa_t *message, const char *text, id_charset charset, const char *what, unsigned number,
                      const char *rulebook) {
    const char *bad = first_bad_id_char(text, charset);
    if (bad == nullptr) return true;
    char character[CHARACTER_TEXT_SIZE];
    describe_character(bad, character);
    set_error(message, "Invalid character '%s' in %s of transaction %u (rulebook %s)", character, what, number,
              rulebook);
    return false;
}

void format_count(uint32_t count, char out[COUNT_TEXT_SIZE]) {
    format_text(out, COUNT_TEXT_SIZE, "%" PRIu32, count);
}

void format_pmt_inf_id(const char *message_id, int number, char out[PMT_INF_ID_SIZE]) {
    char suffix[16];
    format_text(suffix, sizeof suffix, "-P%i", number);
    const size_t suffix_length = strlen(suffix);
    size_t prefix = strlen(message_id);
    if (prefix > PMT_INF_ID_SIZE - 1 - suffix_length) prefix = PMT_INF_ID_SIZE - 1 - suffix_length;
    memcpy(out, message_id, prefix);
    memcpy(out + prefix, suffix, suffix_length + 1);
}

void write_group_header(xml_lines &out, const sepa_t *message, int64_t control_sum_cents,
                        const writer_time &start) {
    char created[CREATION_TIME_SIZE], count[COUNT_TEXT_SIZE], sum[AMOUNT_TEXT_SIZE];
    format_creation_time(start.utc, created);
    format_count(message->tx_count, count);
    format_amount(control_sum_cents, sum);
    out.open(2, "GrpHdr");
    out.value(3, "MsgId", message->message_id);
    out.value(3, "CreDtTm", created);
    out.value(3, "NbOfTxs", count);
    out.value(3, "CtrlSum", sum);
    out.open(3, "InitgPty");
    if (message->name != nullptr) out.escaped(4, "Nm", message->name);
    out.close(3, "InitgPty");
    out.close(2, "GrpHdr");
}

void write_agent(xml_lines &out, std::string_view element, int depth, int inner_depth, const char *agent_element,
                 const char *bic) {
    out.open(depth, element);
    out.open(inner_depth, "FinInstnId");
    if (bic != nullptr) {
        out.value(inner_depth + 1, agent_element, bic);
    } else {
        out.open(inner_depth + 1, "Othr");
        out.fixed(inner_depth + 2, "<Id>NOTPROVIDED</Id>");
        out.close(inner_depth + 1, "Othr");
    }
    out.close(inner_depth, "FinInstnId");
    out.close(depth, element);
}

void write_account(xml_lines &out, std::string_view element, int depth, int id_depth, const char *iban) {
    out.open(depth, element);
    out.open(id_depth, "Id");
    out.value(id_depth + 1, "IBAN", iban);
    out.close(id_depth, "Id");
    out.close(depth, element);
}

void write_party(xml_lines &out, std::string_view element, int depth, const char *name,
                 const party_address &address, int address_field_depth) {
    out.open(depth, element);
    out.escaped(depth + 1, "Nm", name);
    if (address.country != nullptr || address.line1 != nullptr || address.line2 != nullptr) {
        out.open(depth + 1, "PstlAdr");
        if (address.country != nullptr) out.escaped(address_field_depth, "Ctry", address.country);
        if (address.line1 != nullptr) out.escaped(address_field_depth, "AdrLine", address.line1);
        if (address.line2 != nullptr) out.escaped(address_field_depth, "AdrLine", address.line2);
        out.close(depth + 1, "PstlAdr");
    }
    out.close(depth, element);
}

void write_payment_id(xml_lines &out, const char *end_to_end_id) {
    out.open(4, "PmtId");
    if (end_to_end_id != nullptr) out.escaped(5, "EndToEndId", end_to_end_id);
    else out.value(5, "EndToEndId", "NOTPROVIDED");
    out.close(4, "PmtId");
}

void write_remittance(xml_lines &out, const char *remittance) {
    if (remittance == nullptr || remittance[0] == '\0') return;
    out.open(4, "RmtInf");
    out.escaped(5, "Ustrd", remittance);
    out.close(4, "RmtInf");
}

void write_block_start(xml_lines &out, const sepa_t *message, int number, std::string_view method_line,
                       uint32_t count, int64_t sum_cents) {
    char id[PMT_INF_ID_SIZE], count_text[COUNT_TEXT_SIZE], sum_text[AMOUNT_TEXT_SIZE];
    format_pmt_inf_id(message->message_id, number, id);
    format_count(count, count_text);
    format_amount(sum_cents, sum_text);
    out.open(2, "PmtInf");
    out.value(3, "PmtInfId", id);
    out.fixed(3, method_line);
    out.fixed(3, message->batch_booking ? "<BtchBookg>true</BtchBookg>" : "<BtchBookg>false</BtchBookg>");
    out.value(3, "NbOfTxs", count_text);
    out.value(3, "CtrlSum", sum_text);
    out.open(3, "PmtTpInf");
    out.open(4, "SvcLvl");
    out.fixed(5, "<Cd>SEPA</Cd>");
    out.close(4, "SvcLvl");
}
