// Hex text of test bytes, for expectations and failure messages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace support {

using Bytes = std::vector<uint8_t>;

// Two upper-case digits per byte, nothing between: "0A1B".
std::string Hex(const uint8_t* bytes, size_t n);
std::string Hex(const Bytes& bytes);

// The value of an upper-case hex digit as the program writes it, else -1.
int HexDigitValue(char c);

// Bytes of compact hex as the program shows it (two upper-case digits per
// byte, nothing else); a text of any other form is a test failure.
Bytes FromHex(const std::string& text);

}  // namespace support
