#include "core/message/message_id_check.h"

#include <cstring>

int check_message_id(const char *id) {
    if (id == nullptr) return 0;
    const size_t length = std::strlen(id);
    if (length == 0 || length > 35) return 0;
    for (const char *p = id; *p; ++p) {
        const char c = *p;
        const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                             std::strchr(" '()+,-./:?", c) != nullptr;
        if (!allowed) return 0;
    }
    return 1;
}
