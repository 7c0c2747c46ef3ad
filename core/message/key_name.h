// Keys of sepa_add's key-value lists (and the sequence types among their values) are
// matched without regard to case, in ASCII only: the caller's locale does not take
// part, so that a Turkish locale, whose lower case of 'I' is not 'i', reads the same
// keys as any other.
#pragma once

#include "core/frame/text_checks.h"

// True when `text` equals `name` byte for byte but for the case of ASCII letters.
inline bool same_key_name(const char *text, const char *name) {
    for (;; ++text, ++name) {
        if (ascii_upper(*text) != ascii_upper(*name)) return false;
        if (*text == '\0') return true;
    }
}
