// Rendering direct debits and credit transfers of 10 000, 100 000 and 1 000 000
// transactions through the public C interface: output bytes and transactions per
// second. Each message is built once with sepa_add; each iteration renders it.
// The throughput should not depend on the size (the document is written in linear
// time). Peak memory is measured by bench/render_memory.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "render_fixture.h"

namespace {

void render(benchmark::State &state, int type) {
    const int transaction_count = static_cast<int>(state.range(0));
    sepa_t *m = build_render_fixture(type, transaction_count, false);
    if (m == nullptr) {
        state.SkipWithError("building the message failed");
        return;
    }
    // One rendering before the timing: the first use of that much fresh memory in a
    // process can cost a virtual machine's host more than the rendering itself.
    free(sepa_toXML(m));
    size_t bytes = 0;
    for (auto _ : state) {
        char *doc = sepa_toXML(m);
        if (doc == nullptr) {
            state.SkipWithError(sepa_getError(m));
            break;
        }
        if (bytes == 0) bytes = strlen(doc);  // every rendering gives the same document
        benchmark::DoNotOptimize(doc);
        free(doc);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * transaction_count);
    state.counters["document_MB"] = static_cast<double>(bytes) / 1e6;
    sepa_free(m);
}

void BM_RenderDirectDebit(benchmark::State &state) { render(state, SEPA_MSGTYPE_DDI); }
void BM_RenderCreditTransfer(benchmark::State &state) { render(state, SEPA_MSGTYPE_CTI); }
BENCHMARK(BM_RenderDirectDebit)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderCreditTransfer)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Every transaction on a date of its own: as fast as one date (no walk over the
// payment blocks per transaction).
void BM_RenderDirectDebitDistinctDates(benchmark::State &state) {
    const int transaction_count = static_cast<int>(state.range(0));
    sepa_t *m = build_render_fixture(SEPA_MSGTYPE_DDI, transaction_count, true);
    for (auto _ : state) {
        char *doc = sepa_toXML(m);
        benchmark::DoNotOptimize(doc);
        free(doc);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * transaction_count);
    sepa_free(m);
}
BENCHMARK(BM_RenderDirectDebitDistinctDates)->Arg(80000)->Unit(benchmark::kMillisecond);

}  // namespace
