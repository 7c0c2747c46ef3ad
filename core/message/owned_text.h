// Private copies of caller texts for payment messages, and their release with the
// bytes overwritten first so that account data does not stay in freed memory.
#pragma once

#include <cstddef>

// malloc() copy of `text`, or nullptr when `text` is NULL or memory is exhausted.
char *text_copy(const char *text);

// Overwrites `size` bytes at `memory` with zeros in a way the compiler keeps.
void wipe_memory(void *memory, size_t size);

// Overwrites *text over its length, frees it and sets *text to NULL. NULL is fine.
void text_wipe_free(char **text);

// Replaces *field by `copy` (already made), wiping and freeing the previous text.
void text_replace(char **field, char *copy);
