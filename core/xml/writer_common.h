// Pieces both document writers share: the document frame and group header, the
// element blocks both documents hold, PmtInfId, amounts and counts as text, and
// the error texts of checks made before writing.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/frame/out_of_memory.h"
#include "core/frame/text_checks.h"
#include "core/xml/amount_text.h"
#include "core/xml/message_identity.h"
#include "core/frame/rulebook.h"
#include "core/message/postal_address.h"
#include "core/xml/xml_lines.h"
#include "sepa.h"

// The schemas cap an instructed amount at 999999999.99 and need at least 0.01.
bool amount_fits_schema(int64_t cents);

// Control sums are decimals of at most 18 digits.
bool control_sum_fits_schema(int64_t cents);

// Writes the GrpHdr block with MsgId, CreDtTm, NbOfTxs, CtrlSum (the exact sum of
// the amounts written, `control_sum_cents`) and InitgPty/Nm (when the message has
// a name).
void write_group_header(xml_lines &out, const sepa_t *message, int64_t control_sum_cents, const writer_time &start);

// "<message_id>-P<number>", the message id cut so that the whole stays within the
// 35 characters every schema allows.
inline constexpr size_t PMT_INF_ID_SIZE = 36;
void format_pmt_inf_id(const char *message_id, int number, char out[PMT_INF_ID_SIZE]);

// Element blocks both writers write. Depths come from the element stack; the
// credit-transfer document keeps the children of some elements at their parent's
// depth (xml_lines::children::flat), as it always has.
using children = xml_lines::children;

// <element><FinInstnId> with the BIC under the rulebook's agent element, or, with
// no BIC (IBAN-only payment), Othr/Id "NOTPROVIDED". `layout` is that of `element`.
void write_agent(xml_lines &out, std::string_view element, children layout, const char *agent_element, const char *bic);

// <element><Id><IBAN>; `layout` is that of `element`.
void write_account(xml_lines &out, std::string_view element, children layout, const char *iban);

// <element><Nm> and, when the party has an address, PstlAdr with its fields in
// schema order, children laid out as `address_layout`.
void write_party(xml_lines &out, std::string_view element, const char *name, const postal_address *address = nullptr,
                 children address_layout = children::indented);

// PmtId/EndToEndId, "NOTPROVIDED" when the transaction has none.
void write_payment_id(xml_lines &out, const char *end_to_end_id);

// RmtInf/Ustrd; Ustrd needs at least one character, so no text writes nothing.
void write_remittance(xml_lines &out, const char *remittance);

// Opens PmtInf and writes PmtInfId, the method line, BtchBookg, NbOfTxs, CtrlSum,
// then opens PmtTpInf with SvcLvl/Cd "SEPA". The caller adds what else PmtTpInf
// holds and closes it.
void write_block_start(xml_lines &out, const sepa_t *message, int number, std::string_view method_line, uint32_t count,
                       int64_t sum_cents);

// The document around the payment blocks: the Document start tag of `schema`, the
// root element, the group header, the blocks `write_blocks(out)` appends, and the
// closing lines. A measuring pass first gives the document's size, so the buffer
// is had in one piece and a large document is never copied while it grows;
// `write_blocks` runs once per pass. Returns 1, or 0 with "Out of memory" when the
// buffer could not grow.
template <typename WriteBlocks>
int write_document(sepa_t *message, xml_buffer *buffer, const schema_names &schema, std::string_view root,
                   int64_t control_sum_cents, const writer_time &start, WriteBlocks write_blocks) {
    const auto write_all = [&](xml_lines &out) {
        out.open("Document", {{"xmlns", schema.ns},
                              {"xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance"},
                              {"xsi:schemaLocation", schema.location}});
        out.open(root);
        write_group_header(out, message, control_sum_cents, start);
        write_blocks(out);
        out.close();
        out.close();
    };
    xml_lines measure(xml_lines::measuring);
    write_all(measure);
    if (buffer_grow(buffer, measure.measured() + 1)) {
        xml_lines out(buffer);
        write_all(out);
        if (out.ok()) return 1;
    }
    message->error = out_of_memory_text;
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

// Applies the rules of `rulebook` to transaction <number> (one call per
// transaction); on a broken rule sets "Invalid character 'c' in <what> of
// transaction <number> (rulebook <name>)" or "<text> in transaction <number>
// (required by rulebook <name>)" and returns false.
struct tx_rule_view;
bool check_transaction_rules(sepa_t *message, const rulebook_t &rulebook, const tx_rule_view &tx, unsigned number);
