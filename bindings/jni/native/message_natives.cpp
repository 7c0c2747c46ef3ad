// Natives of com.ovaro.SEPA that work on a payment message. The Java side keeps the
// message's address as a long handle (0 = none) and frees it once with _free.
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#include "bindings/jni/native/jni_support.h"

using ovaro_jni::message_of;
using ovaro_jni::new_java_string;
using ovaro_jni::null_pointer_class;
using ovaro_jni::sepa_exception_class;
using ovaro_jni::throw_java;
using ovaro_jni::utf_chars;

namespace {

// Throws SEPAException with the message's last error text.
void throw_message_error(JNIEnv *env, const sepa_t *message) {
    const char *error = sepa_getError(message);
    throw_java(env, sepa_exception_class, error != nullptr ? error : "Unknown error");
}

// Runs a text setter: null check with the NullPointerException text, the core call,
// release of the text, then SEPAException with the message's error on refusal.
void set_text(JNIEnv *env, jlong handle, jstring value, const char *null_text, int (*setter)(sepa_t *, const char *)) {
    if (value == nullptr) return throw_java(env, null_pointer_class, null_text);
    utf_chars text(env, value);
    if (text.get() == nullptr) return;  // OutOfMemoryError pending
    sepa_t *message = message_of(handle);
    const int result = setter(message, text.get());
    text.release();
    if (result != 1) throw_message_error(env, message);
}

// One key-value row of _add, holding the Java strings its texts came from.
struct pair_row {
    jstring key_string = nullptr;
    jstring value_string = nullptr;
    const char *key = nullptr;
    const char *value = nullptr;
};

void release_rows(JNIEnv *env, std::vector<pair_row> &rows) {
    for (pair_row &row : rows) {
        if (row.key != nullptr) env->ReleaseStringUTFChars(row.key_string, row.key);
        if (row.value != nullptr) env->ReleaseStringUTFChars(row.value_string, row.value);
        if (row.key_string != nullptr) env->DeleteLocalRef(row.key_string);
        if (row.value_string != nullptr) env->DeleteLocalRef(row.value_string);
    }
    rows.clear();
}

// Fills `row` from the inner array { key, value }. Returns the text of the failure to
// throw (with its class in `failure_class`), or nullptr when the row is filled or a
// Java exception is already pending.
const char *fill_row(JNIEnv *env, jobjectArray inner, pair_row &row, const char *&failure_class) {
    failure_class = null_pointer_class;
    if (inner == nullptr) return "key-value pair is NULL";
    if (env->GetArrayLength(inner) != 2) {
        failure_class = sepa_exception_class;
        return "Invalid array dimensions";
    }
    row.key_string = static_cast<jstring>(env->GetObjectArrayElement(inner, 0));
    if (env->ExceptionCheck()) return nullptr;
    row.value_string = static_cast<jstring>(env->GetObjectArrayElement(inner, 1));
    if (env->ExceptionCheck()) return nullptr;
    if (row.key_string == nullptr) return "key is NULL";
    if (row.value_string == nullptr) return "value is NULL";
    row.key = env->GetStringUTFChars(row.key_string, nullptr);
    if (row.key == nullptr) return nullptr;
    row.value = env->GetStringUTFChars(row.value_string, nullptr);
    return nullptr;
}

}  // namespace

extern "C" {

JNIEXPORT jlong JNICALL Java_com_ovaro_SEPA__1new(JNIEnv *env, jobject, jint type) {
    sepa_t *message = sepa_new(type);
    if (message == nullptr) {
        throw_java(env, sepa_exception_class, "Invalid message type or out of memory");
        return 0;
    }
    return static_cast<jlong>(reinterpret_cast<intptr_t>(message));
}

JNIEXPORT void JNICALL Java_com_ovaro_SEPA__1free(JNIEnv *, jobject, jlong handle) { sepa_free(message_of(handle)); }

JNIEXPORT void JNICALL Java_com_ovaro_SEPA__1setIBAN(JNIEnv *env, jobject, jlong handle, jstring iban) {
    set_text(env, handle, iban, "iban is NULL", sepa_setIBAN);
}

JNIEXPORT void JNICALL Java_com_ovaro_SEPA__1setBIC(JNIEnv *env, jobject, jlong handle, jstring bic) {
    set_text(env, handle, bic, "bic is NULL", sepa_setBIC);
}

JNIEXPORT void JNICALL Java_com_ovaro_SEPA__1setName(JNIEnv *env, jobject, jlong handle, jstring name) {
    set_text(env, handle, name, "name is NULL", sepa_setName);
}

JNIEXPORT void JNICALL Java_com_ovaro_SEPA__1setCreditorIdentifier(JNIEnv *env, jobject, jlong handle,
                                                                   jstring creditor_identifier) {
    set_text(env, handle, creditor_identifier, "creditorIdentifier is NULL", sepa_setCreditorIdentifier);
}

JNIEXPORT void JNICALL Java_com_ovaro_SEPA__1setDate(JNIEnv *env, jobject, jlong handle, jstring date) {
    set_text(env, handle, date, "date is NULL", sepa_setDate);
}

JNIEXPORT void JNICALL Java_com_ovaro_SEPA__1setMessageId(JNIEnv *env, jobject, jlong handle, jstring msgid) {
    set_text(env, handle, msgid, "msgid is NULL", sepa_setMessageId);
}

JNIEXPORT void JNICALL Java_com_ovaro_SEPA__1setAddress(JNIEnv *env, jobject, jlong handle, jstring key,
                                                        jstring value) {
    if (key == nullptr) return throw_java(env, null_pointer_class, "key is NULL");
    utf_chars key_text(env, key);
    if (key_text.get() == nullptr) return;  // OutOfMemoryError pending
    utf_chars value_text(env, value);       // a null value removes the part
    if (value != nullptr && value_text.get() == nullptr) return;
    sepa_t *message = message_of(handle);
    const int result = sepa_setAddress(message, key_text.get(), value_text.get());
    key_text.release();
    value_text.release();
    if (result != 1) throw_message_error(env, message);
}

JNIEXPORT void JNICALL Java_com_ovaro_SEPA__1setInstant(JNIEnv *env, jobject, jlong handle, jboolean flag) {
    sepa_t *message = message_of(handle);
    if (sepa_setInstant(message, flag ? 1 : 0) != 1) throw_message_error(env, message);
}

JNIEXPORT void JNICALL Java_com_ovaro_SEPA__1setDDType(JNIEnv *env, jobject, jlong handle, jint type) {
    sepa_t *message = message_of(handle);
    if (sepa_setDDType(message, type) != 1) throw_message_error(env, message);
}

JNIEXPORT void JNICALL Java_com_ovaro_SEPA__1setBatchBooking(JNIEnv *env, jobject, jlong handle, jboolean flag) {
    sepa_t *message = message_of(handle);
    if (sepa_setBatchBooking(message, flag ? 1 : 0) != 1) throw_message_error(env, message);
}

JNIEXPORT void JNICALL Java_com_ovaro_SEPA__1setTransliteration(JNIEnv *env, jobject, jlong handle, jboolean on) {
    sepa_t *message = message_of(handle);
    if (sepa_setTransliteration(message, on ? SEPA_TRANSLITERATION_ON : SEPA_TRANSLITERATION_OFF) != 1)
        throw_message_error(env, message);
}

JNIEXPORT void JNICALL Java_com_ovaro_SEPA__1add(JNIEnv *env, jobject, jlong handle, jobjectArray pairs) {
    if (pairs == nullptr) return;
    if (message_of(handle) == nullptr) return throw_message_error(env, nullptr);
    std::vector<pair_row> rows;
    const char *failure = nullptr;
    const char *failure_class = nullptr;
    bool refused = false;
    try {
        const jsize count = env->GetArrayLength(pairs);
        // Each row keeps its key and value strings alive until the core call, plus the
        // inner array while it is read.
        if (count > (INT32_MAX - 8) / 2 || env->EnsureLocalCapacity(2 * count + 8) != 0) return;
        rows.reserve(static_cast<size_t>(count));
        for (jsize i = 0; i < count && failure == nullptr; ++i) {
            auto inner = static_cast<jobjectArray>(env->GetObjectArrayElement(pairs, i));
            if (env->ExceptionCheck()) break;
            rows.emplace_back();
            failure = fill_row(env, inner, rows.back(), failure_class);
            if (inner != nullptr) env->DeleteLocalRef(inner);
            if (failure == nullptr && env->ExceptionCheck()) break;
        }
        if (failure == nullptr && !env->ExceptionCheck()) {
            std::vector<sepa_kvpair_t> list;
            list.reserve(rows.size() + 1);
            for (const pair_row &row : rows) list.push_back({row.key, row.value});
            list.push_back({nullptr, nullptr});
            refused = sepa_add(message_of(handle), list.data()) != 1;
        }
    } catch (const std::bad_alloc &) {
        failure = "out of memory reading the key-value pairs";
        failure_class = ovaro_jni::out_of_memory_class;
    }
    release_rows(env, rows);
    // The message keeps its error text; the rows are no longer needed to throw it.
    if (refused) return throw_message_error(env, message_of(handle));
    if (failure != nullptr) throw_java(env, failure_class, failure);
}

JNIEXPORT jstring JNICALL Java_com_ovaro_SEPA__1toXML(JNIEnv *env, jobject, jlong handle) {
    sepa_t *message = message_of(handle);
    char *document = sepa_toXML(message);
    if (document == nullptr) {
        throw_message_error(env, message);
        return nullptr;
    }
    jstring result = new_java_string(env, document);
    std::free(document);
    return result;
}

}  // extern "C"
