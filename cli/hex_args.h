// Hex arguments, read strictly. Unlike the window, which stops silently at
// the first character that is not a hex digit, a script that passes a damaged
// value must never get a result computed from part of it: any such character
// and an odd number of digits are refused, naming the argument and the
// 1-based position of the character.
//
// Digits may be in either case. Blanks (space, tab, CR, LF) may stand before,
// between and after bytes, never between the two digits of one byte. An empty
// text, or one of blanks only, is zero bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/strict_hex.h"

// Decodes text, the value of the argument called name; throws UsageError.
std::vector<uint8_t> parse_hex_arg(const std::string& name, const std::string& text);

// The same rules over text that comes in pieces (standard input), so no
// more than one piece is ever held. Positions count from the first piece.
class HexStream {
public:
    explicit HexStream(std::string name) : name_(std::move(name)) {}

    // Decodes the next piece, appending its complete bytes to out; throws
    // UsageError at the first character the rules refuse.
    void feed(const char* text, size_t length, std::vector<uint8_t>& out);

    // The text has ended: throws UsageError when a byte has only one digit.
    void finish();

private:
    std::string name_;
    StrictHex hex_;
};
