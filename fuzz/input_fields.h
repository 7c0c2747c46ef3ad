// Cuts a fuzz input into texts separated by line feeds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The bytes of `data` from `offset` on as exactly `count` texts: each but the last ends
// at a line feed, the last takes the rest (line feeds included); missing ones are empty.
inline std::vector<std::string> split_fields(const uint8_t *data, size_t size, size_t offset, size_t count) {
    std::vector<std::string> fields;
    std::string current;
    for (size_t i = offset; i < size; ++i) {
        if (data[i] == '\n' && fields.size() + 1 < count) {
            fields.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    fields.push_back(current);
    fields.resize(count);
    return fields;
}
