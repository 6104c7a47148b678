// Dates: today from the C runtime, and a certificate's MMYY expiry against a
// given day.
#include <ctime>

#include "emv/emv_internal.h"

namespace {

bool leap_year(int32_t year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int32_t last_day_of(int32_t year, int32_t month)
{
    static const int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leap_year(year) ? 29 : kDays[month - 1];
}

// Two BCD digits as a number, or -1 when a nibble is not a decimal digit.
int32_t bcd_pair(uint8_t b)
{
    const int32_t hi = b >> 4;
    const int32_t lo = b & 0x0F;
    return hi > 9 || lo > 9 ? -1 : hi * 10 + lo;
}

// Orders dates as year, month, day.
int64_t day_key(int32_t year, int32_t month, int32_t day)
{
    return ((int64_t)year * 16 + month) * 64 + day;
}

}  // namespace

EmvDate emv_today()
{
    const time_t now = time(nullptr);
    const struct tm* local = localtime(&now);
    if (local == nullptr) {
        return {0, 0, 0};
    }
    return {local->tm_year + 1900, local->tm_mon + 1, local->tm_mday};
}

bool emv_date_valid(EmvDate date)
{
    return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 &&
           date.day >= 1 && date.day <= last_day_of(date.year, date.month);
}

EmvCheckResult emv_check_expiry(const uint8_t expiry[2], EmvDate today)
{
    // Without a date to judge at, "not expired" cannot be claimed.
    if (!emv_date_valid(today)) {
        return EMV_CHECK_FAILED;
    }
    const int32_t month = bcd_pair(expiry[0]);
    const int32_t yy = bcd_pair(expiry[1]);
    if (month < 1 || month > 12 || yy < 0) {
        return EMV_CHECK_FAILED;
    }
    // Two-digit years: 00-49 are this century's, 50-99 the last one's.
    const int32_t year = yy < 50 ? 2000 + yy : 1900 + yy;
    const int64_t last_valid = day_key(year, month, last_day_of(year, month));
    return emv_result(day_key(today.year, today.month, today.day) <= last_valid);
}
