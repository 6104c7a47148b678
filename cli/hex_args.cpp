// Strict decoding of hex arguments.

#include "cli/hex_args.h"

#include <cstdio>

#include "cli/usage_error.h"
#include "core/hex_codec.h"

namespace {

bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The character as a user can recognise it in a one-line message: printable
// ones quoted, others (a NUL, an escape) by their code.
std::string shown(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    char text[16];
    if (u >= 0x21 && u <= 0x7E) {
        snprintf(text, sizeof text, "'%c'", c);
    } else {
        snprintf(text, sizeof text, "byte 0x%02X", u);
    }
    return text;
}

std::string position(size_t i)
{
    return " at position " + std::to_string(i + 1);
}

}  // namespace

std::vector<uint8_t> parse_hex_arg(const std::string& name, const std::string& text)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    size_t i = 0;
    while (i < text.size()) {
        if (is_blank(text[i])) {
            ++i;
            continue;
        }
        const int high = hex_digit_value(text[i]);
        if (high < 0)
            throw UsageError(name, "not a hex digit: " + shown(text[i]) + position(i));
        const size_t low_at = i + 1;
        if (low_at == text.size()) {
            throw UsageError(name, "odd number of hex digits: the digit" + position(i) +
                                       " has no partner");
        }
        if (is_blank(text[low_at])) {
            throw UsageError(name, "blank inside a byte" + position(low_at));
        }
        const int low = hex_digit_value(text[low_at]);
        if (low < 0) {
            throw UsageError(name, "not a hex digit: " + shown(text[low_at]) + position(low_at));
        }
        bytes.push_back(static_cast<uint8_t>(high << 4 | low));
        i = low_at + 1;
    }
    return bytes;
}
