#include "core/message/transaction_list.h"

#include <cstdlib>

#include "core/message/owned_text.h"

void cti_transaction_free(cti_transaction *tx) {
    if (tx == nullptr) return;
    char **texts[] = {&tx->end_to_end_id, &tx->name,    &tx->iban, &tx->bic,
                      &tx->remittance,    &tx->purpose, &tx->date};
    for (char **text : texts) text_wipe_free(text);
    address_free(&tx->address);
    wipe_memory(tx, sizeof *tx);
    std::free(tx);
}

void ddi_transaction_free(ddi_transaction *tx) {
    if (tx == nullptr) return;
    char **texts[] = {&tx->end_to_end_id, &tx->name,         &tx->iban,            &tx->bic,
                      &tx->date,          &tx->mandate_ref,  &tx->mandate_date,    &tx->old_mandate_ref,
                      &tx->old_iban,      &tx->remittance};
    for (char **text : texts) text_wipe_free(text);
    address_free(&tx->address);
    wipe_memory(tx, sizeof *tx);
    std::free(tx);
}

void transaction_list_append(sepa_t *message, void *tx, double amount) {
    if (message->tx_tail == nullptr) {
        message->tx_head = tx;
    } else if (message->type == SEPA_MSGTYPE_DDI) {
        static_cast<ddi_transaction *>(message->tx_tail)->next = static_cast<ddi_transaction *>(tx);
    } else {
        static_cast<cti_transaction *>(message->tx_tail)->next = static_cast<cti_transaction *>(tx);
    }
    message->tx_tail = tx;
    message->tx_count += 1;
    message->control_sum += amount;
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
