#include "core/xml/xml_lines.h"

namespace {
constexpr std::string_view tabs = "\t\t\t\t\t\t\t\t\t\t\t\t";
constexpr int max_depth = static_cast<int>(tabs.size());
}  // namespace

bool xml_lines::start_row(size_t length) {
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

void xml_lines::row(int depth, std::string_view a, std::string_view b, std::string_view c,
                    std::string_view value, std::string_view end) {
    if (depth > max_depth) depth = max_depth;
    const bool closing = !end.empty();
    const size_t total = static_cast<size_t>(depth) + a.size() + b.size() + c.size() +
                         (closing ? value.size() + end.size() + 3 : 0) + 1;
    if (!start_row(total)) return;
    put(tabs.substr(0, static_cast<size_t>(depth)));
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

void xml_lines::escaped(int depth, std::string_view element, const char *value) {
    if (depth > max_depth) depth = max_depth;
    if (!start_row(static_cast<size_t>(depth) + element.size() + 2)) return;
    put(tabs.substr(0, static_cast<size_t>(depth)));
    put("<");
    put(element);
    put(">");
    buffer_->data[buffer_->used - 1] = '\0';
    if (!buffer_append_escaped(buffer_, value)) {
        ok_ = false;
        return;
    }
    row(0, "</", element, ">", {}, {});
}
