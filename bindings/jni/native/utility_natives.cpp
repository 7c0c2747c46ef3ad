// Static natives of com.ovaro.SEPA: rulebook selection, IBAN conversion, check,
// inspection and forms, BIC of an IBAN and bank lookups by BIC. They keep no state
// and are safe on any thread (except init, which changes the process-wide rulebook).
#include <cstdlib>
#include <iterator>

#include "bindings/jni/native/jni_support.h"

using ovaro_jni::new_java_string;
using ovaro_jni::null_pointer_class;
using ovaro_jni::throw_java;
using ovaro_jni::utf_chars;

extern "C" {

JNIEXPORT jint JNICALL Java_com_ovaro_SEPA_init(JNIEnv *env, jobject, jint option, jstring value) {
    // A null value is handed on: the core refuses it with 0.
    utf_chars text(env, value);
    if (value != nullptr && text.get() == nullptr) return 0;  // OutOfMemoryError pending
    const int result = sepa_init(option, text.get());
    text.release();
    return result;
}

JNIEXPORT jstring JNICALL Java_com_ovaro_SEPA_IBAN_1convert(JNIEnv *env, jobject, jstring country, jstring account,
                                                            jstring bankid) {
    if (country == nullptr) return throw_java(env, null_pointer_class, "country is NULL"), nullptr;
    if (account == nullptr) return throw_java(env, null_pointer_class, "account is NULL"), nullptr;
    if (bankid == nullptr) return throw_java(env, null_pointer_class, "bankid is NULL"), nullptr;
    utf_chars country_text(env, country);
    utf_chars account_text(env, account);
    utf_chars bankid_text(env, bankid);
    if (!country_text.get() || !account_text.get() || !bankid_text.get()) return nullptr;
    char iban[35] = {};
    const int result = sepa_iban_convert(country_text.get(), account_text.get(), bankid_text.get(), iban, nullptr);
    country_text.release();
    account_text.release();
    bankid_text.release();
    if (result != 1) return nullptr;
    iban[sizeof iban - 1] = '\0';
    return new_java_string(env, iban);
}

JNIEXPORT jstring JNICALL Java_com_ovaro_SEPA_IBAN_1getBIC(JNIEnv *env, jobject, jstring iban) {
    if (iban == nullptr) return throw_java(env, null_pointer_class, "iban is NULL"), nullptr;
    utf_chars iban_text(env, iban);
    if (iban_text.get() == nullptr) return nullptr;
    char bic[12] = {};
    const int result = sepa_iban_getBIC(iban_text.get(), bic);
    iban_text.release();
    if (result != 1) return nullptr;
    bic[sizeof bic - 1] = '\0';
    return new_java_string(env, bic);
}

JNIEXPORT jboolean JNICALL Java_com_ovaro_SEPA_IBAN_1check(JNIEnv *env, jobject, jstring iban) {
    if (iban == nullptr) return throw_java(env, null_pointer_class, "iban is NULL"), JNI_FALSE;
    utf_chars iban_text(env, iban);
    if (iban_text.get() == nullptr) return JNI_FALSE;
    const int result = sepa_iban_check(iban_text.get());
    iban_text.release();
    return result == 1 ? JNI_TRUE : JNI_FALSE;
}

JNIEXPORT jobject JNICALL Java_com_ovaro_SEPA_IBAN_1inspect(JNIEnv *env, jobject, jstring iban) {
    if (iban == nullptr) return throw_java(env, null_pointer_class, "iban is NULL"), nullptr;
    utf_chars iban_text(env, iban);
    if (iban_text.get() == nullptr) return nullptr;
    sepa_iban_info_t info;
    const int result = sepa_iban_inspect(iban_text.get(), &info);
    iban_text.release();
    if (result == SEPA_IBAN_ERR_NULL) return nullptr;
    jclass info_class = env->FindClass("com/ovaro/IbanInfo");
    if (info_class == nullptr) return nullptr;
    jmethodID make = env->GetMethodID(info_class, "<init>",
                                      "(ILjava/lang/String;Ljava/lang/String;Ljava/lang/String;Ljava/lang/String;"
                                      "Ljava/lang/String;Ljava/lang/String;ZZZILjava/lang/String;Ljava/lang/String;"
                                      "Ljava/lang/String;Ljava/lang/String;)V");
    if (make == nullptr) return nullptr;
    const char *const texts[] = {info.reason_text, info.country,  info.check_digits, info.bban,     info.bank_id,
                                 info.branch_id,   info.bank_bic, info.bank_name,    info.bank_zip, info.bank_city};
    jstring strings[std::size(texts)];
    for (size_t i = 0; i < std::size(texts); ++i) {
        strings[i] = new_java_string(env, texts[i]);
        if (texts[i] != nullptr && strings[i] == nullptr) return nullptr;  // OutOfMemoryError pending
    }
    return env->NewObject(info_class, make, static_cast<jint>(info.reason), strings[0], strings[1], strings[2],
                          strings[3], strings[4], strings[5], static_cast<jboolean>(info.sepa != 0),
                          static_cast<jboolean>(info.eea != 0), static_cast<jboolean>(info.bank_found != 0),
                          static_cast<jint>(info.check_method), strings[6], strings[7], strings[8], strings[9]);
}

// IBAN_normalize and IBAN_format: the form, or null when the text is refused.
static jstring iban_form(JNIEnv *env, jstring iban, int (*form)(const char *, char *, size_t)) {
    if (iban == nullptr) return throw_java(env, null_pointer_class, "iban is NULL"), nullptr;
    utf_chars iban_text(env, iban);
    if (iban_text.get() == nullptr) return nullptr;
    char out[SEPA_IBAN_PRINT_BUFSIZE];
    const int result = form(iban_text.get(), out, sizeof out);
    iban_text.release();
    return result == SEPA_IBAN_OK ? new_java_string(env, out) : nullptr;
}

JNIEXPORT jstring JNICALL Java_com_ovaro_SEPA_IBAN_1normalize(JNIEnv *env, jobject, jstring iban) {
    return iban_form(env, iban, sepa_iban_normalize);
}

JNIEXPORT jstring JNICALL Java_com_ovaro_SEPA_IBAN_1format(JNIEnv *env, jobject, jstring iban) {
    return iban_form(env, iban, sepa_iban_format);
}

JNIEXPORT jstring JNICALL Java_com_ovaro_SEPA_BIC_1getBankName(JNIEnv *env, jobject, jstring bic) {
    if (bic == nullptr) return throw_java(env, null_pointer_class, "bic is NULL"), nullptr;
    utf_chars bic_text(env, bic);
    if (bic_text.get() == nullptr) return nullptr;
    sepa_bankinfo_t *info = nullptr;
    const int result = sepa_bic_getBank(bic_text.get(), &info);
    bic_text.release();
    if (result != 1 || info == nullptr) return nullptr;
    jstring name = new_java_string(env, info->name);
    std::free(info);
    return name;
}

JNIEXPORT jint JNICALL Java_com_ovaro_SEPA_BIC_1getBankFlags(JNIEnv *env, jobject, jstring bic) {
    if (bic == nullptr) return throw_java(env, null_pointer_class, "bic is NULL"), -1;
    utf_chars bic_text(env, bic);
    if (bic_text.get() == nullptr) return 0;
    sepa_bankinfo_t *info = nullptr;
    const int result = sepa_bic_getBank(bic_text.get(), &info);
    bic_text.release();
    if (result != 1 || info == nullptr) return 0;
    const jint flags = static_cast<jint>(info->flags);  // uint16_t: zero-extended
    std::free(info);
    return flags;
}

}  // extern "C"
