// camt.053 parsing throughput on a large generated statement file, loaded through
// the public interface (the file is read as a stream, no copy of it is kept).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <string>
#include <unistd.h>

#include "sepa.h"

namespace {

// About 64 MB of camt.053.001.08 in the style of German banks: statements of
// 200 entries, SEPA credits and direct debits with one TxDtls each, every fifth
// entry a batch of three details.
std::string generate_statements() {
    std::string text;
    text.reserve(68u << 20);
    text +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:camt.053.001.08\">\n"
        "<BkToCstmrStmt><GrpHdr><MsgId>BENCH-1</MsgId><CreDtTm>2025-11-03T06:00:00</CreDtTm></GrpHdr>\n";
    char buffer[2048];
    for (int stmt = 0; text.size() < (64u << 20); ++stmt) {
        std::snprintf(buffer, sizeof buffer,
                      "<Stmt><Id>STMT-%06d</Id><ElctrncSeqNb>%d</ElctrncSeqNb>"
                      "<Acct><Id><IBAN>DE89370400440532013000</IBAN></Id><Ccy>EUR</Ccy></Acct>\n"
                      "<Bal><Tp><CdOrPrtry><Cd>OPBD</Cd></CdOrPrtry></Tp><Amt Ccy=\"EUR\">1000.00</Amt>"
                      "<CdtDbtInd>CRDT</CdtDbtInd><Dt><Dt>2025-11-01</Dt></Dt></Bal>\n",
                      stmt, stmt);
        text += buffer;
        for (int e = 0; e < 200; ++e) {
            int n = stmt * 200 + e;
            bool credit = e % 3 != 0;
            std::snprintf(buffer, sizeof buffer,
                          "<Ntry><Amt Ccy=\"EUR\">%d.%02d</Amt><CdtDbtInd>%s</CdtDbtInd>"
                          "<Sts><Cd>BOOK</Cd></Sts><BookgDt><Dt>2025-11-02</Dt></BookgDt>"
                          "<ValDt><Dt>2025-11-02</Dt></ValDt><AcctSvcrRef>REF%010d</AcctSvcrRef>\n"
                          "<BkTxCd><Domn><Cd>PMNT</Cd><Fmly><Cd>RCDT</Cd><SubFmlyCd>ESCT</SubFmlyCd></Fmly></Domn>"
                          "<Prtry><Cd>NTRF+166+9310</Cd><Issr>DK</Issr></Prtry></BkTxCd><NtryDtls>\n",
                          10 + n % 9000, n % 100, credit ? "CRDT" : "DBIT", n);
            text += buffer;
            int details = e % 5 == 0 ? 3 : 1;
            for (int d = 0; d < details; ++d) {
                std::snprintf(
                    buffer, sizeof buffer,
                    "<TxDtls><Refs><EndToEndId>E2E-%08d-%d</EndToEndId><MndtId>M-%06d</MndtId></Refs>"
                    "<Amt Ccy=\"EUR\">1.00</Amt><CdtDbtInd>%s</CdtDbtInd>\n"
                    "<RltdPties><Dbtr><Pty><Nm>Beispiel Handel GmbH und Co KG Niederlassung %d</Nm></Pty></Dbtr>"
                    "<DbtrAcct><Id><IBAN>DE02120300000000202051</IBAN></Id></DbtrAcct>"
                    "<Cdtr><Pty><Nm>M&#252;ller &amp; S&#246;hne</Nm></Pty></Cdtr>"
                    "<CdtrAcct><Id><IBAN>DE89370400440532013000</IBAN></Id></CdtrAcct></RltdPties>\n"
                    "<RltdAgts><DbtrAgt><FinInstnId><BICFI>COBADEFFXXX</BICFI></FinInstnId></DbtrAgt></RltdAgts>"
                    "<RmtInf><Ustrd>Rechnung %08d vom 01.11.2025 Kundennummer 4711 Vertrag 0815</Ustrd></RmtInf>"
                    "</TxDtls>\n",
                    n, d, n % 1000000, credit ? "CRDT" : "DBIT", n % 97, n);
                text += buffer;
            }
            text += "</NtryDtls><AddtlNtryInf>SEPA-GUTSCHRIFT</AddtlNtryInf></Ntry>\n";
        }
        text +=
            "<Bal><Tp><CdOrPrtry><Cd>CLBD</Cd></CdOrPrtry></Tp><Amt Ccy=\"EUR\">1234.56</Amt>"
            "<CdtDbtInd>CRDT</CdtDbtInd><Dt><Dt>2025-11-03</Dt></Dt></Bal></Stmt>\n";
    }
    text += "</BkToCstmrStmt></Document>\n";
    return text;
}

struct statement_file {
    std::string path;
    size_t size = 0;
    statement_file() {
        char name[] = "/tmp/camt_bench_XXXXXX";
        int fd = mkstemp(name);
        if (fd < 0) std::abort();
        std::string text = generate_statements();
        if (write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) std::abort();
        close(fd);
        path = name;
        size = text.size();
    }
    ~statement_file() { unlink(path.c_str()); }
};

// As in the MT940 benchmark, the figures are those of a process that loads
// statement files one after another: memory freed by one load is kept for the
// next instead of going back to the kernel, so that page faults of fresh memory
// do not dominate on a virtual machine with expensive page faults.
void BM_Camt053LoadFile(benchmark::State &state) {
    static statement_file file;
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    size_t lines = 0;
    for (auto _ : state) {
        sepa_stmt_parser_t *parser = sepa_stmt_parser_new();
        if (sepa_stmt_parser_load(parser, SEPA_STMT_FORMAT_CAMT, file.path.c_str()) != 1) std::abort();
        lines = 0;
        for (sepa_stmt_t *s = sepa_stmt_parser_getStatement(parser); s; s = s->next) lines += s->tx_count;
        sepa_stmt_parser_free(parser);
    }
    state.counters["lines"] = static_cast<double>(lines);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size));
}
BENCHMARK(BM_Camt053LoadFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
