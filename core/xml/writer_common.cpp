#include "core/xml/writer_common.h"

#include <cinttypes>
#include <cstring>

#include "core/frame/text_checks.h"

bool amount_fits_schema(double amount) { return amount >= 0.005 && amount < 999999999.995; }

bool control_sum_fits_schema(double sum) { return sum >= 0 && sum < 1e15; }

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
