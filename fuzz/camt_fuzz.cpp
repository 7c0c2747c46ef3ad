// Loads arbitrary bytes as a camt document (from memory, through the same path as
// a file) and walks every statement and line the load kept.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/statement/stmt_parser.h"
#include "fuzz/statement_walk.h"
#include "sepa.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    sepa_stmt_parser_t *parser = sepa_stmt_parser_new();
    if (parser == nullptr) return 0;
    int loaded = stmt_load_bytes(parser, SEPA_STMT_FORMAT_CAMT, reinterpret_cast<const char *>(data), size);
    // A failed load keeps no statement; a successful one keeps at least one.
    if ((loaded == 1) != (sepa_stmt_parser_getStatement(parser) != nullptr)) std::abort();
    volatile size_t sink = walk(sepa_stmt_parser_getStatement(parser)) + touch(sepa_stmt_parser_getError(parser));
    (void)sink;
    sepa_stmt_parser_free(parser);
    return 0;
}
