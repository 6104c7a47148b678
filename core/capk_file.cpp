#include "core/capk_file.h"

#include <cstdio>
#include <cstring>

#include "core/hex_codec.h"

namespace {

const char kRidTag[] = "RID : \"";
const char kIndexTag[] = "INDEX : \"";
const char kModulusTag[] = "MODULUS : \"";
const char kExponentTag[] = "EXPONENT : ";
const char kChecksumTag[] = "CHECKSUM : \"";

// Decoded bytes of the longest hex value a line piece can carry: the piece
// minus the shortest quoted tag, two digits to a byte, plus the uncounted
// half byte the decoder may write.
constexpr int kScratchSize = 1024;
static_assert((kCapkFileLineSize - 1 - (sizeof(kRidTag) - 1) + 1) / 2 <= kScratchSize,
              "scratch too small for one line's value");

enum class KeyRead { kAccepted, kDropped, kEndOfFile };

// The file and the buffers the reader shares between its steps.
struct Reader {
    FILE* file;
    char line[kCapkFileLineSize];
    uint8_t scratch[kScratchSize];
};

// Reads line pieces until one begins with tag and returns the text after the
// tag, or null when the file ends (or cannot be read) first.
template <size_t N>
const char* find_tagged_line(Reader& reader, const char (&tag)[N])
{
    while (std::fgets(reader.line, kCapkFileLineSize, reader.file) != nullptr) {
        if (std::strncmp(reader.line, tag, N - 1) == 0)
            return reader.line + (N - 1);
    }
    return nullptr;
}

// Decodes a hex value into reader.scratch and returns its count of complete
// bytes. The value ends at the first double quote or, without one, at the end
// of the line read, where the line break itself stops the decoder.
int32_t decode_value(Reader& reader, const char* value)
{
    const char* quote = std::strchr(value, '"');
    const size_t length =
        quote != nullptr ? static_cast<size_t>(quote - value) : std::strlen(value);
    int32_t count = 0;
    hex_to_bytes(value, static_cast<uint32_t>(length), reader.scratch, &count, false);
    return count;
}

bool is_c_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_decimal_digit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads a decimal number as "%d" does (leading white space, optional sign,
// digits, the rest ignored) but refuses, rather than wraps, a number outside
// the signed 32-bit range. Returns false for no number or one out of range.
bool read_decimal_int32(const char* text, int32_t* value)
{
    while (is_c_space(*text))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    if (!is_decimal_digit(*text))
        return false;
    const uint32_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
    uint32_t magnitude = 0;
    for (; is_decimal_digit(*text); ++text) {
        const uint32_t digit = static_cast<uint32_t>(*text - '0');
        if (magnitude > (limit - digit) / 10)
            return false;
        magnitude = magnitude * 10 + digit;
    }
    *value = static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude)
                                           : static_cast<int64_t>(magnitude));
    return true;
}

// Finds and decodes one quoted hex field; the count goes to *count.
template <size_t N>
KeyRead read_hex_field(Reader& reader, const char (&tag)[N], int32_t* count)
{
    const char* value = find_tagged_line(reader, tag);
    if (value == nullptr)
        return KeyRead::kEndOfFile;
    *count = decode_value(reader, value);
    return KeyRead::kAccepted;
}

// Reads the five fields of the next key into record, which MUST be zeroed.
// A field that fails its check drops the key at once; the caller goes on
// with the line after the last one read.
KeyRead read_key(Reader& reader, CapkRecord& record)
{
    int32_t count = 0;
    KeyRead step = read_hex_field(reader, kRidTag, &count);
    if (step != KeyRead::kAccepted)
        return step;
    if (count != static_cast<int32_t>(sizeof record.rid))
        return KeyRead::kDropped;
    std::memcpy(record.rid, reader.scratch, sizeof record.rid);

    if ((step = read_hex_field(reader, kIndexTag, &count)) != KeyRead::kAccepted)
        return step;
    if (count != 1)
        return KeyRead::kDropped;
    record.index = reader.scratch[0];

    if ((step = read_hex_field(reader, kModulusTag, &count)) != KeyRead::kAccepted)
        return step;
    if (count > kMaxModulusLength)
        return KeyRead::kDropped;
    std::memcpy(record.modulus, reader.scratch, static_cast<size_t>(count));
    record.modulus_length = count;

    const char* exponent_text = find_tagged_line(reader, kExponentTag);
    if (exponent_text == nullptr)
        return KeyRead::kEndOfFile;
    int32_t exponent = 0;
    if (!read_decimal_int32(exponent_text, &exponent))
        return KeyRead::kDropped;
    if (exponent != 3 && exponent != 65537)
        return KeyRead::kDropped;
    record.exponent = exponent;

    if ((step = read_hex_field(reader, kChecksumTag, &count)) != KeyRead::kAccepted)
        return step;
    if (count != static_cast<int32_t>(sizeof record.checksum))
        return KeyRead::kDropped;
    std::memcpy(record.checksum, reader.scratch, sizeof record.checksum);
    return KeyRead::kAccepted;
}

}  // namespace

// see capk_file.h
int32_t load_capk_file(const char* path, CapkRecord* records, int32_t* count_out)
{
    if (path == nullptr)
        return CAPK_FILE_OPEN_FAILED;
    Reader reader;  // about 3 KiB of line and scratch buffers
    reader.file = std::fopen(path, "rb");
    if (reader.file == nullptr)
        return CAPK_FILE_OPEN_FAILED;

    int32_t stored = 0;
    while (stored < kMaxCapks) {
        CapkRecord record;
        std::memset(&record, 0, sizeof record);
        const KeyRead result = read_key(reader, record);
        if (result == KeyRead::kEndOfFile)
            break;
        if (result == KeyRead::kAccepted)
            records[stored++] = record;
    }

    std::fclose(reader.file);
    if (count_out != nullptr)
        *count_out = stored;
    return 0;
}
