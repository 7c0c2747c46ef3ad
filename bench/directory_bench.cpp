// Bank directory and BIC directory lookups: the hash alone, a bank code lookup into a
// caller's record, a BIC lookup, and the exported calls with and without the block.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/bank/bank_record.h"
#include "core/bank/directory_tables.h"
#include "sepa.h"

namespace {

// Every stored key of one kind, taken from the record table, so the loops touch the
// whole directory rather than one hot record.
std::vector<std::string> stored_keys(bool bics) {
    std::vector<std::string> keys;
    for (uint32_t slot = 0; slot < directory_key_count; ++slot) {
        const std::string_view record = directory_record(slot);
        const bool is_bic = record[0] != '_';
        if (is_bic != bics) continue;
        const size_t length = (record.substr(0, 3) == "_AT" || record.substr(0, 3) == "_CH") ? 8 : 11;
        keys.emplace_back(record.substr(0, length));
    }
    return keys;
}

void BM_DirectoryHash(benchmark::State &state) {
    const auto keys = stored_keys(false);
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(directory_hash(keys[i].c_str()));
        if (++i == keys.size()) i = 0;
    }
}
BENCHMARK(BM_DirectoryHash);

void BM_BankLookup(benchmark::State &state) {
    const auto keys = stored_keys(false);
    std::vector<std::pair<std::string, std::string>> queries;
    for (const auto &key : keys) queries.emplace_back(key.substr(1, 2), key.substr(3));
    bank_record_t record;
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(bank_lookup(queries[i].first.c_str(), queries[i].second.c_str(), &record));
        if (++i == queries.size()) i = 0;
    }
}
BENCHMARK(BM_BankLookup);

void BM_BankLookupNotFound(benchmark::State &state) {
    bank_record_t record;
    for (auto _ : state) benchmark::DoNotOptimize(bank_lookup("DE", "99999999", &record));
}
BENCHMARK(BM_BankLookupNotFound);

void BM_BicLookup(benchmark::State &state) {
    const auto keys = stored_keys(true);
    bank_record_t record;
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(bic_lookup(keys[i].c_str(), &record));
        if (++i == keys.size()) i = 0;
    }
}
BENCHMARK(BM_BicLookup);

void BM_BankidCheckWithoutBlock(benchmark::State &state) {
    for (auto _ : state) benchmark::DoNotOptimize(sepa_bankid_check("DE", "37040044", nullptr));
}
BENCHMARK(BM_BankidCheckWithoutBlock);

// The exported lookups without a block over every stored key: what a caller that
// only asks "is this bank code / BIC known?" gets. Nothing is allocated or copied.
void BM_BankidCheckAllCodes(benchmark::State &state) {
    std::vector<std::pair<std::string, std::string>> queries;
    for (const auto &key : stored_keys(false)) queries.emplace_back(key.substr(1, 2), key.substr(3));
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(sepa_bankid_check(queries[i].first.c_str(), queries[i].second.c_str(), nullptr));
        if (++i == queries.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BankidCheckAllCodes);

void BM_BicGetBankAllBics(benchmark::State &state) {
    const auto keys = stored_keys(true);
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(sepa_bic_getBank(keys[i].c_str(), nullptr));
        if (++i == keys.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BicGetBankAllBics);

void BM_BankidCheckWithBlock(benchmark::State &state) {
    for (auto _ : state) {
        sepa_bankinfo_t *info = nullptr;
        benchmark::DoNotOptimize(sepa_bankid_check("DE", "37040044", &info));
        std::free(info);
    }
}
BENCHMARK(BM_BankidCheckWithBlock);

void BM_BicGetBankWithBlock(benchmark::State &state) {
    for (auto _ : state) {
        sepa_bankinfo_t *info = nullptr;
        benchmark::DoNotOptimize(sepa_bic_getBank("vobadess", &info));
        std::free(info);
    }
}
BENCHMARK(BM_BicGetBankWithBlock);

}  // namespace
