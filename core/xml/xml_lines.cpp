#include "core/xml/xml_lines.h"

namespace {
constexpr std::string_view tabs = "\t\t\t\t\t\t\t\t\t\t\t\t";
constexpr int max_depth = static_cast<int>(tabs.size());

size_t tab_count(int depth) { return static_cast<size_t>(depth > max_depth ? max_depth : depth); }
}  // namespace

char *xml_lines::start_row(size_t length) {
    if (buffer_ == nullptr) {
        measured_ += length;
        return nullptr;
    }
    if (!ok_ || !buffer_grow(buffer_, length + 1)) {
        ok_ = false;
        return nullptr;
    }
    // Rows are appended over the document's NUL; an empty buffer gets one first.
    if (buffer_->used == 0) {
        buffer_->data[0] = '\0';
        buffer_->used = 1;
    }
    return buffer_->data + buffer_->used - 1;
}

char *xml_lines::put_tabs(char *out, int depth) { return put(out, tabs.substr(0, tab_count(depth))); }

void xml_lines::row(int depth, std::string_view a, std::string_view b, std::string_view c, std::string_view value,
                    std::string_view end) {
    const bool closing = !end.empty();
    const size_t total = tab_count(depth) + a.size() + b.size() + c.size() +
                         (closing ? value.size() + end.size() + 3 : 0) + 1;
    char *out = start_row(total);
    if (out == nullptr) return;
    out = put(put(put(put_tabs(out, depth), a), b), c);
    if (closing) out = put(put(put(put(out, value), "</"), end), ">");
    end_row(put(out, "\n"));
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
    if (char *out = start_row(length)) {
        out = put(put(put_tabs(out, at), "<"), element);
        for (const xml_attribute &a : attributes) {
            if (a.value == nullptr) continue;
            out = put(put(put(put(put(out, " "), a.name), "=\""), a.value), "\"");
        }
        end_row(put(out, ">\n"));
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
    char *out = start_row(length);
    if (out == nullptr) return;
    out = put(put(put(put(put_tabs(out, at), "<"), element), " "), attribute.name);
    out = put(put(put(put(out, "=\""), attribute.value), "\">"), text);
    end_row(put(put(put(out, "</"), element), ">\n"));
}

void xml_lines::escaped(std::string_view element, const char *value) {
    const int at = depth();
    size_t plain = 0;
    const size_t escaped = escaped_length(value, &plain);
    char *out = start_row(tab_count(at) + 2 * element.size() + escaped + 6);
    if (out == nullptr) return;
    out = write_escaped(put(put(put(put_tabs(out, at), "<"), element), ">"), value, plain, escaped);
    end_row(put(put(put(out, "</"), element), ">\n"));
}
