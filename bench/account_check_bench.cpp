// Throughput of sepa_account_check over a mix of all check-digit methods, and of
// Debian's ktoblzcheck on the very same accounts when it is installed (the ratio is
// printed after the table).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bench/peer_ratio.h"
#include "core/bank/bank_record.h"
#include "core/bank/directory_tables.h"
#include "sepa.h"

#ifdef SEPA_HAVE_KTOBLZCHECK
#include <ktoblzcheck.h>
#endif

namespace {

struct sample {
    std::string account;
    int method;
    std::string method_code;  // "63" for 0x63, the form ktoblzcheck takes
    std::string bank_code;    // the directory mix only
};

// Method codes of the table (E4 left out: ktoblzcheck does not know it).
constexpr int mixed_methods[] = {
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x10, 0x11, 0x13, 0x14, 0x15, 0x16, 0x17,
    0x18, 0x19, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x30, 0x31, 0x32, 0x33, 0x34,
    0x38, 0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x50, 0x51, 0x55, 0x56, 0x57, 0x58,
    0x59, 0x60, 0x61, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x71, 0x73, 0x74, 0x75, 0x76, 0x78, 0x81, 0x84,
    0x85, 0x87, 0x88, 0x90, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96, 0x98, 0x99, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5,
    0xA6, 0xA7, 0xA8, 0xA9, 0xB1, 0xB2, 0xB3, 0xB5, 0xB7, 0xB8, 0xB9, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6,
    0xC7, 0xC8, 0xC9, 0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xE0, 0xE1, 0xE2, 0xE3,
};

// A fixed set of random accounts (of varied length) spread over the methods.
const std::vector<sample> &samples() {
    static const std::vector<sample> set = [] {
        std::vector<sample> out;
        std::mt19937_64 random(20240601);
        for (int round = 0; round < 64; ++round) {
            for (int method : mixed_methods) {
                int digits = 6 + static_cast<int>(random() % 5);  // 6 to 10 digits
                std::string account;
                for (int i = 0; i < digits; ++i) account += static_cast<char>('0' + random() % 10);
                if (account[0] == '0') account[0] = '1';
                // ktoblzcheck crashes on method 87 when P4 to P9 are all zero
                if (method == 0x87 && account.size() == 10 && account.substr(3, 6) == "000000") account[5] = '1';
                char code[3];
                std::snprintf(code, sizeof code, "%02X", method);
                out.push_back({account, method, code, {}});
            }
        }
        return out;
    }();
    return set;
}

// Every sample of `set` checked by its own method, all of them in each iteration.
void time_mix(benchmark::State &state, const std::vector<sample> &set) {
    int64_t accepted = 0;
    for (auto _ : state) {
        for (const sample &s : set) accepted += sepa_account_check(s.account.c_str(), s.method) >= 0;
        benchmark::DoNotOptimize(accepted);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(set.size()));
}

void BM_sepa_account_check(benchmark::State &state) { time_mix(state, samples()); }
BENCHMARK(BM_sepa_account_check);

// The same accounts padded with zeros to ten digits, the form they take inside an
// IBAN: every account has the same length, so a reader that branches on the length
// has it predicted here and mispredicted in the mix above.
const std::vector<sample> &ten_digit_samples() {
    static const std::vector<sample> set = [] {
        std::vector<sample> out = samples();
        for (sample &s : out) s.account.insert(0, 10 - s.account.size(), '0');
        return out;
    }();
    return set;
}

void BM_sepa_account_check_ten_digits(benchmark::State &state) { time_mix(state, ten_digit_samples()); }
BENCHMARK(BM_sepa_account_check_ten_digits);

// One method (00, the most common one) over the same accounts: the single-method rate.
void BM_sepa_account_check_method_00(benchmark::State &state) {
    const std::vector<sample> &set = samples();
    int64_t accepted = 0;
    for (auto _ : state) {
        for (const sample &s : set) accepted += sepa_account_check(s.account.c_str(), 0x00) >= 0;
        benchmark::DoNotOptimize(accepted);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(set.size()));
}
BENCHMARK(BM_sepa_account_check_method_00);

void BM_sepa_account_check2_with_bank_code(benchmark::State &state) {
    const char *accounts[] = {"1289161", "436143645", "0003841167", "0083099190", "7630494032"};
    const int methods[] = {0x52, 0x53, 0xB6, 0xC0, 0x00};
    const char *banks[] = {"20050550", "30050110", "30050110", "30050110", "30050110"};
    int64_t accepted = 0;
    for (auto _ : state) {
        for (int i = 0; i < 5; ++i) accepted += sepa_account_check2(accounts[i], banks[i], methods[i]) >= 0;
        benchmark::DoNotOptimize(accepted);
    }
    state.SetItemsProcessed(state.iterations() * 5);
}
BENCHMARK(BM_sepa_account_check2_with_bank_code);

// One random account for every German bank code of the directory, with that bank's
// method, in random order: the methods as often as banks use them (09, 63, 00 and 88
// lead) and no pattern in their order, as in a list of payees. The order makes the
// dispatch to the method as good as unpredictable, which the fixed round of
// BM_sepa_account_check lets the branch predictor learn.
const std::vector<sample> &directory_samples() {
    static const std::vector<sample> set = [] {
        std::vector<sample> out;
        std::mt19937_64 random(20261209);
        for (uint32_t slot = 0; slot < directory_key_count; ++slot) {
            const std::string_view key = directory_record(slot);
            if (key.substr(0, 3) != "_DE") continue;
            const std::string bank_code(key.substr(3, 8));
            bank_record_t record;
            if (bank_lookup("DE", bank_code.c_str(), &record) != 1) continue;
            if (record.method == 0xE4) continue;  // ktoblzcheck does not know it
            int digits = 6 + static_cast<int>(random() % 5);
            std::string account;
            for (int i = 0; i < digits; ++i) account += static_cast<char>('0' + random() % 10);
            if (account[0] == '0') account[0] = '1';
            if (record.method == 0x87 && account.size() == 10 && account.substr(3, 6) == "000000") account[5] = '1';
            char code[3];
            std::snprintf(code, sizeof code, "%02X", record.method);
            out.push_back({account, record.method, code, bank_code});
        }
        std::shuffle(out.begin(), out.end(), random);
        return out;
    }();
    return set;
}

// Every sample checked with its bank code (methods 52, 53, B6 and C0 need it).
void BM_sepa_account_check2_directory_mix(benchmark::State &state) {
    const std::vector<sample> &set = directory_samples();
    int64_t accepted = 0;
    for (auto _ : state) {
        for (const sample &s : set)
            accepted += sepa_account_check2(s.account.c_str(), s.bank_code.c_str(), s.method) >= 0;
        benchmark::DoNotOptimize(accepted);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(set.size()));
}
BENCHMARK(BM_sepa_account_check2_directory_mix);

#ifdef SEPA_HAVE_KTOBLZCHECK
// ktoblzcheck on the samples of `set`, as time_mix.
void time_ktoblzcheck_mix(benchmark::State &state, const std::vector<sample> &set, const char *label) {
    static const AccountNumberCheck checker;
    const std::string bank_code = "12345678";  // ignored when the method is given
    int64_t accepted = 0;
    for (auto _ : state) {
        for (const sample &s : set)
            accepted += checker.check(bank_code, s.account, s.method_code) != AccountNumberCheck::ERROR;
        benchmark::DoNotOptimize(accepted);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(set.size()));
    state.SetLabel(label);
}

void BM_ktoblzcheck(benchmark::State &state) {
    time_ktoblzcheck_mix(state, samples(), "peer of BM_sepa_account_check");
}
BENCHMARK(BM_ktoblzcheck);

void BM_ktoblzcheck_ten_digits(benchmark::State &state) {
    time_ktoblzcheck_mix(state, ten_digit_samples(), "peer of BM_sepa_account_check_ten_digits");
}
BENCHMARK(BM_ktoblzcheck_ten_digits);

void BM_ktoblzcheck_directory_mix(benchmark::State &state) {
    static const AccountNumberCheck checker;
    const std::vector<sample> &set = directory_samples();
    int64_t accepted = 0;
    for (auto _ : state) {
        for (const sample &s : set)
            accepted += checker.check(s.bank_code, s.account, s.method_code) != AccountNumberCheck::ERROR;
        benchmark::DoNotOptimize(accepted);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(set.size()));
    state.SetLabel("peer of BM_sepa_account_check2_directory_mix");
}
BENCHMARK(BM_ktoblzcheck_directory_mix);

// ktoblzcheck's check takes the method as text and pads the account itself: time it
// on method 00 alone as well, the peer of the single-method rate.
void BM_ktoblzcheck_method_00(benchmark::State &state) {
    const std::vector<sample> &set = samples();
    static const AccountNumberCheck checker;
    const std::string bank_code = "12345678";
    const std::string method = "00";
    int64_t accepted = 0;
    for (auto _ : state) {
        for (const sample &s : set)
            accepted += checker.check(bank_code, s.account, method) != AccountNumberCheck::ERROR;
        benchmark::DoNotOptimize(accepted);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(set.size()));
    state.SetLabel("peer of BM_sepa_account_check_method_00");
}
BENCHMARK(BM_ktoblzcheck_method_00);
#endif

}  // namespace

int main(int argc, char **argv) { return peer_ratio::run(argc, argv); }
