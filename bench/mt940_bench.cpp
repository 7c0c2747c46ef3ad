// MT940 parsing throughput on a large generated statement file: the whole load
// through the public interface (file read and parse), and the parse alone over a
// text already in memory.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <cstring>
#include <string>
#include <unistd.h>

#include "core/statement/stmt_parser.h"
#include "sepa.h"

namespace {

// About 24 MB of statements in the style of German banks: SEPA credits and
// debits with multi-line field 86, keywords and counterparty subfields.
std::string generate_statements() {
    std::string text;
    text.reserve(26u << 20);
    char line[512];
    for (int stmt = 0; text.size() < (24u << 20); ++stmt) {
        std::snprintf(line, sizeof line,
                      ":20:STARTUMS%06d\r\n:25:50040000/1234567890\r\n:28C:%05d/001\r\n"
                      ":60F:C240131EUR%d,%02d\r\n",
                      stmt, stmt % 100000, 1000 + stmt % 5000, stmt % 100);
        text += line;
        for (int tx = 0; tx < 40; ++tx) {
            int n = stmt * 40 + tx;
            std::snprintf(line, sizeof line,
                          ":61:2402010201%s%d,%02dNTRFNONREF//%010d\r\n"
                          ":86:166?00SEPA-GUTSCHRIFT?109310?20EREF+INV-%08d?21KREF+KUNDE-%06d\r\n"
                          "?22MREF+M-%06d?23CRED+DE98ZZZ09999999999?24SVWZ+Rechnung %08d vom 0\r\n"
                          "?2501.02.2024 Kundennummer 4711 Vertrag 0815?26Danke fuer Ihre Zahlung\r\n"
                          "?30COBADEFFXXX?31DE89370400440532013000?32Beispiel Handel GmbH\r\n"
                          "?33und Co KG Niederlassung?34997\r\n",
                          tx % 3 == 0 ? "D" : "C", 10 + n % 9000, n % 100, n, n, n % 1000000, n % 1000000, n);
            text += line;
        }
        text += ":62F:C240201EUR12345,67\r\n-\r\n";
    }
    return text;
}

// The figures are those of a process that parses statement files one after
// another: memory freed by one load is kept for the next instead of going back
// to the kernel, so page faults of fresh memory (about as many bytes of records
// as of text) do not dominate. Without this the load runs at roughly 100 MB/s
// on a virtual machine with expensive page faults.
const std::string &statements_text() {
    static const std::string text = [] {
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
        mallopt(M_MMAP_THRESHOLD, 32 << 20);  // the largest value glibc accepts
        return generate_statements();
    }();
    return text;
}

struct statement_file {
    std::string path;
    statement_file() {
        char name[] = "/tmp/mt940_bench_XXXXXX";
        int fd = mkstemp(name);
        if (fd < 0) std::abort();
        const std::string &text = statements_text();
        if (write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) std::abort();
        close(fd);
        path = name;
    }
    ~statement_file() { unlink(path.c_str()); }
};

void BM_Mt940LoadFile(benchmark::State &state) {
    static statement_file file;
    size_t statements = 0;
    for (auto _ : state) {
        sepa_stmt_parser_t *parser = sepa_stmt_parser_new();
        if (sepa_stmt_parser_load(parser, SEPA_STMT_FORMAT_MT940, file.path.c_str()) != 1) std::abort();
        statements = 0;
        for (sepa_stmt_t *s = sepa_stmt_parser_getStatement(parser); s; s = s->next) ++statements;
        sepa_stmt_parser_free(parser);
    }
    state.counters["statements"] = static_cast<double>(statements);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * statements_text().size()));
}
BENCHMARK(BM_Mt940LoadFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_Mt940ParseInMemory(benchmark::State &state) {
    const std::string &text = statements_text();
    for (auto _ : state) {
        state.PauseTiming();
        sepa_stmt_parser_t *parser = sepa_stmt_parser_new();
        auto *loaded = static_cast<mt940_state *>(std::calloc(1, sizeof(mt940_state)));
        loaded->text = static_cast<char *>(std::malloc(text.size() + 1));
        std::memcpy(loaded->text, text.c_str(), text.size() + 1);
        loaded->size = text.size();
        parser->mt940 = loaded;
        parser->format = SEPA_STMT_FORMAT_MT940;
        state.ResumeTiming();
        if (parse_mt940(parser) != 1) std::abort();
        state.PauseTiming();
        sepa_stmt_parser_free(parser);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Mt940ParseInMemory)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
