// Payment groups: the PmtInf blocks of a document. Transactions are grouped by
// their date (or the message's date) in ascending order, and within a date by a
// slot (the sequence type of a direct debit; credit transfers use one slot).
//
// A group is found through a hash table on its date, so building the groups costs
// a constant per transaction however many dates there are; only the groups
// themselves are sorted. Every transaction pointer sits in one array, block after
// block in document order. The groups only point into the message's transaction
// list; they own nothing else.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/message/amount.h"

inline constexpr int GROUP_SLOTS = 4;

template <typename Tx>
struct pmt_group {
    char date[11];                  // "yyyy-mm-dd" key and NUL
    uint32_t count[GROUP_SLOTS];    // transactions per slot
    int64_t sum[GROUP_SLOTS];       // their amounts in cents
    uint32_t fill[GROUP_SLOTS];     // entries placed in items so far
    const Tx **items[GROUP_SLOTS];  // the slot's transactions in list order
};

template <typename Tx>
struct payment_groups {
    pmt_group<Tx> *groups = nullptr;  // in ascending date order
    uint32_t count = 0;
    const Tx **items = nullptr;  // every transaction, slot by slot, group by group
    int64_t total_cents = 0;     // sum of every amount the groups hold (sums past
                                 // MAX_CONTROL_SUM_CENTS stay just above it)
};

// Calls write(tx) for each transaction of `slot` in list order. A slot holds every
// n-th record of the list at best (records of varied size), an order the processor
// cannot foresee: each record is asked for a few transactions ahead, so a document
// of a million transactions does not wait for memory at every one.
template <typename Tx, typename Write>
void for_each_in_slot(const pmt_group<Tx> &group, int slot, Write write) {
    constexpr uint32_t ahead = 4;
    constexpr int record_lines = 4;  // a record with its texts is rarely longer
    const Tx *const *items = group.items[slot];
    const uint32_t count = group.count[slot];
    for (uint32_t i = 0; i < count; ++i) {
        if (i + ahead < count) {
#if defined(__GNUC__)
            for (int line = 0; line < record_lines; ++line)
                __builtin_prefetch(reinterpret_cast<const char *>(items[i + ahead]) + 64 * line);
#endif
        }
        write(items[i]);
    }
}

// Work counters of one build (tests check that it stays linear in the transactions).
struct group_build_stats {
    uint64_t key_comparisons = 0;
};

template <typename Tx>
void release_groups(payment_groups<Tx> &groups) {
    free(groups.groups);
    free(groups.items);
    groups = payment_groups<Tx>{};
}

namespace payment_groups_detail {

inline void date_key(const char *date, char key[11]) {
    size_t n = 0;
    if (date != nullptr)
        while (n < 10 && date[n] != '\0') {
            key[n] = date[n];
            ++n;
        }
    memset(key + n, 0, 11 - n);
}

inline uint32_t key_hash(const char key[11]) {
    uint32_t h = 2166136261u;  // FNV-1a
    for (int i = 0; i < 10; ++i) h = (h ^ static_cast<unsigned char>(key[i])) * 16777619u;
    return h;
}

// Open-addressing table from date key to group index (+1; 0 marks a free slot).
template <typename Tx>
struct group_index {
    pmt_group<Tx> *groups = nullptr;
    uint32_t count = 0, capacity = 0;  // groups
    uint32_t *slots = nullptr;
    uint32_t mask = 0;  // slot count - 1
    uint32_t last = 0;  // index + 1 of the group found last
    group_build_stats *stats;

    explicit group_index(group_build_stats *s) : stats(s) {}

    bool same(uint32_t index, const char key[11]) {
        if (stats != nullptr) ++stats->key_comparisons;
        return memcmp(groups[index].date, key, 11) == 0;
    }

    // Index of the group of `key`, created when new; -1 when memory runs out.
    int64_t find(const char key[11], bool create) {
        // Consecutive transactions usually share a date.
        if (last != 0 && same(last - 1, key)) return last - 1;
        if (slots != nullptr) {
            for (uint32_t at = key_hash(key) & mask; slots[at] != 0; at = (at + 1) & mask) {
                if (same(slots[at] - 1, key)) {
                    last = slots[at];
                    return slots[at] - 1;
                }
            }
        }
        if (!create) return -1;
        if (!reserve(count + 1)) return -1;
        pmt_group<Tx> &group = groups[count];
        memset(&group, 0, sizeof group);
        memcpy(group.date, key, 11);
        insert(count);
        last = ++count;
        return count - 1;
    }

    void insert(uint32_t index) {
        uint32_t at = key_hash(groups[index].date) & mask;
        while (slots[at] != 0) at = (at + 1) & mask;
        slots[at] = index + 1;
    }

    // Room for `wanted` groups, the table at most half full.
    bool reserve(uint32_t wanted) {
        if (wanted <= capacity) return true;
        const uint32_t grown = capacity == 0 ? 8 : capacity * 2;
        auto *more = static_cast<pmt_group<Tx> *>(realloc(groups, sizeof(pmt_group<Tx>) * grown));
        if (more == nullptr) return false;
        groups = more;
        auto *table = static_cast<uint32_t *>(calloc(static_cast<size_t>(grown) * 2, sizeof(uint32_t)));
        if (table == nullptr) return false;
        free(slots);
        slots = table;
        mask = grown * 2 - 1;
        capacity = grown;
        for (uint32_t i = 0; i < count; ++i) insert(i);
        return true;
    }

    void release_table() {
        free(slots);
        slots = nullptr;
    }
};

}  // namespace payment_groups_detail

// Builds the groups of the list starting at `head`: `slot_of(tx)` gives a slot
// 0..GROUP_SLOTS-1, `cents_of(tx)` its amount. On success fills *out and returns 1;
// returns 0 when memory runs out (nothing is left allocated).
template <typename Tx, typename SlotOf>
int build_groups(const Tx *head, const char *message_date, SlotOf slot_of, payment_groups<Tx> *out,
                 group_build_stats *stats = nullptr) {
    using namespace payment_groups_detail;
    group_index<Tx> index(stats);
    char key[11];
    size_t total = 0;
    int64_t total_cents = 0;
    const auto fail = [&] {
        index.release_table();
        free(index.groups);
        return 0;
    };
    for (const Tx *tx = head; tx != nullptr; tx = tx->next()) {
        date_key(tx->date() != nullptr ? tx->date() : message_date, key);
        const int64_t at = index.find(key, true);
        if (at < 0) return fail();
        const int slot = slot_of(tx);
        index.groups[at].count[slot] += 1;
        index.groups[at].sum[slot] = add_to_control_sum(index.groups[at].sum[slot], tx->amount_cents());
        total_cents = add_to_control_sum(total_cents, tx->amount_cents());
        ++total;
    }

    // Document order: ascending dates. Only the groups are sorted, by an index
    // array so that the hash table keeps pointing at the right groups.
    auto *order = static_cast<uint32_t *>(malloc(sizeof(uint32_t) * (index.count + 1)));
    const Tx **items = static_cast<const Tx **>(malloc(sizeof(Tx *) * (total + 1)));
    auto *sorted = static_cast<pmt_group<Tx> *>(malloc(sizeof(pmt_group<Tx>) * (index.count + 1)));
    if (order == nullptr || items == nullptr || sorted == nullptr) {
        free(order);
        free(items);
        free(sorted);
        return fail();
    }
    for (uint32_t i = 0; i < index.count; ++i) order[i] = i;
    std::sort(order, order + index.count, [&](uint32_t a, uint32_t b) {
        if (stats != nullptr) ++stats->key_comparisons;
        return memcmp(index.groups[a].date, index.groups[b].date, 11) < 0;
    });
    size_t offset = 0;
    for (uint32_t i = 0; i < index.count; ++i) {
        pmt_group<Tx> &group = index.groups[order[i]];
        for (int slot = 0; slot < GROUP_SLOTS; ++slot) {
            group.items[slot] = items + offset;
            offset += group.count[slot];
        }
    }
    for (const Tx *tx = head; tx != nullptr; tx = tx->next()) {
        date_key(tx->date() != nullptr ? tx->date() : message_date, key);
        pmt_group<Tx> &group = index.groups[index.find(key, false)];
        const int slot = slot_of(tx);
        group.items[slot][group.fill[slot]++] = tx;
    }
    for (uint32_t i = 0; i < index.count; ++i) sorted[i] = index.groups[order[i]];
    free(order);
    index.release_table();
    free(index.groups);
    *out = payment_groups<Tx>{sorted, index.count, items, total_cents};
    return 1;
}
