// Hex text read strictly, as every input of the command-line program is:
// unlike the window, which stops silently at the first character that is
// not a hex digit, a damaged value must never give a result computed from
// part of it.
//
// Digits may be in either case. Blanks (space, tab, CR, LF) may stand before,
// between and after bytes, never between the two digits of one byte. Text in
// pieces is read as one: positions (1-based in messages) count from the
// first piece, and no more than one piece is ever held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class StrictHex {
public:
    // Decodes the next piece, appending its complete bytes to out; false at
    // the first character the rules refuse, problem() saying why.
    bool feed(const char* text, size_t length, std::vector<uint8_t>& out);

    // The text has ended: false when a byte has only one digit.
    bool finish();

    // "not a hex digit: 'G' at position 6", "blank inside a byte at
    // position 10", "odd number of hex digits: the digit at position 9 has
    // no partner"; empty while nothing was refused.
    const std::string& problem() const { return problem_; }

private:
    uint64_t position_ = 0;  // characters seen so far
    int high_ = -1;          // first digit of the byte being read, or -1
    uint64_t high_at_ = 0;   // its position
    std::string problem_;
};
