#include "core/xml/xml_lines.h"

namespace {
constexpr std::string_view tabs = "\t\t\t\t\t\t\t\t\t\t\t\t";
constexpr int max_depth = static_cast<int>(tabs.size());

size_t tab_count(int depth) { return static_cast<size_t>(depth > max_depth ? max_depth : depth); }
}  // namespace

bool xml_lines::start_row(size_t length) {
    if (buffer_ == nullptr) {
        measured_ += length;
        return false;
    }
    if (!ok_ || !buffer_grow(buffer_, length + 1)) {
        ok_ = false;
        return false;
    }
    // Rows are appended over the document's NUL; an empty buffer gets one first.
    if (buffer_->used == 0) {
        buffer_->data[0] = '\0';
        buffer_->used = 1;
    }
    return true;
}

void xml_lines::put_tabs(int depth) { put(tabs.substr(0, tab_count(depth))); }

void xml_lines::row(int depth, std::string_view a, std::string_view b, std::string_view c, std::string_view value,
                    std::string_view end) {
    const bool closing = !end.empty();
    const size_t total = tab_count(depth) + a.size() + b.size() + c.size() +
                         (closing ? value.size() + end.size() + 3 : 0) + 1;
    if (!start_row(total)) return;
    put_tabs(depth);
    put(a);
    put(b);
    put(c);
    if (closing) {
        put(value);
        put("</");
        put(end);
        put(">");
    }
    put("\n");
    buffer_->data[buffer_->used - 1] = '\0';
}

void xml_lines::open(std::string_view element, std::initializer_list<xml_attribute> attributes, children layout) {
    if (size_ == max_stack) {
        ok_ = false;
        return;
    }
    const int at = depth();
    size_t length = tab_count(at) + element.size() + 3;
    for (const xml_attribute &a : attributes)
        if (a.value != nullptr) length += a.name.size() + std::strlen(a.value) + 4;
    if (start_row(length)) {
        put_tabs(at);
        put("<");
        put(element);
        for (const xml_attribute &a : attributes) {
            if (a.value == nullptr) continue;
            put(" ");
            put(a.name);
            put("=\"");
            put(a.value);
            put("\"");
        }
        put(">\n");
        buffer_->data[buffer_->used - 1] = '\0';
    }
    stack_[size_++] = {element, at, layout == children::flat ? at : at + 1};
}

void xml_lines::close() {
    if (size_ == 0) {
        ok_ = false;
        return;
    }
    const entry &top = stack_[--size_];
    row(top.depth, "</", top.element, ">", {}, {});
}

void xml_lines::value(std::string_view element, xml_attribute attribute, const char *value) {
    const int at = depth();
    const std::string_view text = value != nullptr ? value : "";
    const size_t length = tab_count(at) + 2 * element.size() + attribute.name.size() + std::strlen(attribute.value) +
                          text.size() + 10;
    if (!start_row(length)) return;
    put_tabs(at);
    put("<");
    put(element);
    put(" ");
    put(attribute.name);
    put("=\"");
    put(attribute.value);
    put("\">");
    put(text);
    put("</");
    put(element);
    put(">\n");
    buffer_->data[buffer_->used - 1] = '\0';
}

void xml_lines::escaped(std::string_view element, const char *value) {
    const int at = depth();
    size_t plain = 0;
    const size_t escaped = escaped_length(value, &plain);
    if (!start_row(tab_count(at) + 2 * element.size() + escaped + 6)) return;
    put_tabs(at);
    put("<");
    put(element);
    put(">");
    char *end = write_escaped(buffer_->data + buffer_->used - 1, value, plain, escaped);
    buffer_->used = static_cast<uint32_t>(end - buffer_->data) + 1;
    put("</");
    put(element);
    put(">\n");
    buffer_->data[buffer_->used - 1] = '\0';
}
