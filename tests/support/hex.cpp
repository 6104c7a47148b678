#include "tests/support/hex.h"

#include <gtest/gtest.h>

namespace support {

std::string Hex(const uint8_t* bytes, size_t n)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = 0; i < n; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

std::string Hex(const Bytes& bytes)
{
    return Hex(bytes.data(), bytes.size());
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

Bytes FromHex(const std::string& text)
{
    Bytes bytes;
    EXPECT_EQ(text.size() % 2, 0u) << "odd digit count: " << text;
    for (size_t i = 0; i + 1 < text.size(); i += 2) {
        int hi = HexDigitValue(text[i]);
        int lo = HexDigitValue(text[i + 1]);
        EXPECT_TRUE(hi >= 0 && lo >= 0) << "not compact hex: " << text;
        bytes.push_back((uint8_t)((hi < 0 ? 0 : hi) * 16 + (lo < 0 ? 0 : lo)));
    }
    return bytes;
}

}  // namespace support
