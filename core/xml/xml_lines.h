// Line-oriented writing of document rows: each row is indented with tabs and ends
// with a line feed. A failure to grow sticks, so a writer appends all its rows and
// checks once at the end. Element names and fixed lines are literals whose length
// the compiler knows; only values are measured at run time.
#pragma once

#include <cstring>
#include <string_view>

#include "core/xml/xml_buffer.h"

class xml_lines {
public:
    explicit xml_lines(xml_buffer *buffer) : buffer_(buffer) {}

    bool ok() const { return ok_; }

    // "<element>"
    void open(int depth, std::string_view element) { row(depth, "<", element, ">", {}, {}); }
    // "</element>"
    void close(int depth, std::string_view element) { row(depth, "</", element, ">", {}, {}); }
    // A fixed line, written as given.
    void fixed(int depth, std::string_view line) { row(depth, line, {}, {}, {}, {}); }
    // "<element>value</element>", value copied as it is.
    void value(int depth, std::string_view element, const char *value) {
        row(depth, "<", element, ">", value != nullptr ? value : "", element);
    }
    // "<start>value</end>" for a start tag with attributes.
    void value_tagged(int depth, std::string_view start, std::string_view end, const char *value) {
        row(depth, "<", start, ">", value != nullptr ? value : "", end);
    }
    // "<element>value</element>" with & < > of the value escaped.
    void escaped(int depth, std::string_view element, const char *value);

private:
    // Appends tabs, a, b, c, then (when `end` is not empty) value, "</", end, ">",
    // then "\n", growing the buffer once.
    void row(int depth, std::string_view a, std::string_view b, std::string_view c, std::string_view value,
             std::string_view end);
    void put(std::string_view text) {
        if (text.empty()) return;  // an empty view may have no data pointer at all
        memcpy(buffer_->data + buffer_->used - 1, text.data(), text.size());
        buffer_->used += static_cast<uint32_t>(text.size());
    }
    bool start_row(size_t length);

    xml_buffer *buffer_;
    bool ok_ = true;
};
