// The statement parser handle behind the opaque sepa_stmt_parser_t of the public
// header, and the entry point of the MT940 parser.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/statement/stmt_arena.h"
#include "sepa.h"

// The loaded file: a heap copy of every byte plus a terminating NUL at text[size].
// The statement records point into it, so it lives as long as the parser.
struct mt940_state {
    char *text;
    size_t size;
};

struct sepa_stmt_parser_t {
    char error_text[256];  // last error, empty until one occurs
    uint32_t format;       // format code of the first load, 0 = never loaded
    mt940_state *mt940;    // present once an MT940 load has begun
    sepa_stmt_t *stmt_head;
    sepa_stmt_t *stmt_tail;
    stmt_arena arena;  // the statement and line records, and camt texts
};

// Parses the loaded text of parser->mt940 in place (values are cut out with NUL
// bytes, field 86 continuation lines joined) and appends the statements to the
// parser's list. Returns 1 when the whole text was processed, 0 when a record
// cannot be allocated or the parser has no MT940 state. Never reads past
// text[size], whatever bytes the text holds (NUL bytes included).
int parse_mt940(sepa_stmt_parser_t *parser);

// Heap memory (uninitialised) for the parser's arena blocks and working memory;
// fails when the test seam below says so.
void *stmt_allocate_raw(size_t size);

// Zero-filled heap memory, under the same test seam.
void *stmt_allocate_zeroed(size_t size);

// Test seam: the next `successes` allocations through stmt_allocate_raw succeed
// and every later one fails; a negative count (the default) never fails.
void stmt_fail_allocations_after_for_tests(long successes);

// Reads exactly `size` bytes from `fd` into `buffer`; on failure the reason is in
// the parser's error text. A file that ends early (it shrank while being read) is
// a failure, never a wait.
bool read_whole(sepa_stmt_parser_t *parser, int fd, char *buffer, size_t size);

// Releases every statement of the parser and its transactions; the list is empty after.
void release_statements(sepa_stmt_parser_t *parser);

// Loads statements of `format` (SEPA_STMT_FORMAT_*) from memory, as
// sepa_stmt_parser_load does from a file (the fuzz targets use it). 1 on success,
// 0 on failure with the reason in the error text.
int stmt_load_bytes(sepa_stmt_parser_t *parser, int format, const char *data, size_t size);
