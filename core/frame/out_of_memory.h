// The one error text of every failed allocation, whichever handle or parser reports
// it: callers match a single text, and no internal function name leaks out.
#pragma once

inline constexpr const char out_of_memory_text[] = "Out of memory";
