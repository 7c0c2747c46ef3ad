// Line-oriented writing of document rows: each row is indented with tabs and ends
// with a line feed. A failure to grow sticks, so a writer appends all its rows and
// checks once at the end.
#pragma once

#include <cstring>

#include "core/xml/xml_buffer.h"

class xml_lines {
public:
    explicit xml_lines(xml_buffer *buffer) : buffer_(buffer) {}

    bool ok() const { return ok_; }

    // "<element>"
    void open(int depth, const char *element) { row(depth, "<", element, ">", nullptr, nullptr); }
    // "</element>"
    void close(int depth, const char *element) { row(depth, "</", element, ">", nullptr, nullptr); }
    // A fixed line, written as given.
    void fixed(int depth, const char *line) { row(depth, line, nullptr, nullptr, nullptr, nullptr); }
    // "<element>value</element>", value copied as it is.
    void value(int depth, const char *element, const char *value) {
        row(depth, "<", element, ">", value, element);
    }
    // "<start>value</end>" for a start tag with attributes.
    void value_tagged(int depth, const char *start, const char *end, const char *value) {
        row(depth, "<", start, ">", value, end);
    }
    // "<element>value</element>" with & < > of the value escaped.
    void escaped(int depth, const char *element, const char *value);

private:
    // Appends tabs, a, b, c, then (when `end` is set) value, "</", end, ">", then "\n",
    // growing the buffer once.
    void row(int depth, const char *a, const char *b, const char *c, const char *value, const char *end);
    void put(const char *text, size_t length) {
        memcpy(buffer_->data + buffer_->used - 1, text, length);
        buffer_->used += static_cast<uint32_t>(length);
    }
    bool start_row(size_t length);

    xml_buffer *buffer_;
    bool ok_ = true;
};
