// Evaluation of the directory's order-preserving minimal perfect hash: three sums of
// character-table entries pick three vertices, whose G values add up to the slot.
#include <cstddef>
#include <cstdint>

#include "core/bank/bank_record.h"
#include "core/bank/directory_tables.h"

namespace {

// Remainders by the table sizes without a division instruction (several per lookup
// otherwise): with magic = 2^64 / d rounded up, x mod d is the high half of
// (magic * x mod 2^64) * d, exact for every 32-bit x and d (Lemire, Kaser, Kurz 2019).
// The sizes come from the generated tables, so the magics are set once, on first use.
struct divisor {
    uint32_t d;
    uint64_t magic;
    explicit divisor(uint32_t value) : d(value), magic(UINT64_MAX / value + 1) {}
    uint32_t remainder(uint32_t x) const {
        return static_cast<uint32_t>((static_cast<unsigned __int128>(magic * x) * d) >> 64);
    }
};

// The three character tables as one: entry i holds T1[i], T2[i] and T3[i] in 21 bits
// each, so a position costs one load and one addition instead of three. Entries are
// below M and a key has at most 15 positions, so while 15 * M fits 21 bits the three
// sums never carry into each other; a larger directory keeps the three tables apart.
constexpr unsigned packed_bits = 21;
constexpr uint64_t packed_mask = (uint64_t{1} << packed_bits) - 1;
constexpr size_t table_entries = size_t{directory_hash_positions} * directory_hash_alphabet;

// The vertex table in 16 bits when the slots fit (half the cache lines of the
// generated 32-bit table, which every lookup reads at three random places). Room
// for the vertices of the largest such directory (M = 1.23 x N), so that building
// it allocates nothing.
constexpr uint32_t max_short_slots = 32767;
constexpr uint32_t max_short_vertices = 40960;

struct hash_tables {
    divisor vertices{directory_vertex_count};
    divisor keys{directory_key_count};
    bool packed = uint64_t{directory_vertex_count} * directory_hash_positions <= packed_mask;
    bool short_g = directory_key_count <= max_short_slots && directory_vertex_count <= max_short_vertices;
    uint64_t t123[table_entries] = {};
    int16_t g16[max_short_vertices] = {};
    hash_tables() {
        if (packed) {
            for (size_t i = 0; i < table_entries; ++i)
                t123[i] = directory_t1[i] | uint64_t{directory_t2[i]} << packed_bits |
                          uint64_t{directory_t3[i]} << 2 * packed_bits;
        }
        if (short_g) {
            for (uint32_t i = 0; i < directory_vertex_count; ++i) g16[i] = static_cast<int16_t>(directory_g[i]);
        }
    }
    // G of a vertex: a slot 0..N-1, or -1 for a vertex no key touches
    int32_t g(uint32_t vertex) const { return short_g ? g16[vertex] : directory_g[vertex]; }
};

// Built on first use, so that a lookup from another file's static initialisation
// finds it ready.
const hash_tables &tables() {
    static const hash_tables built;
    return built;
}

}  // namespace

int directory_hash(const char *key) {
    if (key == nullptr) return -1;
    const hash_tables &t = tables();
    uint32_t a = 0, b = 0, c = 0;
    size_t position = 0;
    if (t.packed) {
        uint64_t sums = 0;
        for (size_t row = 0; position < directory_hash_positions; ++position, row += directory_hash_alphabet) {
            const unsigned char code = static_cast<unsigned char>(key[position]);
            if (code == '\0') break;
            const unsigned column = static_cast<unsigned>(code - directory_hash_first_code);
            if (column >= directory_hash_alphabet) return -1;  // also codes below "0"
            sums += t.t123[row + column];
        }
        a = static_cast<uint32_t>(sums & packed_mask);
        b = static_cast<uint32_t>(sums >> packed_bits & packed_mask);
        c = static_cast<uint32_t>(sums >> 2 * packed_bits);
    } else {
        for (size_t row = 0; position < directory_hash_positions; ++position, row += directory_hash_alphabet) {
            const unsigned char code = static_cast<unsigned char>(key[position]);
            if (code == '\0') break;
            const unsigned column = static_cast<unsigned>(code - directory_hash_first_code);
            if (column >= directory_hash_alphabet) return -1;
            a += directory_t1[row + column];
            b += directory_t2[row + column];
            c += directory_t3[row + column];
        }
    }
    if (position < directory_min_key_length || key[position] != '\0') return -1;
    // Vertices no key touches hold -1, so the sum may be negative: then nothing is there.
    const int64_t sum = int64_t{t.g(t.vertices.remainder(c))} + t.g(t.vertices.remainder(b)) +
                        t.g(t.vertices.remainder(a));
    if (sum < 0) return -1;
    return static_cast<int>(t.keys.remainder(static_cast<uint32_t>(sum)));
}
