// What identifies one rendering: the writer's start time (one clock reading, seen
// as local time for the message identification and as UTC for CreDtTm), the
// generated message identification, and the default execution / collection date.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>

#include "sepa.h"

// One reading of the clock, broken down both ways with the reentrant functions.
struct writer_time {
    struct tm local;
    struct tm utc;
};

writer_time read_writer_time();

// "SEPA-yyyymmddhhmmss-nnnnnnn": local time, and (counter + 100 * process id)
// modulo 10^7. Takes the next value of the process-wide counter atomically, so
// renderings on several threads never share a number.
inline constexpr size_t MESSAGE_ID_SIZE = 36;
void generate_message_id(const struct tm &local, char out[MESSAGE_ID_SIZE]);

// Counter value the next generated identification uses (tests observe it).
uint32_t peek_message_counter();

// Gives the message a message_id when it has none (kept for later renderings).
// Returns 0 when the copy cannot be stored; the caller sets its error text.
int ensure_message_id(sepa_t *message, const struct tm &local);

// "yyyy-mm-ddThh:mm:ssZ" of the UTC time.
inline constexpr size_t CREATION_TIME_SIZE = 24;
void format_creation_time(const struct tm &utc, char out[CREATION_TIME_SIZE]);

// Gives the message the local date of `local` when it has none. Returns 0 when the
// allocation fails.
int ensure_message_date(sepa_t *message, const struct tm &local);
