// Exponents, PANs and dates given on the command line.

#include "cli/scalar_args.h"

#include "cli/hex_args.h"
#include "cli/usage_error.h"

namespace {

bool all_digits(const std::string& text)
{
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

int two_digits(const std::string& text, size_t at)
{
    return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

int days_in_month(int year, int month)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

uint32_t parse_exponent_number(const std::string& name, const std::string& text)
{
    // The decimal forms have an odd number of digits, so they never read as
    // hex bytes: the two forms cannot be confused.
    if (text == "3")
        return 3;
    if (text == "65537")
        return 65537;
    std::vector<uint8_t> bytes;
    try {
        bytes = parse_hex_arg(name, text);
    } catch (const UsageError&) {
        bytes.clear();
    }
    if (bytes == std::vector<uint8_t>{0x03})
        return 3;
    if (bytes == std::vector<uint8_t>{0x01, 0x00, 0x01})
        return 65537;
    throw UsageError(name, "exponent must be 3 or 65537 (in hex 03 or 010001), not '" + text + "'");
}

std::vector<uint8_t> parse_exponent_bytes(const std::string& name, const std::string& text)
{
    return parse_exponent_number(name, text) == 3 ? std::vector<uint8_t>{0x03}
                                                  : std::vector<uint8_t>{0x01, 0x00, 0x01};
}

std::string parse_pan(const std::string& name, const std::string& text)
{
    // The value of tag 5A as a card gives it: the digits, then F padding.
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9')
        ++digits;
    for (size_t i = digits; i < text.size(); ++i) {
        if (text[i] != 'F' && text[i] != 'f')
            throw UsageError(name, "a PAN is 1 to 19 decimal digits, then F padding at most");
    }
    if (digits < 1 || digits > 19 || text.size() > 20)
        throw UsageError(name, "a PAN is 1 to 19 decimal digits, then F padding at most");
    return text.substr(0, digits);
}

EmvDate parse_date(const std::string& name, const std::string& text)
{
    if (text.size() != 6 || !all_digits(text)) {
        throw UsageError(name, "a date is six digits YYMMDD, not '" + text + "'");
    }
    // Years as certificate expiries read them: 00-49 this century, 50-99 the last.
    const int yy = two_digits(text, 0);
    EmvDate date = {(yy < 50 ? 2000 : 1900) + yy, two_digits(text, 2), two_digits(text, 4)};
    if (date.month < 1 || date.month > 12)
        throw UsageError(name, "no month " + text.substr(2, 2));
    if (date.day < 1 || date.day > days_in_month(date.year, date.month)) {
        throw UsageError(name, "no day " + text.substr(4, 2) + " in month " + text.substr(2, 2));
    }
    return date;
}
