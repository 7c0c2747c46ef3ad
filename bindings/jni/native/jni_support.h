// Helpers shared by the natives of com.ovaro.SEPA: throwing Java exceptions, taking
// Java strings as C text, and handing C text back to Java.
#pragma once

#include <jni.h>

#include <string>

#include "sepa.h"

namespace ovaro_jni {

inline constexpr const char *sepa_exception_class = "com/ovaro/SEPAException";
inline constexpr const char *null_pointer_class = "java/lang/NullPointerException";
inline constexpr const char *out_of_memory_class = "java/lang/OutOfMemoryError";

// Throws a new instance of the named class with `message`. When the class cannot be
// found, the virtual machine's own error of the failed lookup stands.
void throw_java(JNIEnv *env, const char *class_name, const char *message);

// Text of a Java string argument, taken with GetStringUTFChars. release() gives it back
// right after the core call; the destructor releases whatever is still held.
class utf_chars {
public:
    utf_chars(JNIEnv *env, jstring text)
        : env_(env), text_(text), chars_(text ? env->GetStringUTFChars(text, nullptr) : nullptr) {}
    ~utf_chars() { release(); }
    utf_chars(const utf_chars &) = delete;
    utf_chars &operator=(const utf_chars &) = delete;

    const char *get() const { return chars_; }
    void release() {
        if (chars_ != nullptr) env_->ReleaseStringUTFChars(text_, chars_);
        chars_ = nullptr;
    }

private:
    JNIEnv *env_;
    jstring text_;
    const char *chars_;
};

// Java string of a NUL-terminated UTF-8 text of the core (NULL gives null). Bytes that
// are not well-formed UTF-8 come out as the Latin-1 character of the same value, and
// characters beyond the Basic Multilingual Plane as surrogate pairs, so the virtual
// machine only ever sees valid modified UTF-8.
jstring new_java_string(JNIEnv *env, const char *text);

// `text` rewritten as valid modified UTF-8 (the same bytes when it already is).
std::string to_modified_utf8(const char *text);

// The message behind a Java handle (0 gives NULL).
inline sepa_t *message_of(jlong handle) { return reinterpret_cast<sepa_t *>(static_cast<intptr_t>(handle)); }

}  // namespace ovaro_jni
