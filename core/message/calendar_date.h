// Dates of payment messages: "yyyy-mm-dd" naming a real day of the Gregorian
// calendar, as the xs:date fields of the pain schemas need.
#pragma once

// True for exactly ten bytes "yyyy-mm-dd" with year 0001-9999, month 01-12 and a
// day that exists in that month (29 February only in leap years).
bool is_calendar_date(const char *text);
