#include "json_output.h"

namespace {

void put_text(nlohmann::ordered_json &object, const char *key, const char *value) {
    if (value != nullptr) object[key] = value;
}

}  // namespace

nlohmann::ordered_json bankinfo_to_json(const sepa_bankinfo_t *info) {
    nlohmann::ordered_json bank;
    put_text(bank, "name", info->name);
    put_text(bank, "zip", info->zip);
    put_text(bank, "city", info->city);
    put_text(bank, "country", info->country);
    put_text(bank, "bic", info->bic);
    if (info->flags != 0) {
        nlohmann::ordered_json schemes = nlohmann::ordered_json::array();
        if (info->flags & SEPA_SCL_SCT) schemes.push_back("SCT");
        if (info->flags & SEPA_SCL_SDD) schemes.push_back("SDD");
        if (info->flags & SEPA_SCL_COR1) schemes.push_back("COR1");
        if (info->flags & SEPA_SCL_B2B) schemes.push_back("B2B");
        bank["schemes"] = schemes;
    }
    return bank;
}
