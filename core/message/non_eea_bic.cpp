#include "core/message/non_eea_bic.h"

#include <cstring>

#include "core/frame/text_checks.h"

int is_non_eea_bic(const char *bic) {
    if (bic == nullptr || std::strlen(bic) < 8) return -1;
    static const char *const non_eea[] = {"AD", "BL", "CH", "MC", "SM", "GB", "GI", "GG",
                                          "IM", "JE", "NC", "PF", "PM", "TF", "WF", "VA"};
    const char country[2] = {ascii_upper(bic[4]), ascii_upper(bic[5])};
    for (const char *code : non_eea) {
        if (code[0] == country[0] && code[1] == country[1]) return 1;
    }
    return 0;
}
