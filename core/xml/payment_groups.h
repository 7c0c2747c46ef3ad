// Payment groups: the PmtInf blocks of a document. Transactions are grouped by
// their date (or the message's date) in ascending order, and within a date by a
// slot (the sequence type of a direct debit; credit transfers use one slot). The
// groups only point into the message's transaction list; they own nothing else.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

inline constexpr int GROUP_SLOTS = 4;

template <typename Tx>
struct pmt_group {
    char date[11];                     // "yyyy-mm-dd" key and NUL
    uint32_t count[GROUP_SLOTS];       // transactions per slot
    double sum[GROUP_SLOTS];           // their amounts, added in list order
    uint32_t fill[GROUP_SLOTS];        // entries placed in items so far
    const Tx **items[GROUP_SLOTS];     // the slot's transactions in list order
    pmt_group *next;
};

template <typename Tx>
void release_groups(pmt_group<Tx> *first) {
    while (first != nullptr) {
        pmt_group<Tx> *next = first->next;
        for (auto *items : first->items) free(items);
        free(first);
        first = next;
    }
}

namespace payment_groups_detail {

inline void date_key(const char *date, char key[11]) {
    size_t n = 0;
    if (date != nullptr)
        while (n < 10 && date[n] != '\0') { key[n] = date[n]; ++n; }
    memset(key + n, 0, 11 - n);
}

// Finds the group of `key`; with `create`, links a new one in at its place in
// date order. `hint` is the group found last: consecutive transactions usually
// share a date, so it is tried before walking the list. NULL: not found / no memory.
template <typename Tx>
pmt_group<Tx> *find_group(pmt_group<Tx> *&first, pmt_group<Tx> *hint, const char key[11], bool create) {
    if (hint != nullptr && memcmp(hint->date, key, 11) == 0) return hint;
    pmt_group<Tx> *at = first, *before = nullptr;
    while (at != nullptr && strcmp(key, at->date) > 0) {
        before = at;
        at = at->next;
    }
    if (at != nullptr && strcmp(key, at->date) == 0) return at;
    if (!create) return nullptr;
    auto *group = static_cast<pmt_group<Tx> *>(calloc(1, sizeof(pmt_group<Tx>)));
    if (group == nullptr) return nullptr;
    memcpy(group->date, key, 11);
    group->next = at;
    if (before != nullptr) before->next = group; else first = group;
    return group;
}

}  // namespace payment_groups_detail

// Builds the groups of the list starting at `head`: `slot_of(tx)` gives a slot
// 0..GROUP_SLOTS-1. On success stores the first (earliest) group in *out and
// returns 1; returns 0 when memory runs out (nothing is left allocated).
template <typename Tx, typename SlotOf>
int build_groups(const Tx *head, const char *message_date, SlotOf slot_of, pmt_group<Tx> **out) {
    using namespace payment_groups_detail;
    pmt_group<Tx> *first = nullptr, *group = nullptr;
    char key[11];
    for (const Tx *tx = head; tx != nullptr; tx = tx->next) {
        date_key(tx->date != nullptr ? tx->date : message_date, key);
        group = find_group(first, group, key, true);
        if (group == nullptr) {
            release_groups(first);
            return 0;
        }
        const int slot = slot_of(tx);
        group->count[slot] += 1;
        group->sum[slot] += tx->amount;
    }
    group = nullptr;
    for (const Tx *tx = head; tx != nullptr; tx = tx->next) {
        date_key(tx->date != nullptr ? tx->date : message_date, key);
        group = find_group(first, group, key, false);
        const int slot = slot_of(tx);
        if (group->items[slot] == nullptr) {
            group->items[slot] = static_cast<const Tx **>(malloc(sizeof(Tx *) * group->count[slot]));
            if (group->items[slot] == nullptr) {
                release_groups(first);
                return 0;
            }
        }
        group->items[slot][group->fill[slot]++] = tx;
    }
    *out = first;
    return 1;
}
