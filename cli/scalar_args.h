// Arguments that are not byte strings: exponents, a PAN, a date. Each parser
// takes the argument's name and its text and throws UsageError when the text
// is not one of the values the argument allows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emv/emv.h"

// A key's exponent in either form a user meets: the decimal number a list
// file writes ("3", "65537") or its bytes in hex ("03", "010001", strict hex
// rules). Every exponent option takes both.
uint32_t parse_exponent_number(const std::string& name, const std::string& text);

// The same exponent as its big-endian bytes: 03 or 01 00 01.
std::vector<uint8_t> parse_exponent_bytes(const std::string& name, const std::string& text);

// A primary account number: 1 to 19 decimal digits, then F padding as tag
// 5A carries it (at most 20 characters); returned without the padding.
std::string parse_pan(const std::string& name, const std::string& text);

// A calendar date written YYMMDD, YY 00-49 read as 20YY and 50-99 as 19YY
// (as certificate expiries are); the day must exist in that month.
EmvDate parse_date(const std::string& name, const std::string& text);
