// Reads arbitrary bytes as a ZIP archive of camt documents (every input goes to
// libzip, whatever its first bytes) and walks what was read before any failure.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/statement/stmt_parser.h"
#include "core/statement/stmt_zip.h"
#include "fuzz/statement_walk.h"
#include "sepa.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    sepa_stmt_parser_t *parser = sepa_stmt_parser_new();
    if (parser == nullptr) return 0;
    // A small budget: the archive may claim any size, reading stops at this one.
    size_t budget = 1 << 20;
    bool ok = read_camt_zip(parser, -1, reinterpret_cast<const char *>(data), size, &budget);
    volatile size_t sink = walk(sepa_stmt_parser_getStatement(parser)) + ok;
    (void)sink;
    sepa_stmt_parser_free(parser);
    return 0;
}
