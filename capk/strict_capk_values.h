// The values of a CAPK list file's tagged lines, judged strictly: each is
// read whole or reported, never cut short where the window's reader would
// stop. Used by the strict list reader (capk/strict_capk_list).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A hex value: the text after its tag up to the closing double quote (or the
// line's end). Digits in either case; blanks (0x20) only in front of a byte,
// as the window's decoder skips them. column is the 1-based column of
// text[0] in its line. Returns an empty string and fills bytes when the value
// decodes whole, else the reason ("not a hex digit 'G' at column 14").
std::string decode_list_hex(const std::string& text, size_t column, std::vector<uint8_t>& bytes);

// An exponent: the text after "EXPONENT : ". Blanks or tabs may stand around
// the decimal number, a CR after it (CR LF line ends). Returns an empty
// string and sets exponent (3 or 65537) when the value is one of those two,
// else the reason.
std::string read_list_exponent(const std::string& text, int32_t& exponent);

// The text as a reason may quote it: at most 24 characters, those that are
// not printable as \xNN.
std::string quoted_excerpt(const std::string& text);
