#include "core/message/message_id_check.h"

#include <cstring>

int check_message_id(const char *id) {
    if (id == nullptr) return 0;
    const size_t length = std::strlen(id);
    if (length == 0 || length > 35) return 0;
    for (const char *p = id; *p; ++p) {
        if (!is_identifier_char(*p)) return 0;
    }
    return 1;
}
