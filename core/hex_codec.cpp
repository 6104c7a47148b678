#include "core/hex_codec.h"

namespace {

const char kUpperDigits[] = "0123456789ABCDEF";

void append_byte(std::string& text, uint8_t byte)
{
    text.push_back(kUpperDigits[byte >> 4]);
    text.push_back(kUpperDigits[byte & 0x0F]);
}

}  // namespace

// see hex_codec.h
int hex_digit_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// see hex_codec.h
void hex_to_bytes(const char* text, uint32_t length, uint8_t* out, int32_t* count_out, bool pad_odd)
{
    if (count_out != nullptr)
        *count_out = 0;
    // Padding can only apply to the first byte: every pass consumes the
    // character at i, so i is past 0 after the first one.
    const bool pad_first = pad_odd && (length % 2) == 1;
    uint32_t i = 0;
    int32_t k = 0;
    while (i < length) {
        int high = 0;
        if (!(pad_first && i == 0)) {
            const char c = text[i++];
            if (c == ' ')
                continue;  // blanks are skipped only in front of a byte
            high = hex_digit_value(c);
            if (high < 0)
                return;
        }
        // The high half is stored at once; a byte cut short keeps it.
        out[k] = static_cast<uint8_t>(high << 4);
        if (i == length)
            return;
        const int low = hex_digit_value(text[i++]);
        if (low < 0)
            return;
        out[k] = static_cast<uint8_t>(out[k] | low);
        ++k;
        if (count_out != nullptr)
            *count_out = k;
    }
}

// see hex_codec.h
size_t strip_hex_input(char* text)
{
    if (text == nullptr)
        return 0;
    size_t kept = 0;
    for (size_t i = 0; text[i] != '\0'; ++i) {
        const char c = text[i];
        if (c != ' ' && c != '\r' && c != '\n')
            text[kept++] = c;
    }
    text[kept] = '\0';
    return kept;
}

// see hex_codec.h
std::string format_hex_display(const uint8_t* bytes, int32_t n)
{
    std::string text;
    if (n <= 0)
        return text;
    const size_t count = static_cast<size_t>(n);
    text.reserve(count * 3 + (count - 1) / 32 * 2);
    for (size_t i = 0; i < count; ++i) {
        if (i > 0 && i % 32 == 0)
            text.append("\r\n", 2);
        append_byte(text, bytes[i]);
        text.push_back(' ');
    }
    return text;
}

// see hex_codec.h
std::string format_hex_compact(const uint8_t* bytes, int32_t n)
{
    std::string text;
    if (n <= 0)
        return text;
    const size_t count = static_cast<size_t>(n);
    text.reserve(count * 2);
    for (size_t i = 0; i < count; ++i)
        append_byte(text, bytes[i]);
    return text;
}
