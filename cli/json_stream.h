// A JSON writer that emits as it goes, in the layout of nlohmann's dump(2): the
// caller never holds more than the value it is writing, however long the output.
#pragma once

#include <ostream>
#include <string_view>
#include <vector>

class json_stream {
public:
    explicit json_stream(std::ostream &out) : out_(out) {}

    // Containers: `key` names the member inside an object, nullptr inside an array or
    // at the top.
    void begin_object(const char *key = nullptr) { open(key, '{'); }
    void end_object() { close('}'); }
    void begin_array(const char *key = nullptr) { open(key, '['); }
    void end_array() { close(']'); }

    // A string member (escaped; bytes that are not UTF-8 become U+FFFD).
    void text(const char *key, std::string_view value);
    // A member whose value is already a JSON literal (a number written by the caller).
    void literal(const char *key, std::string_view value);

    // Ends the top-level value with a line feed.
    void finish() { out_ << '\n'; }

private:
    void member(const char *key);
    void open(const char *key, char bracket);
    void close(char bracket);

    std::ostream &out_;
    std::vector<bool> empty_;  // per open container: nothing written in it yet
};
