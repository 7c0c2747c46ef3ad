// Line-oriented writing of document rows with an element stack: open pushes an
// element, close pops it, and every row is indented by the depth the stack gives,
// so a new element needs no renumbering of the rows after it. Each row ends with a
// line feed. A failure to grow, a close without an open or a stack overflow
// sticks, so a writer appends all its rows and checks once at the end
// (ok() also demands that every element was closed).
#pragma once

#include <cstring>
#include <initializer_list>
#include <string_view>

#include "core/xml/xml_buffer.h"

// One attribute of a start tag; a NULL value leaves the attribute out.
struct xml_attribute {
    std::string_view name;
    const char *value;
};

class xml_lines {
public:
    // How the children of an opened element are indented.
    enum class children { indented, flat };

    explicit xml_lines(xml_buffer *buffer) : buffer_(buffer) {}

    // A measuring pass: the same calls write nothing and add up the bytes the rows
    // would take (measured()), so that the buffer can be had in one piece before
    // the writing pass.
    struct measuring_t {};
    static constexpr measuring_t measuring{};
    explicit xml_lines(measuring_t) : buffer_(nullptr) {}
    size_t measured() const { return measured_; }

    // True when every row was appended and every opened element closed again.
    bool ok() const { return ok_ && size_ == 0; }
    // Depth of the next row.
    int depth() const { return size_ == 0 ? 0 : stack_[size_ - 1].child_depth; }

    // "<element>" (with attributes when given). Children sit one level deeper, or
    // at the element's own depth with children::flat (the layout the credit-transfer
    // document has always had inside CdtrAgt, CdtrAcct and PstlAdr).
    void open(std::string_view element, children layout = children::indented) { open(element, {}, layout); }
    void open(std::string_view element, std::initializer_list<xml_attribute> attributes,
              children layout = children::indented);
    // "</element>" of the innermost open element.
    void close();
    // A fixed line, written as given.
    void fixed(std::string_view line) { row(depth(), line, {}, {}, {}, {}); }
    // "<element>value</element>", value copied as it is.
    void value(std::string_view element, const char *value) {
        row(depth(), "<", element, ">", value != nullptr ? value : "", element);
    }
    // "<element attribute="...">value</element>" with one attribute.
    void value(std::string_view element, xml_attribute attribute, const char *value);
    // "<element>value</element>" with & < > of the value escaped.
    void escaped(std::string_view element, const char *value);

private:
    struct entry {
        std::string_view element;
        int depth;
        int child_depth;
    };
    static constexpr int max_stack = 16;

    // Appends tabs, a, b, c, then (when `end` is not empty) value, "</", end, ">",
    // then "\n", growing the buffer once.
    void row(int depth, std::string_view a, std::string_view b, std::string_view c, std::string_view value,
             std::string_view end);
    // Where a row of `length` bytes goes (the buffer has grown for it), or NULL
    // while measuring or after a failure; end_row puts the NUL after the row.
    char *start_row(size_t length);
    void end_row(char *end) {
        *end = '\0';
        buffer_->used = static_cast<uint32_t>(end - buffer_->data) + 1;
    }
    // An empty view may have no data pointer at all: copy_piece reads nothing then.
    static char *put(char *out, std::string_view text) {
        copy_piece(out, text.data(), text.size());
        return out + text.size();
    }
    static char *put_tabs(char *out, int depth);

    xml_buffer *buffer_;  // NULL while measuring
    size_t measured_ = 0;
    bool ok_ = true;
    entry stack_[max_stack];
    int size_ = 0;
};
