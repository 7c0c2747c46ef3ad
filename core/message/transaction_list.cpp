#include "core/message/transaction_list.h"

#include <cstdlib>

#include "core/message/amount.h"
#include "core/message/owned_text.h"

void cti_transaction_free(cti_transaction *tx) {
    if (tx == nullptr) return;
    char **texts[] = {&tx->end_to_end_id, &tx->name, &tx->iban, &tx->bic, &tx->remittance, &tx->purpose, &tx->date};
    for (char **text : texts) text_wipe_free(text);
    address_free(&tx->address);
    wipe_memory(tx, sizeof *tx);
    std::free(tx);
}

void ddi_transaction_free(ddi_transaction *tx) {
    if (tx == nullptr) return;
    char **texts[] = {&tx->end_to_end_id, &tx->name,        &tx->iban,         &tx->bic,
                      &tx->date,          &tx->mandate_ref, &tx->mandate_date, &tx->old_mandate_ref,
                      &tx->old_iban,      &tx->remittance};
    for (char **text : texts) text_wipe_free(text);
    address_free(&tx->address);
    wipe_memory(tx, sizeof *tx);
    std::free(tx);
}

void transaction_list_append(sepa_t *message, void *tx, int64_t amount_cents) {
    if (message->tx_tail == nullptr) {
        message->tx_head = tx;
    } else if (message->type == SEPA_MSGTYPE_DDI) {
        static_cast<ddi_transaction *>(message->tx_tail)->next = static_cast<ddi_transaction *>(tx);
    } else {
        static_cast<cti_transaction *>(message->tx_tail)->next = static_cast<cti_transaction *>(tx);
    }
    message->tx_tail = tx;
    message->tx_count += 1;
    // Added in integer cents: a double sum of 100 000 amounts drifts by whole cents.
    message->control_sum_cents = add_to_control_sum(message->control_sum_cents, amount_cents);
    message->control_sum = static_cast<double>(message->control_sum_cents) / 100.0;
}

void transaction_list_free(sepa_t *message) {
    void *tx = message->tx_head;
    while (tx != nullptr) {
        if (message->type == SEPA_MSGTYPE_DDI) {
            auto *record = static_cast<ddi_transaction *>(tx);
            tx = record->next;
            ddi_transaction_free(record);
        } else {
            auto *record = static_cast<cti_transaction *>(tx);
            tx = record->next;
            cti_transaction_free(record);
        }
    }
    message->tx_head = nullptr;
    message->tx_tail = nullptr;
}
