// The ten positions of a German account number as the check-digit methods see them.
#pragma once

#include <cstdint>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The digit tricks read characters into integers with the first one in the lowest byte.
static_assert(std::endian::native == std::endian::little, "little-endian byte order assumed");

// P1 (leftmost) to P10 (rightmost) of the account, right-aligned and padded with
// "0". p[k] is the value 0-9 of position Pk (character code minus 48); p[0] is
// unused so that the code reads like the method descriptions, and p[11..15] are 0.
// The sixteen bytes are written by one store and read by one load where the methods
// add up positions: a load that spans two stores waits until both reach the cache.
struct alignas(16) account_digits {
    uint8_t p[16];
};

// True when positions first..last all hold 0.
inline bool all_zero(const account_digits &a, int first, int last) {
    for (int k = first; k <= last; ++k)
        if (a.p[k] != 0) return false;
    return true;
}

// Number formed by the positions first..last.
inline int number_at(const account_digits &a, int first, int last) {
    int n = 0;
    for (int k = first; k <= last; ++k) n = n * 10 + a.p[k];
    return n;
}

// The whole account as a number (up to 9 999 999 999, so 64 bits).
inline uint64_t account_number(const account_digits &a) {
    uint64_t n = 0;
    for (int k = 1; k <= 10; ++k) n = n * 10 + a.p[k];
    return n;
}

// Size bytes of the account from `offset` on, as a little-endian number.
template <int Size>
inline uint64_t account_bytes(const char *account, int offset) {
    if constexpr (Size == 8) {
        uint64_t v;
        std::memcpy(&v, account + offset, 8);
        return v;
    } else if constexpr (Size == 4) {
        uint32_t v;
        std::memcpy(&v, account + offset, 4);
        return v;
    } else if constexpr (Size == 2) {
        uint16_t v;
        std::memcpy(&v, account + offset, 2);
        return v;
    } else {
        return static_cast<unsigned char>(account[offset]);
    }
}

// ORs Size bytes into bytes Position.. of the sixteen-byte field low (0-7), high (8-15).
template <int Size, int Position>
inline void place_bytes(uint64_t bytes, uint64_t &low, uint64_t &high) {
    static_assert(Position >= 1 && Position + Size <= 16);
    if constexpr (Position < 8) {
        low |= bytes << (8 * Position);
        if constexpr (Position + Size > 8) high |= bytes >> (8 * (8 - Position));
    } else {
        high |= bytes << (8 * (Position - 8));
    }
}

// True when every byte of `field` is "0".."9": high nibble 3, and the low nibble
// plus 6 stays below 16.
constexpr uint64_t digit_bytes_mismatch(uint64_t field) {
    constexpr uint64_t zeros = 0x3030303030303030u;
    constexpr uint64_t high_nibbles = 0xF0F0F0F0F0F0F0F0u;
    return ((field & high_nibbles) ^ zeros) | (((field + 0x0606060606060606u) & high_nibbles) ^ zeros);
}

// Digit values of an account of exactly Length characters (the NUL found): two
// loads of the widest size that fits, overlapping where Length is no power of two,
// put the characters at bytes 11 - Length .. 10 of a sixteen-byte field of "0".
// Overlapping bytes are the same character, so OR-ing them is exact.
template <int Length>
inline bool load_account_of_length(const char *account, account_digits &out) {
    constexpr int size = Length >= 8 ? 8 : Length >= 4 ? 4 : Length >= 2 ? 2 : 1;
    constexpr int first = 11 - Length;  // field byte of the first character
    constexpr uint64_t zeros = 0x3030303030303030u;
    // The bytes the characters go to; all others hold "0".
    constexpr uint64_t low_places = first >= 8 ? 0 : ~uint64_t{0} << (8 * first);
    constexpr uint64_t high_places = 0x0000000000FFFFFFu &
                                     (first <= 8 ? ~uint64_t{0} : ~uint64_t{0} << (8 * (first - 8)));
    uint64_t low = zeros & ~low_places;
    uint64_t high = zeros & ~high_places;
    place_bytes<size, first>(account_bytes<size>(account, 0), low, high);
    place_bytes<size, first + Length - size>(account_bytes<size>(account, Length - size), low, high);
    if (digit_bytes_mismatch(low) | digit_bytes_mismatch(high)) return false;
    low -= zeros;
    high -= zeros;
#if defined(__SSE2__)
    _mm_store_si128(reinterpret_cast<__m128i *>(out.p),
                    _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low)));
#else
    std::memcpy(out.p, &low, 8);
    std::memcpy(out.p + 8, &high, 8);
#endif
    return true;
}

// Number of characters before the NUL, up to 11 (11: longer than an account). The C
// library's strnlen reads no byte past the NUL that the sanitizers would object to,
// and finds the length without a branch on it: accounts of mixed length then cost
// no mispredicted branches, which a test of one character at a time does.
inline unsigned account_length(const char *account) { return static_cast<unsigned>(strnlen(account, 11)); }

// Digit values of an account of `length` characters, 4 to 10. Three loads counted
// from the end go to fixed field bytes: the last four characters to P7..P10, the
// four before them to P3..P6, the two before those to P1..P2. Where the account is
// too short for a load, it starts at the first character instead and is shifted up
// by the characters missing, which leaves 0 bytes (padding) below. So the length
// changes shift counts only, never the path taken.
inline bool load_account_of_4_to_10(const char *account, unsigned length, account_digits &out) {
    const unsigned middle_start = length >= 8 ? length - 8 : 0;
    const unsigned first_start = length >= 10 ? length - 10 : 0;
    uint32_t last4, middle4;
    uint16_t first2;
    std::memcpy(&last4, account + length - 4, 4);
    std::memcpy(&middle4, account + middle_start, 4);
    std::memcpy(&first2, account + first_start, 2);
    const unsigned middle_missing = middle_start + 8 - length;  // 0..4
    const unsigned first_missing = first_start + 10 - length;   // 0..6
    const uint64_t middle = (uint64_t{middle4} << (8 * middle_missing)) & 0xFFFFFFFFu;
    const uint64_t first = (uint64_t{first2} << (8 * first_missing)) & 0xFFFFu;
    const uint64_t low = first << 8 | middle << 24 | uint64_t{last4} << 56;
    const uint64_t high = last4 >> 8;
#if defined(__SSE2__)
    // Every byte is a digit or padding (0: the account holds no NUL before `length`).
    const __m128i field = _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low));
    const __m128i zero = _mm_setzero_si128();
    const __m128i above_nine = _mm_subs_epu8(_mm_sub_epi8(field, _mm_set1_epi8('0')), _mm_set1_epi8(9));
    const __m128i fine = _mm_or_si128(_mm_cmpeq_epi8(above_nine, zero), _mm_cmpeq_epi8(field, zero));
    if (_mm_movemask_epi8(fine) != 0xFFFF) return false;
    _mm_store_si128(reinterpret_cast<__m128i *>(out.p), _mm_subs_epu8(field, _mm_set1_epi8('0')));
#else
    for (int k = 0; k < 16; ++k) {
        const unsigned c = static_cast<unsigned>(((k < 8 ? low : high) >> (8 * (k % 8))) & 0xFF);
        if (c != 0 && c - '0' > 9) return false;
        out.p[k] = static_cast<uint8_t>(c == 0 ? 0 : c - '0');
    }
#endif
    return true;
}

// Fills `out` from an account of 1 to 10 digits, padded on the left with "0".
// False (and `out` unusable) for a null, empty or longer account or a non-digit.
// Inline: reading the account is a good part of a whole check. The characters are
// read up to the terminating NUL and no further: the length is found first, then
// the characters are read whole. Accounts of 4 to 10 digits (nearly all) take one
// path whatever their length; shorter ones a path of their own.
inline bool load_account_digits(const char *account, account_digits &out) {
    if (!account) return false;
    const unsigned length = account_length(account);
    if (length - 4 <= 6) [[likely]]
        return load_account_of_4_to_10(account, length, out);
    switch (length) {
    case 1: return load_account_of_length<1>(account, out);
    case 2: return load_account_of_length<2>(account, out);
    case 3: return load_account_of_length<3>(account, out);
    default: return false;  // empty or longer than 10
    }
}

// Remainder of x divided by m in 0..m-1, also for a negative x (C++'s % is not).
constexpr int math_mod(int x, int m) {
    int r = x % m;
    return r < 0 ? r + m : r;
}
