// The library's one reading of the wall clock. Tests pin it to fixed instants (the
// bank directory's switch-over, creation times of documents); libsepa does not
// export the pinning function.
#pragma once

#include <ctime>

// Current time in seconds since 1970 UTC, or the pinned instant.
time_t clock_now();

// Pins the clock to `instant`; clock_unpin_for_tests returns to the system clock.
void clock_pin_for_tests(time_t instant);
void clock_unpin_for_tests();
