#include "core/bank/account_value.h"

uint64_t account_value(const char *account, int offset, int length) {
    uint64_t value = 0;
    if (!account || offset < 0) return 0;
    for (const char *c = account + offset; length > 0 && *c >= '0' && *c <= '9'; ++c, --length)
        value = value * 10 + static_cast<uint64_t>(*c - '0');
    return value;
}
