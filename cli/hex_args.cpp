// Strict decoding of hex arguments.

#include "cli/hex_args.h"

#include "cli/usage_error.h"

void HexStream::feed(const char* text, size_t length, std::vector<uint8_t>& out)
{
    if (!hex_.feed(text, length, out))
        throw UsageError(name_, hex_.problem());
}

void HexStream::finish()
{
    if (!hex_.finish())
        throw UsageError(name_, hex_.problem());
}

std::vector<uint8_t> parse_hex_arg(const std::string& name, const std::string& text)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    HexStream stream(name);
    stream.feed(text.data(), text.size(), bytes);
    stream.finish();
    return bytes;
}
