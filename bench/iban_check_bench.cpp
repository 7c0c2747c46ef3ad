// IBAN checks per second: a mix of valid and invalid IBANs of every country accepted
// in payments except Germany, German IBANs separately (directory lookup and account
// check included), sepa_iban_inspect over every registry country, and Debian's
// ktoblzcheck IBAN check on the very same non-German mix when it is installed.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "bench/peer_ratio.h"
#include "core/iban/iban_country_table.h"
#include "sepa.h"

#ifdef SEPA_HAVE_KTOBLZCHECK
#include <iban.h>
#endif

namespace {

// A small fixed generator, so that every run checks the same IBANs.
struct lcg {
    uint64_t state = 0x5EBA2026;
    unsigned next(unsigned bound) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<unsigned>((state >> 33) % bound);
    }
};

std::string with_check_digits(const std::string &country, const std::string &bban) {
    const std::string moved = bban + country + "00";
    unsigned remainder = 0;
    for (char c : moved) {
        remainder = c <= '9' ? (remainder * 10 + (c - '0')) % 97 : (remainder * 100 + (c - 'A' + 10)) % 97;
    }
    const unsigned check = 98 - remainder;
    return country + static_cast<char>('0' + check / 10) + static_cast<char>('0' + check % 10) + bban;
}

std::string random_bban(const iban_country_t &row, lcg &random) {
    static const char alnum[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string bban;
    for (unsigned r = 0; r < row.run_count; ++r) {
        for (unsigned i = 0; i < row.runs[r].count; ++i) {
            switch (row.runs[r].kind) {
            case 'n': bban += static_cast<char>('0' + random.next(10)); break;
            case 'a': bban += static_cast<char>('A' + random.next(26)); break;
            default: bban += alnum[random.next(36)]; break;
            }
        }
    }
    return bban;
}

// Half valid, half invalid in four ways (check digits, length, lower case, an
// unknown country), for every country whose rows `take` selects.
template <typename Select>
std::vector<std::string> mixed_ibans(Select take) {
    lcg random;
    std::vector<std::string> out;
    for (size_t i = 0; i < iban_country_count; ++i) {
        const iban_country_t &row = iban_country_table[i];
        if (!take(row)) continue;
        for (int k = 0; k < 8; ++k) {
            std::string iban = with_check_digits(row.code, random_bban(row, random));
            out.push_back(iban);
            switch (k % 4) {
            case 0: iban[iban.size() - 1] = iban.back() == '9' ? '0' : static_cast<char>(iban.back() + 1); break;
            case 1: iban.pop_back(); break;
            case 2: iban[0] = static_cast<char>(iban[0] + 32); break;
            default: iban[0] = 'Q'; break;
            }
            out.push_back(iban);
        }
    }
    return out;
}

const std::vector<std::string> &non_german_mix() {
    static const std::vector<std::string> mix = mixed_ibans([](const iban_country_t &row) {
        return (row.flags & iban_for_payments) != 0 && std::strcmp(row.code, "DE") != 0;
    });
    return mix;
}

const std::vector<std::string> &registry_mix() {
    static const std::vector<std::string> mix = mixed_ibans([](const iban_country_t &) { return true; });
    return mix;
}

// Valid German IBANs of banks with different methods and rules, formed by the
// conversion from running account numbers.
const std::vector<std::string> &german_ibans() {
    static const std::vector<std::string> ibans = [] {
        const char *const banks[] = {"37040044", "10010010", "50070010", "76026000", "10020890", "70020270",
                                     "10050000", "25050299", "30060010", "12080000", "26580070", "60050101",
                                     "43060967", "51210800", "20041133", "50010517"};
        std::vector<std::string> out;
        for (const char *bank : banks) {
            int found = 0;
            for (unsigned account = 1234500; found < 16 && account < 1240000; account += 7) {
                char iban[35];
                if (sepa_iban_convert("DE", std::to_string(account).c_str(), bank, iban, nullptr) == 1 &&
                    sepa_iban_check(iban) == 1) {
                    out.emplace_back(iban);
                    ++found;
                }
            }
        }
        return out;
    }();
    return ibans;
}

template <typename Check>
void run_checks(benchmark::State &state, const std::vector<std::string> &inputs, Check check) {
    size_t i = 0;
    int64_t valid = 0;
    for (auto _ : state) {
        valid += check(inputs[i]);
        if (++i == inputs.size()) i = 0;
    }
    benchmark::DoNotOptimize(valid);
    state.SetItemsProcessed(state.iterations());
    state.counters["inputs"] = static_cast<double>(inputs.size());
}

void BM_IbanCheckNonGerman(benchmark::State &state) {
    run_checks(state, non_german_mix(),
               [](const std::string &iban) { return sepa_iban_check(iban.c_str()) == SEPA_IBAN_OK; });
}
BENCHMARK(BM_IbanCheckNonGerman);

void BM_IbanCheckGerman(benchmark::State &state) {
    run_checks(state, german_ibans(),
               [](const std::string &iban) { return sepa_iban_check(iban.c_str()) == SEPA_IBAN_OK; });
}
BENCHMARK(BM_IbanCheckGerman);

void BM_IbanInspectRegistry(benchmark::State &state) {
    run_checks(state, registry_mix(), [](const std::string &iban) {
        sepa_iban_info_t info;
        return sepa_iban_inspect(iban.c_str(), &info) == SEPA_IBAN_OK;
    });
}
BENCHMARK(BM_IbanInspectRegistry);

#ifdef SEPA_HAVE_KTOBLZCHECK
// ktoblzcheck's IBAN check (country, length and check digits) on the same mix. On
// German IBANs it checks no bank code and no account, so it does less than ours.
void BM_ktoblzcheckIbanNonGerman(benchmark::State &state) {
    static const IbanCheck checker;
    run_checks(state, non_german_mix(), [](const std::string &iban) { return checker.check(iban) == IbanCheck::OK; });
    state.SetLabel("peer of BM_IbanCheckNonGerman");
}
BENCHMARK(BM_ktoblzcheckIbanNonGerman);

void BM_ktoblzcheckIbanGerman(benchmark::State &state) {
    static const IbanCheck checker;
    run_checks(state, german_ibans(), [](const std::string &iban) { return checker.check(iban) == IbanCheck::OK; });
    state.SetLabel("peer of BM_IbanCheckGerman");
}
BENCHMARK(BM_ktoblzcheckIbanGerman);
#endif

}  // namespace

int main(int argc, char **argv) { return peer_ratio::run(argc, argv); }
