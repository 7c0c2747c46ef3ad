// Cost of the IBAN check, of adding transactions to a message and of building a
// message of a bank's bulk file.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <vector>

#include "sepa.h"

namespace {

const char *const ibans[] = {"DE89370400440532013000",      "AT611904300234573201",   "NL91ABNA0417164300",
                             "FR1420041010050500013M02606", "GB82WEST12345698765432", "CH9300762011623852957"};

void BM_IbanCheck(benchmark::State &state) {
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(sepa_iban_check(ibans[i++ % std::size(ibans)]));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IbanCheck);

void BM_AddDirectDebit(benchmark::State &state) {
    sepa_init(SEPA_INIT_RULEBOOK, "DE-3.5");
    const sepa_kvpair_t pairs[] = {{"name", "Max Mustermann"},
                                   {"iban", "DE89370400440532013000"},
                                   {"bic", "COBADEFFXXX"},
                                   {"amount", "123.45"},
                                   {"seq", "RCUR"},
                                   {"mref", "MANDATE-0001"},
                                   {"mdate", "2020-05-17"},
                                   {"id", "E2E-0001"},
                                   {"ref", "Invoice 2024-0001"},
                                   {nullptr, nullptr}};
    sepa_t *message = sepa_new(SEPA_MSGTYPE_DDI);
    for (auto _ : state) {
        if (sepa_add(message, pairs) != 1) state.SkipWithError("refused");
        if (message->tx_count == 100000) {  // keep memory bounded
            state.PauseTiming();
            sepa_free(message);
            message = sepa_new(SEPA_MSGTYPE_DDI);
            state.ResumeTiming();
        }
    }
    sepa_free(message);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AddDirectDebit);

// A bank's bulk file: a fresh message of N direct debits of 1024 distinct members
// (prepared outside the timing), built once per iteration and freed untimed. Unlike
// BM_AddDirectDebit, the message grows to its full size, as a real one does.
void BM_BuildDirectDebits(benchmark::State &state) {
    sepa_init(SEPA_INIT_RULEBOOK, "DE-3.5");
    constexpr int members = 1024;
    struct member_texts {
        char id[32], name[64], amount[16], mref[32], ref[64];
    };
    std::vector<member_texts> texts(members);
    std::vector<std::array<sepa_kvpair_t, 11>> lists(members);
    static const char *const sequences[] = {"FRST", "RCUR", "OOFF", "FNAL"};
    for (int i = 0; i < members; ++i) {
        member_texts &t = texts[i];
        std::snprintf(t.id, sizeof t.id, "E2E-%08d", i);
        std::snprintf(t.name, sizeof t.name, "Mitglied %d M\xC3\xBCller & Sohn", i);
        std::snprintf(t.amount, sizeof t.amount, "%d.%02d", 10 + i % 1000, i % 100);
        std::snprintf(t.mref, sizeof t.mref, "MANDATE-%08d", i);
        std::snprintf(t.ref, sizeof t.ref, "Mitgliedsbeitrag 2025 Nr. %d", i);
        lists[i] = {{{"id", t.id},
                     {"name", t.name},
                     {"iban", "DE02120300000000202051"},
                     {"bic", i % 3 == 0 ? "BYLADEM1001" : "COBADEFFXXX"},
                     {"amount", t.amount},
                     {"seq", sequences[i % 4]},
                     {"mref", t.mref},
                     {"mdate", "2024-01-15"},
                     {"ref", t.ref},
                     {nullptr, nullptr},
                     {nullptr, nullptr}}};
    }
    const auto count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        sepa_t *message = sepa_new(SEPA_MSGTYPE_DDI);
        for (int i = 0; i < count; ++i) {
            if (sepa_add(message, lists[i % members].data()) != 1) state.SkipWithError("refused");
        }
        state.PauseTiming();
        sepa_free(message);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_BuildDirectDebits)->Arg(200000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
