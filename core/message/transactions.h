// The stored transactions of a payment message. Each transaction is one record: a
// small fixed header followed by its texts (NUL-terminated) and its postal address,
// all in one piece of memory. Records sit one after the other, in the order they were
// added, in chunks owned by the message (see transaction_list.h), so a transaction
// costs its texts plus the header and no allocation of its own, and walking the list
// reads memory in order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/message/postal_address.h"

// The texts a transaction may carry, in storage order; NULL / absent when not given.
enum tx_text : uint8_t {
    TX_END_TO_END_ID,    // "id"
    TX_NAME,             // "name": debtor (DD) or creditor (CT) name
    TX_IBAN,             // "iban": debtor (DD) or creditor (CT) IBAN
    TX_BIC,              // "bic": upper case
    TX_REMITTANCE,       // "ref": unstructured remittance information, never empty
    TX_DATE,             // "date"; absent = the message's date
    TX_PURPOSE,          // "purp": credit transfers, 4 bytes
    TX_MANDATE_REF,      // "mref": direct debits, as the three below
    TX_MANDATE_DATE,     // "mdate"
    TX_OLD_MANDATE_REF,  // "old_mref"
    TX_OLD_IBAN,         // "old_iban"
    TX_TEXT_COUNT
};

// Sequence types of a direct debit (tx_record::seq_type).
enum seq_type_t : uint8_t { SEQ_NONE = 0, SEQ_FRST = 1, SEQ_RCUR = 2, SEQ_OOFF = 3, SEQ_FNAL = 4 };

// What a new transaction holds, as sepa_add has accepted it; the texts are copied
// into the record.
struct tx_fields {
    const char *text[TX_TEXT_COUNT] = {};
    const postal_address *address = nullptr;  // NULL = none
    int64_t amount_cents = 0;                 // "amount" in euro cents
    uint8_t seq_type = SEQ_NONE;              // "seq": seq_type_t (direct debits)
    uint8_t smnda = 0;                        // "smnda": 1 = same mandate, new debtor agent
    // 1 + index of the rulebook whose transaction rules sepa_add found kept, 0 when
    // none was chosen then: rendering under that rulebook need not check them again.
    uint8_t rules_checked_under = 0;
};

// One stored transaction (either message type). Offsets count from the start of the
// record; 0 marks an absent text or address. Records are only 2-byte aligned (the
// alignment of the offsets), so the amount is kept as bytes.
struct tx_record {
    uint16_t size;        // bytes of the record with everything behind the header, even
    uint16_t address_at;  // a packed postal_address
    uint16_t text_at[TX_TEXT_COUNT];
    uint8_t seq_type;
    uint8_t smnda;
    uint8_t rules_checked_under;
    unsigned char amount_bytes[sizeof(int64_t)];  // amount in euro cents

    int64_t amount_cents() const {
        int64_t cents;
        std::memcpy(&cents, amount_bytes, sizeof cents);
        return cents;
    }
    const char *text(tx_text which) const {
        return text_at[which] == 0 ? nullptr : reinterpret_cast<const char *>(this) + text_at[which];
    }
    const char *end_to_end_id() const { return text(TX_END_TO_END_ID); }
    const char *name() const { return text(TX_NAME); }
    const char *iban() const { return text(TX_IBAN); }
    const char *bic() const { return text(TX_BIC); }
    const char *remittance() const { return text(TX_REMITTANCE); }
    const char *date() const { return text(TX_DATE); }
    const char *purpose() const { return text(TX_PURPOSE); }
    const char *mandate_ref() const { return text(TX_MANDATE_REF); }
    const char *mandate_date() const { return text(TX_MANDATE_DATE); }
    const char *old_mandate_ref() const { return text(TX_OLD_MANDATE_REF); }
    const char *old_iban() const { return text(TX_OLD_IBAN); }
    const postal_address *address() const {
        return address_at == 0
                   ? nullptr
                   : reinterpret_cast<const postal_address *>(reinterpret_cast<const char *>(this) + address_at);
    }
    // The transaction added after this one, or NULL for the last.
    const tx_record *next() const;
};

// Behind the last record of a chunk: a size of 0 where a record's size would be, then
// the first record of the next chunk (NULL after the message's last record).
struct tx_chunk_end {
    uint16_t zero;
    const tx_record *next;
};

inline const tx_record *tx_record::next() const {
    // Read as bytes: behind a record lies either another record or a chunk end.
    const char *after = reinterpret_cast<const char *>(this) + size;
    uint16_t following_size;
    std::memcpy(&following_size, after, sizeof following_size);
    if (following_size != 0) return reinterpret_cast<const tx_record *>(after);
    const tx_record *following;
    std::memcpy(&following, after + offsetof(tx_chunk_end, next), sizeof(const void *));
    return following;
}
