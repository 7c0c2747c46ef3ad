// Memory of one parser's statements: records and texts are carved out of large
// blocks and released together with the parser, which saves a heap allocation
// (and its bookkeeping) per record and keeps a load's memory close to its data.
#pragma once

#include <cstddef>

struct stmt_arena_block;

struct stmt_arena {
    stmt_arena_block *blocks;  // newest first; zero-initialised arena is empty
    char *at;                  // free space of the newest block
    size_t left;
    size_t total;  // bytes of every block together
};

// Zero-filled memory of `size` bytes aligned for any record, or nullptr when
// memory is exhausted (or the allocation seam of the tests says so).
void *arena_allocate(stmt_arena *arena, size_t size);

// A NUL-terminated copy of [text, text + length) in the arena, or nullptr.
char *arena_copy(stmt_arena *arena, const char *text, size_t length);

// Releases every block; the arena is empty again.
void arena_release(stmt_arena *arena);
