// Strict reading of hex text.

#include "core/strict_hex.h"

#include <cstdio>

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

std::string position(uint64_t i)
{
    return " at position " + std::to_string(i + 1);
}

}  // namespace

bool StrictHex::feed(const char* text, size_t length, std::vector<uint8_t>& out)
{
    for (size_t k = 0; k < length; ++k, ++position_) {
        const char c = text[k];
        if (is_blank(c)) {
            if (high_ >= 0) {
                problem_ = "blank inside a byte" + position(position_);
                return false;
            }
            continue;
        }
        const int value = hex_digit_value(c);
        if (value < 0) {
            problem_ = "not a hex digit: " + shown(c) + position(position_);
            return false;
        }
        if (high_ < 0) {
            high_ = value;
            high_at_ = position_;
        } else {
            out.push_back(static_cast<uint8_t>(high_ << 4 | value));
            high_ = -1;
        }
    }
    return true;
}

bool StrictHex::finish()
{
    if (high_ >= 0) {
        problem_ = "odd number of hex digits: the digit" + position(high_at_) + " has no partner";
        return false;
    }
    return true;
}
