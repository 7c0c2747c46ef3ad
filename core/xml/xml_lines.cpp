#include "core/xml/xml_lines.h"

namespace {
constexpr char tabs[] = "\t\t\t\t\t\t\t\t\t\t\t\t";
constexpr int max_depth = sizeof(tabs) - 1;
size_t length_of(const char *text) { return text == nullptr ? 0 : strlen(text); }
}  // namespace

bool xml_lines::start_row(size_t length) {
    if (!ok_ || !buffer_grow(buffer_, length + 1)) {
        ok_ = false;
        return false;
    }
    // Rows are appended behind the document's NUL; an empty buffer gets one first.
    if (buffer_->used == 0) {
        buffer_->data[0] = '\0';
        buffer_->used = 1;
    }
    return true;
}

void xml_lines::row(int depth, const char *a, const char *b, const char *c, const char *value,
                    const char *end) {
    if (depth > max_depth) depth = max_depth;
    const size_t la = length_of(a), lb = length_of(b), lc = length_of(c);
    const size_t lv = end != nullptr ? length_of(value) : 0, le = length_of(end);
    const size_t total = static_cast<size_t>(depth) + la + lb + lc + (end != nullptr ? lv + le + 3 : 0) + 1;
    if (!start_row(total)) return;
    put(tabs, static_cast<size_t>(depth));
    put(a, la);
    if (lb) put(b, lb);
    if (lc) put(c, lc);
    if (end != nullptr) {
        if (lv) put(value, lv);
        put("</", 2);
        put(end, le);
        put(">", 1);
    }
    put("\n", 1);
    buffer_->data[buffer_->used - 1] = '\0';
}

void xml_lines::escaped(int depth, const char *element, const char *value) {
    if (depth > max_depth) depth = max_depth;
    const size_t le = strlen(element);
    if (!start_row(static_cast<size_t>(depth) + le + 2)) return;
    put(tabs, static_cast<size_t>(depth));
    put("<", 1);
    put(element, le);
    put(">", 1);
    buffer_->data[buffer_->used - 1] = '\0';
    if (!buffer_append_escaped(buffer_, value)) {
        ok_ = false;
        return;
    }
    row(0, "</", element, ">", nullptr, nullptr);
}
