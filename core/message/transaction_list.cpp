#include "core/message/transaction_list.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "core/message/amount.h"
#include "core/message/owned_text.h"

namespace {

// A chunk: this header, then records, each followed (until the next is appended)
// by a tx_chunk_end.
struct tx_chunk {
    tx_chunk *next;     // the chunk after this one, NULL for the last
    tx_chunk *last;     // kept in the first chunk: the chunk records are appended to
    size_t held;        // kept in the first chunk: bytes of all chunks together
    uint32_t used;      // bytes of the header and the records
    uint32_t capacity;  // bytes of the whole chunk
};
static_assert(sizeof(tx_chunk) % alignof(tx_record) == 0, "records behind the header stay aligned");

// Small enough to come from the heap rather than a mapping of its own (malloc's
// bookkeeping included), large enough that the spare end of a chunk is negligible.
constexpr size_t chunk_bytes = 64 * 1024 - 64;

// Every page a message writes is a page fault when its memory is fresh (a new process,
// or memory the heap gave back to the system at the last sepa_free), and on a virtual
// machine a 4 KiB fault costs about as much as writing the page's forty-odd records.
// Once a message holds `large_from` bytes, its chunks are `large_chunk_bytes` on a
// huge-page boundary and asked for huge pages: one fault then maps 2 MiB. The last huge
// page is mapped whole though partly used, so large chunks wait until that is a small
// share of the message (at most 1/16, about 11 bytes per transaction).
constexpr size_t huge_page_bytes = size_t{2} << 20;
constexpr size_t large_chunk_bytes = 2 * huge_page_bytes;
size_t large_from = 16 * huge_page_bytes;

constexpr size_t chunk_end_bytes = sizeof(tx_chunk_end);

long chunk_allocations_left = -1;

size_t round_up(size_t size, size_t alignment) { return (size + alignment - 1) / alignment * alignment; }

tx_chunk *first_chunk(const sepa_t *message) {
    if (message->tx_head == nullptr) return nullptr;
    return reinterpret_cast<tx_chunk *>(static_cast<char *>(message->tx_head) - sizeof(tx_chunk));
}

// Maps the pages of a new small chunk in one call instead of one fault each (the
// chunk is filled right away). Where the system cannot, the faults stay.
void map_pages_ahead(void *memory, size_t size) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    // Messages are built on many threads at once: the flag is atomic.
    static std::atomic<bool> unsupported{false};
    if (unsupported.load(std::memory_order_relaxed)) return;
    constexpr uintptr_t page = 4096;
    // Page-aligned bounds by pointer arithmetic, so the pointer keeps its provenance.
    char *const start = static_cast<char *>(memory) - (reinterpret_cast<uintptr_t>(memory) & (page - 1));
    const uintptr_t end = (reinterpret_cast<uintptr_t>(memory) + size + page - 1) & ~(page - 1);
    if (madvise(start, end - reinterpret_cast<uintptr_t>(start), MADV_POPULATE_WRITE) != 0)
        unsupported.store(true, std::memory_order_relaxed);
#else
    (void)memory;
    (void)size;
#endif
}

// `capacity` bytes for a chunk: on a huge-page boundary and advised for huge pages
// when `large`, else from the heap with its pages mapped ahead.
void *chunk_memory(size_t capacity, bool large) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (large) {
        void *memory = nullptr;
        if (posix_memalign(&memory, huge_page_bytes, capacity) != 0) return nullptr;
        // Before the first write, or the first huge page is mapped in small pages.
        madvise(memory, capacity, MADV_HUGEPAGE);
        return memory;
    }
#else
    (void)large;
#endif
    void *memory = std::malloc(capacity);
    if (memory != nullptr) map_pages_ahead(memory, capacity);
    return memory;
}

// A new chunk with room for a record of `record_size` bytes and its chunk end, for a
// message whose chunks hold `held` bytes so far.
tx_chunk *new_chunk(size_t record_size, size_t held) {
    if (chunk_allocations_left == 0) return nullptr;
    if (chunk_allocations_left > 0) --chunk_allocations_left;
    const bool large = held >= large_from;
    const size_t capacity = std::max(large ? large_chunk_bytes : chunk_bytes,
                                     sizeof(tx_chunk) + record_size + chunk_end_bytes);
    void *memory = chunk_memory(capacity, large);
    if (memory == nullptr) return nullptr;
    return new (memory) tx_chunk{nullptr, nullptr, capacity, sizeof(tx_chunk), static_cast<uint32_t>(capacity)};
}

void write_chunk_end(char *at, const tx_record *next) {
    const tx_chunk_end end{0, next};
    std::memcpy(at, &end, sizeof end);
}

// The record's size and where each of its parts goes; false when it would not fit
// the 16-bit offsets (values are far shorter than that after their checks).
bool lay_out(const tx_fields &fields, tx_record *header, size_t lengths[TX_TEXT_COUNT], size_t *address_bytes) {
    size_t size = sizeof(tx_record);
    for (int i = 0; i < TX_TEXT_COUNT; ++i) {
        lengths[i] = 0;
        header->text_at[i] = 0;
        if (fields.text[i] == nullptr) continue;
        lengths[i] = std::strlen(fields.text[i]) + 1;
        header->text_at[i] = static_cast<uint16_t>(size);
        size += lengths[i];
        if (size > UINT16_MAX) return false;
    }
    *address_bytes = 0;
    header->address_at = 0;
    if (fields.address != nullptr) {
        size = round_up(size, alignof(postal_address));
        header->address_at = static_cast<uint16_t>(size);
        *address_bytes = address_size(fields.address);
        size += *address_bytes;
    }
    size = round_up(size, alignof(tx_record));
    if (size > UINT16_MAX) return false;
    header->size = static_cast<uint16_t>(size);
    return true;
}

}  // namespace

bool transaction_list_add(sepa_t *message, const tx_fields &fields) {
    tx_record header{};
    size_t lengths[TX_TEXT_COUNT], address_bytes = 0;
    if (!lay_out(fields, &header, lengths, &address_bytes)) return false;
    header.seq_type = fields.seq_type;
    header.smnda = fields.smnda;
    header.rules_checked_under = fields.rules_checked_under;
    std::memcpy(header.amount_bytes, &fields.amount_cents, sizeof fields.amount_cents);

    tx_chunk *first = first_chunk(message);
    tx_chunk *current = first != nullptr ? first->last : nullptr;
    tx_chunk *target = current;
    if (current == nullptr || current->used + header.size + chunk_end_bytes > current->capacity) {
        target = new_chunk(header.size, first != nullptr ? first->held : 0);
        if (target == nullptr) return false;
    }
    // Nothing below can fail.
    char *at = reinterpret_cast<char *>(target) + target->used;
    std::memset(at, 0, header.size);
    auto *record = new (at) tx_record(header);
    for (int i = 0; i < TX_TEXT_COUNT; ++i)
        if (lengths[i] != 0) std::memcpy(at + header.text_at[i], fields.text[i], lengths[i]);
    if (address_bytes != 0) std::memcpy(at + header.address_at, fields.address, address_bytes);
    write_chunk_end(at + header.size, nullptr);

    if (target != current) {
        if (current != nullptr) {
            current->next = target;
            write_chunk_end(reinterpret_cast<char *>(current) + current->used, record);
            first->last = target;
            first->held += target->capacity;
        } else {
            target->last = target;
            message->tx_head = record;
        }
    }
    target->used += header.size;
    message->tx_tail = record;
    message->tx_count += 1;
    // Added in integer cents: a double sum of 100 000 amounts drifts by whole cents.
    message->control_sum_cents = add_to_control_sum(message->control_sum_cents, fields.amount_cents);
    message->control_sum = static_cast<double>(message->control_sum_cents) / 100.0;
    return true;
}

const tx_record *transaction_list_first(const sepa_t *message) {
    return static_cast<const tx_record *>(message->tx_head);
}

const tx_record *transaction_list_last(const sepa_t *message) {
    return static_cast<const tx_record *>(message->tx_tail);
}

void transaction_list_free(sepa_t *message) {
    for (tx_chunk *chunk = first_chunk(message); chunk != nullptr;) {
        tx_chunk *next = chunk->next;
        wipe_memory(chunk, chunk->used);
        std::free(chunk);
        chunk = next;
    }
    message->tx_head = nullptr;
    message->tx_tail = nullptr;
}

void transaction_chunks_fail_after_for_tests(long successes) { chunk_allocations_left = successes; }

size_t transaction_chunks_large_from_for_tests(size_t bytes) { return std::exchange(large_from, bytes); }
