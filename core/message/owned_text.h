// Private copies of caller texts for payment messages, and their release with the
// bytes overwritten first so that account data does not stay in freed memory.
#pragma once

#include <cstddef>

// Overwrites `size` bytes at `memory` with zeros in a way the compiler keeps.
void wipe_memory(void *memory, size_t size);

// Overwrites *text over its length, frees it and sets *text to NULL. NULL is fine.
void text_wipe_free(char **text);

// Replaces *field by a malloc() copy of `text`, wiping and freeing the previous text.
// The copy is made first: when `text` is NULL or memory is exhausted, *field keeps
// its value and the result is false.
bool text_store(char **field, const char *text);

// A malloc() copy of `text` converted to the SEPA character set of the current
// rulebook at character `level` (see transliterate). False when memory is exhausted.
bool text_transliterated(const char *text, int level, char **out);
