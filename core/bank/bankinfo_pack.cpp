// The public bank-info block: five text pointers and the flags, followed in the same
// malloc() block by the texts they point at, so the caller releases it with one free().
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "core/bank/bank_record.h"

sepa_bankinfo_t *bankinfo_pack(const bank_record_t *record, uint16_t flags) {
    if (record == nullptr) return nullptr;
    const char *const texts[] = {record->name, record->zip, record->city, record->country, record->bic};
    size_t lengths[std::size(texts)];  // with the NUL; each text is measured once
    size_t size = sizeof(sepa_bankinfo_t);
    for (size_t i = 0; i < std::size(texts); ++i) {
        lengths[i] = texts[i] != nullptr ? std::strlen(texts[i]) + 1 : 0;
        size += lengths[i];
    }

    auto *block = static_cast<sepa_bankinfo_t *>(std::malloc(size));
    if (block == nullptr) return nullptr;
    const char **const slots[] = {&block->name, &block->zip, &block->city, &block->country, &block->bic};
    char *next = reinterpret_cast<char *>(block) + sizeof(sepa_bankinfo_t);
    for (size_t i = 0; i < std::size(texts); ++i) {
        if (texts[i] == nullptr) {
            *slots[i] = nullptr;
            continue;
        }
        std::memcpy(next, texts[i], lengths[i]);
        *slots[i] = next;
        next += lengths[i];
    }
    block->flags = flags;
    return block;
}
