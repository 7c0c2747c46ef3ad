#include "core/xml/writer_common.h"

#include <cinttypes>
#include <cstring>

#include "core/frame/text_checks.h"
#include "core/message/amount.h"
#include "core/frame/number_reader.h"

bool amount_fits_schema(double amount) {
    // Cents as format_amount renders them, within the limit sepa_add applies.
    const double cents = round_half_up(amount * 100.0);
    return cents >= 1 && cents <= MAX_AMOUNT_CENTS;
}

bool control_sum_fits_schema(double sum) { return sum >= 0 && sum < 1e15; }

bool check_identifier(sepa_t *message, const char *text, id_charset charset, const char *what, unsigned number,
                      const char *rulebook) {
    const char *bad = first_bad_id_char(text, charset);
    if (bad == nullptr) return true;
    set_error(message, "Invalid character '%c' in %s of transaction %u (rulebook %s)", *bad, what, number, rulebook);
    return false;
}

void format_count(uint32_t count, char out[COUNT_TEXT_SIZE]) {
    format_text(out, COUNT_TEXT_SIZE, "%" PRIu32, count);
}

void format_pmt_inf_id(const char *message_id, int number, char out[PMT_INF_ID_SIZE]) {
    char suffix[16];
    format_text(suffix, sizeof suffix, "-P%i", number);
    // The message id is cut where the suffix would no longer fit.
    const int room = static_cast<int>(PMT_INF_ID_SIZE - 1 - strlen(suffix));
    format_text(out, PMT_INF_ID_SIZE, "%.*s%s", room, message_id, suffix);
}

void write_group_header(xml_lines &out, const sepa_t *message, const writer_time &start) {
    char created[CREATION_TIME_SIZE], count[COUNT_TEXT_SIZE], sum[AMOUNT_TEXT_SIZE];
    format_creation_time(start.utc, created);
    format_count(message->tx_count, count);
    format_amount(message->control_sum, sum);
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
                       uint32_t count, double sum) {
    char id[PMT_INF_ID_SIZE], count_text[COUNT_TEXT_SIZE], sum_text[AMOUNT_TEXT_SIZE];
    format_pmt_inf_id(message->message_id, number, id);
    format_count(count, count_text);
    format_amount(sum, sum_text);
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
