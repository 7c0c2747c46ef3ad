// Runs arbitrary bytes through latin1_to_utf8. The result must be UTF-8 that glibc's
// iconv accepts in full, a second conversion must change nothing, and input that
// iconv already accepts must come out unchanged.
#include <iconv.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/frame/utf8_text.h"

namespace {

bool iconv_accepts_utf8(const std::string &text) {
    static iconv_t to_utf32 = iconv_open("UTF-32LE", "UTF-8");
    iconv(to_utf32, nullptr, nullptr, nullptr, nullptr);
    std::string in = text;
    std::string out(4 * text.size() + 4, '\0');
    char *in_p = in.data(), *out_p = out.data();
    size_t in_left = in.size(), out_left = out.size();
    return iconv(to_utf32, &in_p, &in_left, &out_p, &out_left) != static_cast<size_t>(-1) && in_left == 0;
}

std::string converted(const std::string &text) {
    std::string out(latin1_to_utf8_capacity(text.size()), '\0');
    out.resize(latin1_to_utf8(text.data(), text.size(), out.data()));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string input(reinterpret_cast<const char *>(data), size);
    const std::string once = converted(input);
    if (!iconv_accepts_utf8(once)) std::abort();
    if (converted(once) != once) std::abort();
    if (iconv_accepts_utf8(input) && once != input) std::abort();
    return 0;
}
