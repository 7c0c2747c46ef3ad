// The native of com.ovaro.SEPAStatementParser. _load parses a file with a parser of its
// own and hands every statement over at once as plain arrays, which the Java side turns
// into immutable SEPAStatement and SEPAStatementLine objects (the slot order below is
// the one those classes read); the parser is freed before it returns.
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "bindings/jni/native/jni_support.h"

using ovaro_jni::new_java_string;
using ovaro_jni::null_pointer_class;
using ovaro_jni::out_of_memory_class;
using ovaro_jni::sepa_exception_class;
using ovaro_jni::throw_java;

namespace {

struct parser_deleter {
    void operator()(sepa_stmt_parser_t *parser) const { sepa_stmt_parser_free(parser); }
};
using parser_ptr = std::unique_ptr<sepa_stmt_parser_t, parser_deleter>;

// yyyymmdd of a date as the parser fills it, 0 when the record has none.
jlong date_number(const struct tm &date) {
    if (date.tm_mday == 0) return 0;
    return (static_cast<jlong>(date.tm_year) + 1900) * 10000 + (date.tm_mon + 1) * 100 + date.tm_mday;
}

// A text of a fixed-size array (NUL-terminated within it).
template <size_t N>
std::string fixed(const char (&text)[N]) {
    return std::string(text, strnlen(text, N));
}

// Texts of one record: collected as C texts, then handed over as a String[].
// Slots left null stay null in Java.
class text_slots {
public:
    void add(const char *text) { texts_.push_back(text != nullptr ? std::optional<std::string>(text) : std::nullopt); }
    void add(const std::string &text) { texts_.push_back(text); }
    // Empty arrays of the fields added with camt are "not given": null.
    void add_or_null(const std::string &text) {
        texts_.push_back(text.empty() ? std::nullopt : std::optional<std::string>(text));
    }

    // The String[], or nullptr with a Java exception pending.
    jobjectArray to_java(JNIEnv *env, jclass string_class) const {
        jobjectArray array = env->NewObjectArray(static_cast<jsize>(texts_.size()), string_class, nullptr);
        if (array == nullptr) return nullptr;
        for (size_t i = 0; i < texts_.size(); ++i) {
            if (!texts_[i]) continue;
            jstring text = new_java_string(env, texts_[i]->c_str());
            if (text == nullptr) return nullptr;
            env->SetObjectArrayElement(array, static_cast<jsize>(i), text);
            env->DeleteLocalRef(text);
        }
        return array;
    }

private:
    std::vector<std::optional<std::string>> texts_;
};

// long[] of the given numbers, or nullptr with a Java exception pending.
jlongArray numbers_to_java(JNIEnv *env, const std::vector<jlong> &numbers) {
    jlongArray array = env->NewLongArray(static_cast<jsize>(numbers.size()));
    if (array != nullptr) env->SetLongArrayRegion(array, 0, static_cast<jsize>(numbers.size()), numbers.data());
    return array;
}

// Object[] { String[] texts, long[] numbers, extra } in a local frame of its own, so
// that a statement with a million lines never runs out of local references. Returns
// nullptr with a Java exception pending.
jobjectArray record(JNIEnv *env, jclass object_class, jclass string_class, const text_slots &texts,
                    const std::vector<jlong> &numbers, jobject extra) {
    if (env->PushLocalFrame(8) != 0) return nullptr;
    jobjectArray text_array = texts.to_java(env, string_class);
    jlongArray number_array = text_array != nullptr ? numbers_to_java(env, numbers) : nullptr;
    jobjectArray result = number_array != nullptr ? env->NewObjectArray(3, object_class, nullptr) : nullptr;
    if (result == nullptr) {
        env->PopLocalFrame(nullptr);
        return nullptr;
    }
    env->SetObjectArrayElement(result, 0, text_array);
    env->SetObjectArrayElement(result, 1, number_array);
    env->SetObjectArrayElement(result, 2, extra);
    return static_cast<jobjectArray>(env->PopLocalFrame(result));
}

// Slots of a line, in the order of SEPAStatementLine's T_* and N_* constants.
jobjectArray line_record(JNIEnv *env, jclass object_class, jclass string_class, const sepa_stmt_tx_t &t) {
    text_slots texts;
    texts.add(fixed(t.code));
    texts.add(t.ref);
    texts.add(t.bankref);
    texts.add(t.txtext);
    texts.add(t.primanota);
    texts.add(t.bank_full != nullptr ? std::string(t.bank_full) : fixed(t.bank));
    texts.add(t.account_full != nullptr ? std::string(t.account_full) : fixed(t.account));
    texts.add(t.name_full != nullptr ? std::string(t.name_full) : fixed(t.name));
    for (const char *keyword :
         {t.purpose, t.eref, t.kref, t.mref, t.cred, t.debt, t.purp, t.coam, t.oamt, t.svwz, t.abwa, t.abwe}) {
        texts.add(keyword);
    }
    texts.add(fixed(t.currency));
    texts.add_or_null(fixed(t.status));
    texts.add_or_null(fixed(t.domain));
    texts.add_or_null(fixed(t.family));
    texts.add_or_null(fixed(t.subfamily));
    texts.add_or_null(fixed(t.charges_currency));
    texts.add_or_null(fixed(t.original_currency));
    for (const char *text : {t.creditor_ref, t.bank_tx_code, t.return_reason, t.end_to_end_id, t.entry_ref}) {
        texts.add(text);
    }
    const std::vector<jlong> numbers = {date_number(t.valuta),
                                        date_number(t.booked),
                                        t.reversal ? 1 : 0,
                                        t.amount_cents,
                                        t.gvc,
                                        t.extcode,
                                        t.entry_index,
                                        t.entry_tx_count,
                                        t.entry_amount_cents,
                                        t.charges_cents,
                                        t.original_amount_cents};
    return record(env, object_class, string_class, texts, numbers, nullptr);
}

// Slots of a statement, in the order of SEPAStatement's T_* and N_* constants; its
// lines as the third element.
jobjectArray statement_record(JNIEnv *env, jclass object_class, jclass string_class, const sepa_stmt_t &s) {
    jsize count = 0;
    for (const sepa_stmt_tx_t *t = s.tx_head; t != nullptr; t = t->next) {
        if (count == INT32_MAX) return throw_java(env, out_of_memory_class, "too many statement lines"), nullptr;
        ++count;
    }
    jobjectArray lines = env->NewObjectArray(count, object_class, nullptr);
    if (lines == nullptr) return nullptr;
    jsize index = 0;
    for (const sepa_stmt_tx_t *t = s.tx_head; t != nullptr; t = t->next, ++index) {
        jobjectArray line = line_record(env, object_class, string_class, *t);
        if (line == nullptr) return nullptr;
        env->SetObjectArrayElement(lines, index, line);
        env->DeleteLocalRef(line);
    }
    text_slots texts;
    for (const char *text : {s.ref, s.account}) texts.add(text);
    texts.add(fixed(s.open_currency));
    texts.add(fixed(s.close_currency));
    for (const char *text :
         {s.message_type, s.message_id, s.created, s.account_currency, s.account_bic, s.owner_name}) {
        texts.add(text);
    }
    const std::vector<jlong> numbers = {
        s.number,     s.page,        date_number(s.open_date), date_number(s.close_date),
        s.open_cents, s.close_cents, s.legal_number,           s.has_open,
        s.has_close};
    jobjectArray result = record(env, object_class, string_class, texts, numbers, lines);
    env->DeleteLocalRef(lines);
    return result;
}

jobjectArray all_statements(JNIEnv *env, const sepa_stmt_t *first) {
    jclass object_class = env->FindClass("java/lang/Object");
    if (object_class == nullptr) return nullptr;
    jclass string_class = env->FindClass("java/lang/String");
    if (string_class == nullptr) return nullptr;
    jsize count = 0;
    for (const sepa_stmt_t *s = first; s != nullptr && count < INT32_MAX; s = s->next) ++count;
    jobjectArray list = env->NewObjectArray(count, object_class, nullptr);
    if (list == nullptr) return nullptr;
    jsize index = 0;
    for (const sepa_stmt_t *s = first; s != nullptr && index < count; s = s->next, ++index) {
        jobjectArray statement = statement_record(env, object_class, string_class, *s);
        if (statement == nullptr) return nullptr;
        env->SetObjectArrayElement(list, index, statement);
        env->DeleteLocalRef(statement);
    }
    return list;
}

}  // namespace

extern "C" {

JNIEXPORT jobjectArray JNICALL Java_com_ovaro_SEPAStatementParser__1load(JNIEnv *env, jclass, jint format,
                                                                         jbyteArray path) {
    // The file name comes as its UTF-8 bytes (NUL-free, checked on the Java side), so
    // that names beyond the Basic Multilingual Plane reach the file system unchanged.
    if (path == nullptr) return throw_java(env, null_pointer_class, "path is NULL"), nullptr;
    try {
        std::string name(static_cast<size_t>(env->GetArrayLength(path)), '\0');
        env->GetByteArrayRegion(path, 0, static_cast<jsize>(name.size()), reinterpret_cast<jbyte *>(name.data()));
        if (env->ExceptionCheck()) return nullptr;
        const parser_ptr parser(sepa_stmt_parser_new());
        if (parser == nullptr) throw std::bad_alloc();
        if (sepa_stmt_parser_load(parser.get(), format, name.c_str()) != 1) {
            return throw_java(env, sepa_exception_class, sepa_stmt_parser_getError(parser.get())), nullptr;
        }
        return all_statements(env, sepa_stmt_parser_getStatement(parser.get()));
    } catch (const std::bad_alloc &) {
        throw_java(env, out_of_memory_class, "out of memory reading the statements for Java");
        return nullptr;
    }
}

}  // extern "C"
