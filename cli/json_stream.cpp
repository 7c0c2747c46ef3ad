#include "json_stream.h"

#include <nlohmann/json.hpp>
#include <string>

namespace {

void write_string(std::ostream &out, std::string_view value) {
    out << nlohmann::ordered_json(std::string(value))
               .dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace

void json_stream::member(const char *key) {
    if (!empty_.empty()) {
        out_ << (empty_.back() ? "\n" : ",\n");
        empty_.back() = false;
        out_ << std::string(2 * empty_.size(), ' ');
    }
    if (key != nullptr) {
        write_string(out_, key);
        out_ << ": ";
    }
}

void json_stream::open(const char *key, char bracket) {
    member(key);
    out_ << bracket;
    empty_.push_back(true);
}

void json_stream::close(char bracket) {
    const bool was_empty = empty_.back();
    empty_.pop_back();
    if (!was_empty) out_ << '\n' << std::string(2 * empty_.size(), ' ');
    out_ << bracket;
}

void json_stream::text(const char *key, std::string_view value) {
    member(key);
    write_string(out_, value);
}

void json_stream::literal(const char *key, std::string_view value) {
    member(key);
    out_ << value;
}
