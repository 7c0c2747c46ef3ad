// The transaction list of a payment message. Records (see transactions.h) are placed
// one behind the other in chunks that the message allocates as it grows (64 KiB, and
// 4 MiB in huge pages once the message is large): no allocation per transaction, and
// the list is read in memory order.
// sepa_t::tx_head points at the first record, which sits right behind the header of
// the first chunk; sepa_t::tx_tail at the last record.
#pragma once

#include "core/message/transactions.h"
#include "sepa.h"

// Appends a record holding copies of `fields` and adds it to the count and control
// sum. False, with the message exactly as before, when memory is exhausted.
bool transaction_list_add(sepa_t *message, const tx_fields &fields);

// The first and the last record, NULL when the list is empty.
const tx_record *transaction_list_first(const sepa_t *message);
const tx_record *transaction_list_last(const sepa_t *message);

// Overwrites every chunk with zeros, frees them and empties the list (count and
// control sum stay as they are; the message is about to be freed).
void transaction_list_free(sepa_t *message);

// For tests: the next `successes` chunk allocations succeed, the ones after fail;
// -1 (the default) lets every allocation through.
void transaction_chunks_fail_after_for_tests(long successes);

// For tests: messages take large chunks once they hold `bytes` (instead of 32 MiB);
// returns the threshold before.
size_t transaction_chunks_large_from_for_tests(size_t bytes);
