// The generated tables of the bank and BIC directory (data/bank_directory_*.cpp, written
// by tools/generate_data.py). Regenerating the data never touches code that reads them.
#pragma once

#include <cstdint>
#include <string_view>

// Keys are hashed position by position: at most 15 positions, character codes "0".."z".
inline constexpr uint32_t directory_hash_positions = 15;
inline constexpr uint32_t directory_hash_alphabet = 75;
inline constexpr unsigned char directory_hash_first_code = '0';
inline constexpr uint32_t directory_min_key_length = 6;

extern const uint32_t directory_key_count;     // N: keys, record slots
extern const uint32_t directory_vertex_count;  // M: entries of directory_g
extern const int64_t directory_switch_over;    // from here on German second versions apply

// Character tables, indexed by position * 75 + (code - '0'); entries in 0..M-1.
extern const uint32_t directory_t1[directory_hash_positions * directory_hash_alphabet];
extern const uint32_t directory_t2[directory_hash_positions * directory_hash_alphabet];
extern const uint32_t directory_t3[directory_hash_positions * directory_hash_alphabet];
// Vertex table: 0..N-1, or -1 for a vertex no key touches.
extern const int32_t directory_g[];

// Stored record texts back to back; record i is
// directory_records[directory_record_offsets[i] .. directory_record_offsets[i + 1]).
extern const char directory_records[];
extern const uint32_t directory_record_offsets[];

// Stored bytes of the record in `slot` (0 <= slot < directory_key_count).
inline std::string_view directory_record(uint32_t slot) {
    const uint32_t begin = directory_record_offsets[slot];
    return {directory_records + begin, directory_record_offsets[slot + 1] - begin};
}
