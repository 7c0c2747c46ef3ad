// Conversions per second over a mix of bank codes: plain banks, the big rule
// families (000503, 002002, 003200), list replacements, a successor, refusals.
#include <benchmark/benchmark.h>

#include <cstring>
#include <iterator>

#include "sepa.h"

namespace {

struct Input {
    const char *bank_code;
    const char *account;
};

constexpr Input mix[] = {
    {"37040044", "532013000"}, {"10010010", "1234567890"}, {"10000000", "1234412345"}, {"50070010", "92777202"},
    {"76026000", "5641196"},   {"10020890", "1210100047"}, {"70020270", "22222"},      {"10050000", "112233"},
    {"25050299", "17095"},     {"50040033", "930125007"},  {"30060010", "1991182"},    {"12080000", "998761700"},
    {"26580070", "7325022"},   {"60050101", "1234567890"}, {"43060967", "1111111"},    {"51210800", "2600123456"},
};

void BM_IbanConvertMix(benchmark::State &state) {
    char iban[35];
    char status;
    size_t i = 0;
    for (auto _ : state) {
        const Input &in = mix[i];
        benchmark::DoNotOptimize(sepa_iban_convert("DE", in.account, in.bank_code, iban, &status));
        benchmark::ClobberMemory();
        if (++i == std::size(mix)) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IbanConvertMix);

void BM_IbanConvertPlain(benchmark::State &state) {
    char iban[35];
    char status;
    for (auto _ : state) {
        benchmark::DoNotOptimize(sepa_iban_convert("DE", "1234567890", "10010010", iban, &status));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IbanConvertPlain);

void BM_IbanGetBic(benchmark::State &state) {
    char bic[12];
    for (auto _ : state) {
        benchmark::DoNotOptimize(sepa_iban_getBIC("DE89370400440532013000", bic));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IbanGetBic);

}  // namespace
