#include "core/message/postal_address.h"

#include <cstdlib>
#include <cstring>

#include "core/frame/text_checks.h"
#include "core/message/key_name.h"
#include "core/message/owned_text.h"

const address_field_rule address_fields[ADDRESS_FIELD_COUNT] = {
    {"addrDept", "Dept", 70, true, "department"},
    {"addrSubDept", "SubDept", 70, true, "sub-department"},
    {"addrStreet", "StrtNm", 70, true, "street name"},
    {"addrBuildingNumber", "BldgNb", 16, true, "building number"},
    {"addrBuildingName", "BldgNm", 35, true, "building name"},
    {"addrFloor", "Flr", 70, true, "floor"},
    {"addrPostBox", "PstBx", 16, true, "post box"},
    {"addrRoom", "Room", 70, true, "room"},
    {"addrPostCode", "PstCd", 16, true, "post code"},
    {"addrTown", "TwnNm", 35, true, "town name"},
    {"addrTownLocation", "TwnLctnNm", 35, true, "town location name"},
    {"addrDistrict", "DstrctNm", 35, true, "district name"},
    {"addrCountrySubDivision", "CtrySubDvsn", 35, true, "country subdivision"},
    {"addrCC", "Ctry", 2, false, "country code"},
    {"addrLine1", "AdrLine", 70, false, "address line 1"},
    {"addrLine2", "AdrLine", 70, false, "address line 2"},
};

address_field find_address_field(const char *key) {
    for (int i = 0; i < ADDRESS_FIELD_COUNT; ++i)
        if (same_key_name(key, address_fields[i].key)) return static_cast<address_field>(i);
    return ADDRESS_FIELD_COUNT;
}

const char *address_get(const postal_address *address, address_field field) {
    if (address == nullptr || address->offset[field] == 0) return nullptr;
    return reinterpret_cast<const char *>(address) + address->offset[field];
}

postal_address *address_pack(const char *const values[ADDRESS_FIELD_COUNT], bool *failed) {
    *failed = false;
    size_t size = sizeof(postal_address), lengths[ADDRESS_FIELD_COUNT] = {};
    bool any = false;
    for (int i = 0; i < ADDRESS_FIELD_COUNT; ++i) {
        if (values[i] == nullptr) continue;
        any = true;
        lengths[i] = std::strlen(values[i]);
        size += lengths[i] + 1;
    }
    // Every value has passed its length check (at most 70 bytes), so offsets fit 16 bits.
    if (!any) return nullptr;
    auto *block = static_cast<postal_address *>(std::calloc(1, size));
    if (block == nullptr) {
        *failed = true;
        return nullptr;
    }
    size_t at = sizeof(postal_address);
    char *base = reinterpret_cast<char *>(block);
    for (int i = 0; i < ADDRESS_FIELD_COUNT; ++i) {
        if (values[i] == nullptr) continue;
        block->offset[i] = static_cast<uint16_t>(at);
        std::memcpy(base + at, values[i], lengths[i] + 1);
        at += lengths[i] + 1;
    }
    return block;
}

size_t address_size(const postal_address *address) {
    size_t end = sizeof(postal_address);
    for (int i = 0; i < ADDRESS_FIELD_COUNT; ++i) {
        const char *text = address_get(address, static_cast<address_field>(i));
        if (text != nullptr) {
            const size_t field_end = address->offset[i] + std::strlen(text) + 1;
            if (field_end > end) end = field_end;
        }
    }
    return end;
}

void address_free(postal_address **address) {
    if (*address == nullptr) return;
    wipe_memory(*address, address_size(*address));
    std::free(*address);
    *address = nullptr;
}

bool address_set(postal_address **address, address_field field, const char *value) {
    const char *values[ADDRESS_FIELD_COUNT];
    for (int i = 0; i < ADDRESS_FIELD_COUNT; ++i) values[i] = address_get(*address, static_cast<address_field>(i));
    values[field] = value;
    bool failed = false;
    postal_address *replacement = address_pack(values, &failed);
    if (failed) return false;
    address_free(address);
    *address = replacement;
    return true;
}

const char *address_value_failure(const rulebook_t *rulebook, address_field field, const char *value, char *buffer,
                                  size_t size) {
    const address_field_rule &rule = address_fields[field];
    if (rule.structured && rulebook != nullptr && rulebook->addresses == ADDRESS_LINES) {
        format_text(buffer, size, "Structured address key '%s' needs rulebook %s or later (rulebook %s)", rule.key,
                    first_rulebook_name([](const rulebook_t &r) { return r.addresses != ADDRESS_LINES; }),
                    rulebook->name);
        return buffer;
    }
    const size_t length = value == nullptr ? 0 : std::strlen(value);
    switch (field) {
    case ADDR_COUNTRY:
        if (length != 2 || value[0] < 'A' || value[0] > 'Z' || value[1] < 'A' || value[1] > 'Z')
            return "Invalid country code";
        return nullptr;
    case ADDR_LINE1:
        if (length == 0 || length > 70) return "Invalid address line 1 (must be 1-70 chars)";
        break;
    case ADDR_LINE2:
        if (length == 0 || length > 70) return "Invalid address line 2 (must be 1-70 chars)";
        break;
    default:
        if (length == 0 || length > rule.max_length) {
            format_text(buffer, size, "Invalid %s (must be 1-%u characters)", rule.what,
                        static_cast<unsigned>(rule.max_length));
            return buffer;
        }
        break;
    }
    const char *bad = nullptr;
    if (!check_text_under(rulebook, value, &bad, 2)) {
        char character[CHARACTER_TEXT_SIZE];
        describe_character(bad, character);
        format_text(buffer, size, "Invalid character '%s' in %s", character, rule.what);
        return buffer;
    }
    return nullptr;
}

address_facts address_facts_of(const postal_address *address) {
    address_facts facts{};
    for (int i = 0; i < ADDRESS_FIELD_COUNT; ++i) {
        if (address_get(address, static_cast<address_field>(i)) == nullptr) continue;
        facts.any = true;
        if (address_fields[i].structured) facts.structured = true;
    }
    facts.town = address_get(address, ADDR_TOWN) != nullptr;
    facts.country = address_get(address, ADDR_COUNTRY) != nullptr;
    facts.lines = address_get(address, ADDR_LINE1) != nullptr || address_get(address, ADDR_LINE2) != nullptr;
    return facts;
}

const char *address_model_failure(const rulebook_t &rulebook, const postal_address *address, char *buffer,
                                  size_t size) {
    const address_facts facts = address_facts_of(address);
    if (!facts.any) return nullptr;
    if (rulebook.addresses == ADDRESS_LINES && facts.structured) {
        for (int i = 0; i < ADDRESS_FIELD_COUNT; ++i) {
            const auto field = static_cast<address_field>(i);
            if (address_fields[i].structured && address_get(address, field) != nullptr)
                return address_value_failure(&rulebook, field, address_get(address, field), buffer, size);
        }
    }
    if (rulebook.addresses == ADDRESS_TOWN_COUNTRY && (!facts.town || !facts.country))
        return "Address needs town name and country";
    return nullptr;
}

const char *address_failure_under(const rulebook_t &rulebook, const postal_address *address, char *buffer,
                                  size_t size) {
    for (int i = 0; i < ADDRESS_FIELD_COUNT; ++i) {
        const auto field = static_cast<address_field>(i);
        const char *value = address_get(address, field);
        if (value == nullptr) continue;
        if (const char *failure = address_value_failure(&rulebook, field, value, buffer, size)) return failure;
    }
    return address_model_failure(rulebook, address, buffer, size);
}
