// Evaluation of the directory's order-preserving minimal perfect hash: three sums of
// character-table entries pick three vertices, whose G values add up to the slot.
#include <cstddef>
#include <cstdint>

#include "core/bank/bank_record.h"
#include "core/bank/directory_tables.h"

int directory_hash(const char *key) {
    if (key == nullptr) return -1;
    uint32_t a = 0, b = 0, c = 0;
    size_t position = 0;
    for (; key[position] != '\0'; ++position) {
        const unsigned char code = static_cast<unsigned char>(key[position]);
        if (code < directory_hash_first_code || code >= directory_hash_first_code + directory_hash_alphabet ||
            position >= directory_hash_positions)
            return -1;
        const size_t i = position * directory_hash_alphabet + (code - directory_hash_first_code);
        a += directory_t1[i];
        b += directory_t2[i];
        c += directory_t3[i];
    }
    if (position < directory_min_key_length) return -1;
    const uint32_t m = directory_vertex_count;
    // Vertices no key touches hold -1, so the sum may be negative: then nothing is there.
    const int64_t sum = int64_t{directory_g[c % m]} + directory_g[b % m] + directory_g[a % m];
    return static_cast<int>(sum % int64_t{directory_key_count});
}
