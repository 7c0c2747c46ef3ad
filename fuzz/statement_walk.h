// Walks every statement and line a parser holds and reads every text and number
// of the records, so that the sanitizers see any record that points to freed or
// unterminated memory. Shared by the statement fuzz targets.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "sepa.h"

namespace {

inline size_t touch(const char *text) { return text == nullptr ? 0 : std::strlen(text); }

inline size_t touch_fixed(const char *array, size_t size) {
    size_t length = strnlen(array, size);
    if (length == size) std::abort();  // fixed arrays are always NUL-terminated
    return length;
}

inline size_t walk(const sepa_stmt_t *stmt) {
    size_t sum = 0;
    for (; stmt != nullptr; stmt = stmt->next) {
        sum += touch(stmt->ref) + touch(stmt->account) + stmt->number + stmt->page;
        sum += touch_fixed(stmt->open_currency, sizeof stmt->open_currency);
        sum += touch_fixed(stmt->close_currency, sizeof stmt->close_currency);
        sum += static_cast<size_t>(stmt->open_date.tm_mday + stmt->close_date.tm_year);
        sum += stmt->open_saldo != stmt->close_saldo;
        sum += touch(stmt->message_type) + touch(stmt->message_id) + touch(stmt->created);
        sum += touch(stmt->account_currency) + touch(stmt->account_bic) + touch(stmt->owner_name);
        sum += static_cast<size_t>(stmt->open_cents) + static_cast<size_t>(stmt->close_cents) + stmt->legal_number;
        size_t count = 0;
        const sepa_stmt_tx_t *last = nullptr;
        for (const sepa_stmt_tx_t *tx = stmt->tx_head; tx != nullptr; tx = tx->next) {
            sum += touch(tx->ref) + touch(tx->bankref) + touch(tx->txtext) + touch(tx->primanota);
            sum += touch(tx->purpose) + touch(tx->eref) + touch(tx->kref) + touch(tx->mref);
            sum += touch(tx->cred) + touch(tx->debt) + touch(tx->purp) + touch(tx->coam);
            sum += touch(tx->oamt) + touch(tx->svwz) + touch(tx->abwa) + touch(tx->abwe);
            sum += touch_fixed(tx->code, sizeof tx->code) + touch_fixed(tx->bank, sizeof tx->bank);
            sum += touch_fixed(tx->account, sizeof tx->account);
            sum += touch_fixed(tx->name, sizeof tx->name);
            sum += static_cast<size_t>(tx->gvc + tx->extcode + tx->reversal);
            sum += static_cast<size_t>(tx->valuta.tm_mon + tx->booked.tm_mday);
            sum += tx->amount > 0;
            sum += touch_fixed(tx->currency, sizeof tx->currency) + touch_fixed(tx->status, sizeof tx->status);
            sum += touch_fixed(tx->domain, sizeof tx->domain) + touch_fixed(tx->family, sizeof tx->family);
            sum += touch_fixed(tx->subfamily, sizeof tx->subfamily);
            sum += touch_fixed(tx->charges_currency, sizeof tx->charges_currency);
            sum += touch_fixed(tx->original_currency, sizeof tx->original_currency);
            sum += touch(tx->bank_full) + touch(tx->account_full) + touch(tx->name_full);
            sum += touch(tx->creditor_ref) + touch(tx->bank_tx_code) + touch(tx->return_reason);
            sum += touch(tx->end_to_end_id) + touch(tx->entry_ref);
            sum += static_cast<size_t>(tx->amount_cents) + static_cast<size_t>(tx->entry_amount_cents) +
                   static_cast<size_t>(tx->charges_cents) + static_cast<size_t>(tx->original_amount_cents);
            if (tx->entry_index == 0 || tx->entry_index > tx->entry_tx_count) std::abort();
            ++count;
            last = tx;
        }
        if (last != stmt->tx_tail || count != stmt->tx_count) std::abort();
    }
    return sum;
}

}  // namespace
