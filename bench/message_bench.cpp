// Cost of the IBAN check and of adding transactions to a message.
#include <benchmark/benchmark.h>

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

}  // namespace
