#include "bindings/jni/native/jni_support.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "core/frame/utf8_text.h"

namespace ovaro_jni {

namespace {

bool is_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length of the modified UTF-8 sequence at `p` (`length` bytes left), or 0: the
// well-formed UTF-8 sequences of one to three bytes, plus the two forms that modified
// UTF-8 adds and the virtual machine hands in itself: C0 80 for U+0000 and each half
// of a surrogate pair in three bytes (characters beyond the Basic Multilingual Plane).
size_t modified_sequence_length(const unsigned char *p, size_t length) {
    const size_t n = utf8_sequence_length(p, length);
    if (n >= 1 && n <= 3) return n;
    if (length >= 2 && p[0] == 0xC0 && p[1] == 0x80) return 2;
    if (length >= 3 && p[0] == 0xED && p[1] >= 0xA0 && p[1] <= 0xBF && is_continuation(p[2])) return 3;
    return 0;
}

bool is_modified_utf8(const char *text) {
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    size_t length = std::strlen(text);
    while (length > 0) {
        const size_t n = modified_sequence_length(p, length);
        if (n == 0) return false;
        p += n;
        length -= n;
    }
    return true;
}

void append_three_byte(std::string &out, uint32_t unit) {
    out += static_cast<char>(0xE0 | (unit >> 12));
    out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (unit & 0x3F));
}

}  // namespace

std::string to_modified_utf8(const char *text) {
    if (is_modified_utf8(text)) return text;
    // The library's conversion first (stray bytes become their Latin-1 characters),
    // then the four-byte sequences as the surrogate pairs modified UTF-8 uses.
    const size_t length = std::strlen(text);
    std::string utf8(latin1_to_utf8_capacity(length), '\0');
    utf8.resize(latin1_to_utf8(text, length, utf8.data()));
    std::string out;
    out.reserve(utf8.size());
    const auto *p = reinterpret_cast<const unsigned char *>(utf8.data());
    for (size_t i = 0; i < utf8.size();) {
        const size_t n = utf8_sequence_length(p + i, utf8.size() - i);
        if (n == 4) {
            const uint32_t code = ((p[i] & 0x07u) << 18) | ((p[i + 1] & 0x3Fu) << 12) | ((p[i + 2] & 0x3Fu) << 6) |
                                  (p[i + 3] & 0x3Fu);
            const uint32_t offset = code - 0x10000;
            append_three_byte(out, 0xD800 | (offset >> 10));
            append_three_byte(out, 0xDC00 | (offset & 0x3FF));
        } else {
            out.append(utf8, i, n);
        }
        i += n;
    }
    return out;
}

jstring new_java_string(JNIEnv *env, const char *text) {
    if (text == nullptr) return nullptr;
    if (is_modified_utf8(text)) return env->NewStringUTF(text);
    try {
        return env->NewStringUTF(to_modified_utf8(text).c_str());
    } catch (const std::bad_alloc &) {
        throw_java(env, out_of_memory_class, "out of memory converting a text for Java");
        return nullptr;
    }
}

void throw_java(JNIEnv *env, const char *class_name, const char *message) {
    jclass type = env->FindClass(class_name);
    if (type == nullptr) return;
    const char *text = message != nullptr ? message : "";
    if (is_modified_utf8(text)) {
        env->ThrowNew(type, text);
    } else {
        try {
            env->ThrowNew(type, to_modified_utf8(text).c_str());
        } catch (const std::bad_alloc &) {
            env->ThrowNew(type, "(error text not convertible: out of memory)");
        }
    }
    env->DeleteLocalRef(type);
}

}  // namespace ovaro_jni
