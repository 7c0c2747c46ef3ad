// Pieces both document writers share: the group header, PmtInfId, amounts and
// counts as text, and the error texts of checks made before writing.
#pragma once

#include <cstdint>

#include "core/frame/text_checks.h"
#include "core/xml/amount_text.h"
#include "core/xml/message_identity.h"
#include "core/xml/xml_lines.h"
#include "sepa.h"

// The schemas cap an instructed amount at 999999999.99 and need at least 0.01.
bool amount_fits_schema(double amount);

// Control sums are decimals of at most 18 digits; a 64-bit count of cents must hold them.
bool control_sum_fits_schema(double sum);

// Writes the GrpHdr block (depth 2) with MsgId, CreDtTm, NbOfTxs, CtrlSum and
// InitgPty/Nm (when the message has a name).
void write_group_header(xml_lines &out, const sepa_t *message, const writer_time &start);

// "<message_id>-P<number>", the message id cut so that the whole stays within the
// 35 characters every schema allows.
inline constexpr size_t PMT_INF_ID_SIZE = 36;
void format_pmt_inf_id(const char *message_id, int number, char out[PMT_INF_ID_SIZE]);

// Decimal text of an unsigned count.
inline constexpr size_t COUNT_TEXT_SIZE = 12;
void format_count(uint32_t count, char out[COUNT_TEXT_SIZE]);

// Formats an error text into the message's buffer and points its error there.
template <typename... Args>
void set_error(sepa_t *message, const char *format, Args... args) {
    format_text(message->error_buf, sizeof message->error_buf, format, args...);
    message->error = message->error_buf;
}
