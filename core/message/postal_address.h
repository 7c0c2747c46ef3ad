// Postal addresses of parties (PostalAddress24, of which the older rulebooks use
// only Ctry and AdrLine). An address is stored compactly: one allocation with a
// 16-bit offset per field and the texts behind it, so that a transaction without
// address costs one pointer and one with address one block.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/frame/rulebook.h"

// Fields in schema order; the two address lines come last.
enum address_field : uint8_t {
    ADDR_DEPT,
    ADDR_SUB_DEPT,
    ADDR_STREET,
    ADDR_BUILDING_NUMBER,
    ADDR_BUILDING_NAME,
    ADDR_FLOOR,
    ADDR_POST_BOX,
    ADDR_ROOM,
    ADDR_POST_CODE,
    ADDR_TOWN,
    ADDR_TOWN_LOCATION,
    ADDR_DISTRICT,
    ADDR_COUNTRY_SUB_DIVISION,
    ADDR_COUNTRY,
    ADDR_LINE1,
    ADDR_LINE2,
    ADDRESS_FIELD_COUNT
};

struct address_field_rule {
    const char *key;      // key of sepa_add and sepa_setAddress ("addrTown")
    const char *element;  // schema element ("TwnNm")
    uint8_t max_length;   // bytes
    bool structured;      // only in PostalAddress24 (rulebooks with structured addresses)
    const char *what;     // name in error texts ("town name")
};

extern const address_field_rule address_fields[ADDRESS_FIELD_COUNT];

// The field whose key equals `key` without regard to case, or ADDRESS_FIELD_COUNT.
address_field find_address_field(const char *key);

// The packed address: offsets from the start of the block, 0 = field absent.
struct postal_address {
    uint16_t offset[ADDRESS_FIELD_COUNT];
};

// The field's text, or NULL when absent (also for a NULL address).
const char *address_get(const postal_address *address, address_field field);

// A new block holding the non-NULL `values`; NULL with *failed false when every
// value is NULL, NULL with *failed true when memory is exhausted.
postal_address *address_pack(const char *const values[ADDRESS_FIELD_COUNT], bool *failed);

// Bytes of the block up to the end of its last text (a copy of that many bytes is an
// equal address).
size_t address_size(const postal_address *address);

// Overwrites the block with zeros, frees it and sets *address to NULL. NULL is fine.
void address_free(postal_address **address);

// Checks a value for `field` under `rulebook` (length, character set, country code;
// structured fields need a rulebook with structured addresses). Returns NULL when
// accepted, else the failure text: a constant, or formatted into `buffer`.
const char *address_value_failure(const rulebook_t *rulebook, address_field field, const char *value, char *buffer,
                                  size_t size);

// The fields of an address as far as the rules of a rulebook are concerned.
struct address_facts {
    bool any;         // some field given
    bool structured;  // some structured field given
    bool town;        // TwnNm given
    bool country;     // Ctry given
    bool lines;       // an AdrLine given
};
address_facts address_facts_of(const postal_address *address);

// The rule a rulebook's address model sets for a given address, or NULL when it
// is kept: "Address needs town name and country", or the structured-address text
// naming the rulebook needed (formatted into `buffer`).
const char *address_model_failure(const rulebook_t &rulebook, const postal_address *address, char *buffer, size_t size);

// Replaces the field's text by `value` (NULL removes it) in a new block that takes
// the place of *address; false, leaving *address as it was, when memory is exhausted.
bool address_set(postal_address **address, address_field field, const char *value);

// Every check of an address under `rulebook`: each field as address_value_failure,
// then address_model_failure. NULL when kept.
const char *address_failure_under(const rulebook_t &rulebook, const postal_address *address, char *buffer, size_t size);
