#include "bindings/jni/native/jni_support.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace ovaro_jni {

namespace {

bool is_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length of the well-formed UTF-8 sequence at `p` (1 to 4), or 0 when the byte at `p`
// does not start one. Three-byte encodings of surrogates and the two-byte form of
// U+0000 are accepted: that is how modified UTF-8 carries characters beyond the Basic
// Multilingual Plane and NUL, so texts the virtual machine handed in come back unchanged.
int sequence_length(const unsigned char *p) {
    const unsigned char c = p[0];
    if (c < 0x80) return 1;
    if (c == 0xC0 && p[1] == 0x80) return 2;  // modified UTF-8's form of U+0000
    if (c >= 0xC2 && c <= 0xDF) return is_continuation(p[1]) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (!is_continuation(p[1]) || !is_continuation(p[2])) return 0;
        if (c == 0xE0 && p[1] < 0xA0) return 0;  // overlong
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (!is_continuation(p[1]) || !is_continuation(p[2]) || !is_continuation(p[3])) return 0;
        if (c == 0xF0 && p[1] < 0x90) return 0;  // overlong
        if (c == 0xF4 && p[1] > 0x8F) return 0;  // beyond U+10FFFF
        return 4;
    }
    return 0;
}

void append_three_byte(std::string &out, uint32_t unit) {
    out += static_cast<char>(0xE0 | (unit >> 12));
    out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (unit & 0x3F));
}

bool is_modified_utf8(const unsigned char *p) {
    while (*p) {
        const int n = sequence_length(p);
        if (n == 0 || n == 4) return false;
        p += n;
    }
    return true;
}

}  // namespace

std::string to_modified_utf8(const char *text) {
    std::string out;
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    while (*p) {
        const int n = sequence_length(p);
        if (n == 0) {
            // A stray byte: the Latin-1 character of the same value, as two bytes.
            out += static_cast<char>(0xC0 | (*p >> 6));
            out += static_cast<char>(0x80 | (*p & 0x3F));
            ++p;
        } else if (n == 4) {
            const uint32_t code = ((p[0] & 0x07u) << 18) | ((p[1] & 0x3Fu) << 12) |
                                  ((p[2] & 0x3Fu) << 6) | (p[3] & 0x3Fu);
            const uint32_t offset = code - 0x10000;
            append_three_byte(out, 0xD800 | (offset >> 10));
            append_three_byte(out, 0xDC00 | (offset & 0x3FF));
            p += 4;
        } else {
            out.append(reinterpret_cast<const char *>(p), static_cast<size_t>(n));
            p += n;
        }
    }
    return out;
}

jstring new_java_string(JNIEnv *env, const char *text) {
    if (text == nullptr) return nullptr;
    if (is_modified_utf8(reinterpret_cast<const unsigned char *>(text))) return env->NewStringUTF(text);
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
    if (is_modified_utf8(reinterpret_cast<const unsigned char *>(text))) {
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
