// Strict reading of the values in a CAPK list file.

#include "capk/strict_capk_values.h"

#include <cstdio>

#include "core/hex_codec.h"

namespace {

std::string at_column(size_t column)
{
    return " at column " + std::to_string(column);
}

std::string character(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    char text[16];
    if (u == '\t')
        snprintf(text, sizeof text, "a tab");
    else if (u >= 0x21 && u <= 0x7E)
        snprintf(text, sizeof text, "'%c'", c);
    else
        snprintf(text, sizeof text, "byte 0x%02X", u);
    return text;
}

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

bool is_space_or_tab(char c)
{
    return c == ' ' || c == '\t';
}

}  // namespace

std::string decode_list_hex(const std::string& text, size_t column, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        const int high = hex_digit_value(text[i]);
        if (high < 0)
            return "not a hex digit: " + character(text[i]) + at_column(column + i);
        if (i + 1 == text.size()) {
            return "odd number of hex digits: the digit" + at_column(column + i) +
                   " has no partner";
        }
        const char next = text[i + 1];
        if (next == ' ')
            return "blank inside a byte" + at_column(column + i + 1);
        const int low = hex_digit_value(next);
        if (low < 0)
            return "not a hex digit: " + character(next) + at_column(column + i + 1);
        bytes.push_back(static_cast<uint8_t>(high << 4 | low));
        i += 2;
    }
    return "";
}

std::string read_list_exponent(const std::string& text, int32_t& exponent)
{
    // A CR LF line end leaves its CR here.
    const size_t length = !text.empty() && text.back() == '\r' ? text.size() - 1 : text.size();
    size_t i = 0;
    while (i < length && is_space_or_tab(text[i]))
        ++i;
    const std::string written = text.substr(i, length - i);
    uint32_t value = 0;
    size_t digits = 0;
    for (; digits < written.size() && is_digit(written[digits]); ++digits) {
        // Only 3 and 65537 are wanted: a larger value may saturate.
        const uint32_t digit = static_cast<uint32_t>(written[digits] - '0');
        value = value > 1000000 ? value : value * 10 + digit;
    }
    size_t rest = digits;
    while (rest < written.size() && is_space_or_tab(written[rest]))
        ++rest;
    if (digits == 0)
        return "not a decimal number: " + quoted_excerpt(written);
    if (rest != written.size())
        return "other characters after the number: " + quoted_excerpt(written);
    if (value != 3 && value != 65537)
        return quoted_excerpt(written.substr(0, digits)) + " is not 3 or 65537";
    exponent = static_cast<int32_t>(value);
    return "";
}

std::string quoted_excerpt(const std::string& text)
{
    constexpr size_t kMax = 24;
    std::string out = "'";
    for (size_t i = 0; i < text.size() && i < kMax; ++i) {
        const unsigned char u = static_cast<unsigned char>(text[i]);
        if (u >= 0x20 && u <= 0x7E) {
            out += text[i];
        } else {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        }
    }
    if (text.size() > kMax)
        out += "...";
    return out + "'";
}
