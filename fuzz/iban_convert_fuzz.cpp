// libFuzzer target: arbitrary texts as account, bank code and IBAN for the
// conversion and for the BIC of an IBAN. Input lines: account, bank code, IBAN.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "input_fields.h"
#include "sepa.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // A fourth field takes what follows the IBAN's line, unused.
    const std::vector<std::string> parts = split_fields(data, size, 0, 4);
    char iban[35];
    char status;
    int result = sepa_iban_convert("DE", parts[0].c_str(), parts[1].c_str(), iban, &status);
    if (result != 1 && iban[0] != '\0') std::abort();
    if (result == 1 && std::strlen(iban) != 22) std::abort();

    char bic[12];
    result = sepa_iban_getBIC(parts[2].c_str(), bic);
    if (bic[11] != '\0') std::abort();
    if (result != 1) {
        for (char c : bic)
            if (c != '\0') std::abort();
    }
    return 0;
}
