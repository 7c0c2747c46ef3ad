#include "core/xml/message_identity.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "core/frame/clock.h"
#include "core/frame/text_checks.h"

namespace {
// Process-wide, never reset. Atomic: messages may be rendered on several threads.
std::atomic<uint32_t> message_counter{0};
}  // namespace

writer_time read_writer_time() {
    writer_time t{};
    const time_t now = clock_now();
    localtime_r(&now, &t.local);
    gmtime_r(&now, &t.utc);
    return t;
}

void generate_message_id(const struct tm &local, char out[MESSAGE_ID_SIZE]) {
    const uint32_t counter = message_counter.fetch_add(1, std::memory_order_relaxed);
    const uint32_t number = (counter + 100u * static_cast<uint32_t>(getpid())) % 10000000u;
    format_text(out, MESSAGE_ID_SIZE, "SEPA-%04i%02i%02i%02i%02i%02i-%07i", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(number));
}

uint32_t peek_message_counter() { return message_counter.load(std::memory_order_relaxed); }

int ensure_message_id(sepa_t *message, const struct tm &local) {
    if (message->message_id != nullptr) return 1;
    char id[MESSAGE_ID_SIZE];
    generate_message_id(local, id);
    message->message_id = strdup(id);
    return message->message_id != nullptr;
}

void format_creation_time(const struct tm &utc, char out[CREATION_TIME_SIZE]) {
    format_text(out, CREATION_TIME_SIZE, "%04i-%02i-%02iT%02i:%02i:%02iZ", utc.tm_year + 1900, utc.tm_mon + 1,
                utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
}

int ensure_message_date(sepa_t *message, const struct tm &local) {
    if (message->date != nullptr) return 1;
    char *date = static_cast<char *>(malloc(11));
    if (date == nullptr) return 0;
    format_text(date, 11, "%04d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    message->date = date;
    return 1;
}
