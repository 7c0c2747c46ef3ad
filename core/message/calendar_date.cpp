#include "core/message/calendar_date.h"

#include <cstring>

namespace {

bool read_digits(const char *text, int count, int *value) {
    *value = 0;
    for (int i = 0; i < count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        *value = *value * 10 + (text[i] - '0');
    }
    return true;
}

bool is_leap_year(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap_year(year) ? 29 : days[month - 1];
}

}  // namespace

bool is_calendar_date(const char *text) {
    if (text == nullptr || std::strlen(text) != 10 || text[4] != '-' || text[7] != '-') return false;
    int year, month, day;
    if (!read_digits(text, 4, &year) || !read_digits(text + 5, 2, &month) || !read_digits(text + 8, 2, &day)) {
        return false;
    }
    return year >= 1 && month >= 1 && month <= 12 && day >= 1 && day <= days_in_month(year, month);
}
