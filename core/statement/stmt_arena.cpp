#include "core/statement/stmt_arena.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/statement/stmt_parser.h"

struct stmt_arena_block {
    stmt_arena_block *next;
    size_t size;
};

namespace {

constexpr size_t alignment = 16;
constexpr size_t block_size = size_t{1024} * 1024;
constexpr size_t header_size = (sizeof(stmt_arena_block) + alignment - 1) / alignment * alignment;

size_t padding(const char *at) { return static_cast<size_t>(-reinterpret_cast<uintptr_t>(at)) & (alignment - 1); }

// Space of `size` bytes (no alignment) from the newest block, or from a new one.
char *take(stmt_arena *arena, size_t size, size_t align) {
    size_t pad = align ? padding(arena->at) : 0;
    if (arena->blocks != nullptr && pad + size <= arena->left) {
        char *result = arena->at + pad;
        arena->at += pad + size;
        arena->left -= pad + size;
        return result;
    }
    // Pieces larger than a quarter block get a block of their own, so that the
    // space left in the current block is kept for later records.
    bool own = size > block_size / 4;
    size_t bytes = own ? header_size + size : block_size;
    // Zero-filled blocks: fresh pages of the system come zeroed, so calloc spares
    // the pass that memset would make, and records need no clearing later.
    auto *block = static_cast<stmt_arena_block *>(stmt_allocate_zeroed(bytes));
    if (block == nullptr) return nullptr;
    block->size = bytes;
    arena->total += bytes;
    char *memory = reinterpret_cast<char *>(block) + header_size;
    if (own && arena->blocks != nullptr) {
        block->next = arena->blocks->next;
        arena->blocks->next = block;
        return memory;
    }
    block->next = arena->blocks;
    arena->blocks = block;
    arena->at = memory + size;
    arena->left = bytes - header_size - size;
    return memory;
}

}  // namespace

// Arena memory is handed out once and never reused, so it is still zero.
void *arena_allocate(stmt_arena *arena, size_t size) { return take(arena, size == 0 ? 1 : size, true); }

char *arena_copy(stmt_arena *arena, const char *text, size_t length) {
    char *copy = take(arena, length + 1, false);
    if (copy == nullptr) return nullptr;
    if (length > 0) std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

void arena_release(stmt_arena *arena) {
    stmt_arena_block *block = arena->blocks;
    while (block != nullptr) {
        stmt_arena_block *next = block->next;
        std::free(block);
        block = next;
    }
    *arena = stmt_arena{};
}
