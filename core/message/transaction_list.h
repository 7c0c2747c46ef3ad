// The transaction list of a payment message: appending and releasing records.
#pragma once

#include "core/message/transactions.h"
#include "sepa.h"

// Overwrites every text of the record and the record itself with zeros and frees
// them. NULL is fine.
void cti_transaction_free(cti_transaction *tx);
void ddi_transaction_free(ddi_transaction *tx);

// Links `tx` after the message's tail and adds it to the count and control sum.
void transaction_list_append(sepa_t *message, void *tx, int64_t amount_cents);

// Frees the whole list of the message's type and empties it (count and control
// sum stay as they are; the message is about to be freed).
void transaction_list_free(sepa_t *message);
