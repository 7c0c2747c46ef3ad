// Pieces both document writers share: the document frame and group header, the
// element blocks both documents hold, PmtInfId, amounts and counts as text, and
// the error texts of checks made before writing.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/frame/text_checks.h"
#include "core/xml/amount_text.h"
#include "core/xml/message_identity.h"
#include "core/xml/schema_profile.h"
#include "core/xml/xml_lines.h"
#include "sepa.h"

// The schemas cap an instructed amount at 999999999.99 and need at least 0.01.
bool amount_fits_schema(int64_t cents);

// Control sums are decimals of at most 18 digits.
bool control_sum_fits_schema(int64_t cents);

// Writes the GrpHdr block (depth 2) with MsgId, CreDtTm, NbOfTxs, CtrlSum (the
// exact sum of the amounts written, `control_sum_cents`) and InitgPty/Nm (when the
// message has a name).
void write_group_header(xml_lines &out, const sepa_t *message, int64_t control_sum_cents,
                        const writer_time &start);

// "<message_id>-P<number>", the message id cut so that the whole stays within the
// 35 characters every schema allows.
inline constexpr size_t PMT_INF_ID_SIZE = 36;
void format_pmt_inf_id(const char *message_id, int number, char out[PMT_INF_ID_SIZE]);

// Element blocks both writers write, differing only in names and depths. The
// documents keep the depths they have always had (some children sit at their
// parent's depth), so each block takes its depths instead of deriving them.

// <element><FinInstnId> with the BIC under the profile's agent element, or, with
// no BIC (IBAN-only payment), Othr/Id "NOTPROVIDED". The children of FinInstnId
// sit one level below `inner_depth`.
void write_agent(xml_lines &out, std::string_view element, int depth, int inner_depth, const char *agent_element,
                 const char *bic);

// <element><Id><IBAN>; the IBAN sits one level below `id_depth`.
void write_account(xml_lines &out, std::string_view element, int depth, int id_depth, const char *iban);

// Postal address of a party; any field may be NULL, and all NULL writes no PstlAdr.
struct party_address {
    const char *country = nullptr;
    const char *line1 = nullptr;
    const char *line2 = nullptr;
};

// <element><Nm> and, when the address has a field, PstlAdr (at depth + 1) whose
// fields sit at `address_field_depth`.
void write_party(xml_lines &out, std::string_view element, int depth, const char *name,
                 const party_address &address = {}, int address_field_depth = 0);

// PmtId/EndToEndId at depth 4, "NOTPROVIDED" when the transaction has none.
void write_payment_id(xml_lines &out, const char *end_to_end_id);

// RmtInf/Ustrd at depth 4; Ustrd needs at least one character, so no text writes nothing.
void write_remittance(xml_lines &out, const char *remittance);

// Opens PmtInf (depth 2) and writes PmtInfId, the method line, BtchBookg, NbOfTxs,
// CtrlSum, then opens PmtTpInf with SvcLvl/Cd "SEPA". The caller adds what else
// PmtTpInf holds and closes it.
void write_block_start(xml_lines &out, const sepa_t *message, int number, std::string_view method_line,
                       uint32_t count, int64_t sum_cents);

// The document around the payment blocks: the Document start tag, the root
// element, the group header, the blocks `write_blocks(out)` appends, and the closing
// lines. Returns 1, or 0 with "Out of memory" when the buffer could not grow.
template <typename WriteBlocks>
int write_document(sepa_t *message, xml_buffer *buffer, const char *schema, bool with_location,
                   std::string_view root, int64_t control_sum_cents, const writer_time &start,
                   WriteBlocks write_blocks) {
    xml_lines out(buffer);
    if (write_document_start(buffer, schema, with_location)) {
        out.open(1, root);
        write_group_header(out, message, control_sum_cents, start);
        write_blocks(out);
        out.close(1, root);
        out.close(0, "Document");
        if (out.ok()) return 1;
    }
    message->error = "Out of memory";
    return 0;
}

// Decimal text of an unsigned count.
inline constexpr size_t COUNT_TEXT_SIZE = 12;
void format_count(uint32_t count, char out[COUNT_TEXT_SIZE]);

// Formats an error text into the message's buffer and points its error there.
template <typename... Args>
void set_error(sepa_t *message, const char *format, Args... args) {
    format_text(message->error_buf, sizeof message->error_buf, format, args...);
    message->error = message->error_buf;
}

// True when every byte of `text` (NULL passes) is in `charset`; else sets "Invalid
// character 'c' in <what> of transaction <number> (rulebook <rulebook>)" and returns false.
bool check_identifier(sepa_t *message, const char *text, id_charset charset, const char *what, unsigned number,
                      const char *rulebook);
