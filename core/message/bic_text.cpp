#include "core/message/bic_text.h"

#include "core/frame/text_checks.h"

bool bic_upper_copy(const char *bic, char out[BIC_TEXT_SIZE]) {
    if (bic == nullptr) return false;
    size_t i = 0;
    for (; bic[i] != '\0'; ++i) {
        if (i == BIC_TEXT_SIZE - 1) return false;
        out[i] = ascii_upper(bic[i]);
    }
    out[i] = '\0';
    return true;
}
