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
// The sizes come from the generated tables, so the magics are set once at load.
struct divisor {
    uint32_t d;
    uint64_t magic;
    explicit divisor(uint32_t value) : d(value), magic(UINT64_MAX / value + 1) {}
    uint32_t remainder(uint32_t x) const {
        return static_cast<uint32_t>((static_cast<unsigned __int128>(magic * x) * d) >> 64);
    }
};

const divisor vertices(directory_vertex_count);
const divisor keys(directory_key_count);

}  // namespace

int directory_hash(const char *key) {
    if (key == nullptr) return -1;
    uint32_t a = 0, b = 0, c = 0;
    size_t position = 0;
    for (size_t row = 0; position < directory_hash_positions; ++position, row += directory_hash_alphabet) {
        const unsigned char code = static_cast<unsigned char>(key[position]);
        if (code == '\0') break;
        const unsigned column = static_cast<unsigned>(code - directory_hash_first_code);
        if (column >= directory_hash_alphabet) return -1;  // also codes below "0"
        a += directory_t1[row + column];
        b += directory_t2[row + column];
        c += directory_t3[row + column];
    }
    if (position < directory_min_key_length || key[position] != '\0') return -1;
    // Vertices no key touches hold -1, so the sum may be negative: then nothing is there.
    const int64_t sum = int64_t{directory_g[vertices.remainder(c)]} + directory_g[vertices.remainder(b)] +
                        directory_g[vertices.remainder(a)];
    if (sum < 0) return -1;
    return static_cast<int>(keys.remainder(static_cast<uint32_t>(sum)));
}
