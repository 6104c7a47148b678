// The rules of one listed key: label, checksum, exponent and date forms.

#include "capk/listed_key.h"

#include <cstdio>
#include <cstring>

#include "crypto/sha1/sha1.h"

std::string listed_key_label(const ListedKey& key)
{
    char text[16];
    snprintf(text, sizeof text, "%02X%02X%02X%02X%02X_%02X", key.rid[0], key.rid[1], key.rid[2],
             key.rid[3], key.rid[4], key.index);
    return text;
}

std::vector<uint8_t> listed_key_checksum(const ListedKey& key)
{
    std::vector<uint8_t> input(key.rid, key.rid + 5);
    input.push_back(key.index);
    input.insert(input.end(), key.modulus.begin(), key.modulus.end());
    const std::vector<uint8_t> exponent = shortest_exponent(key.exponent);
    input.insert(input.end(), exponent.begin(), exponent.end());
    std::vector<uint8_t> digest(kSha1DigestSize);
    (void)sha1_compute(digest.data(), input.data(), static_cast<uint32_t>(input.size()));
    return digest;
}

bool listed_key_checksum_matches(const ListedKey& key)
{
    return key.has_checksum &&
           memcmp(listed_key_checksum(key).data(), key.checksum, sizeof key.checksum) == 0;
}

std::vector<uint8_t> shortest_exponent(const std::vector<uint8_t>& bytes)
{
    size_t first = 0;
    while (first + 1 < bytes.size() && bytes[first] == 0)
        ++first;
    return std::vector<uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(first), bytes.end());
}

int64_t exponent_value(const std::vector<uint8_t>& exponent)
{
    const std::vector<uint8_t> e = shortest_exponent(exponent);
    if (e.empty() || e.size() > 4)
        return -1;
    int64_t value = 0;
    for (uint8_t b : e)
        value = value << 8 | b;
    return value;
}

bool same_key(const ListedKey& a, const ListedKey& b)
{
    return memcmp(a.rid, b.rid, 5) == 0 && a.index == b.index && a.modulus == b.modulus &&
           shortest_exponent(a.exponent) == shortest_exponent(b.exponent);
}

int32_t parse_list_date(const std::string& text)
{
    if (text.size() != 6 && text.size() != 8)
        return -1;
    int32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    if (text.size() == 6)
        value += (value / 10000 < 50 ? 20000000 : 19000000);
    const int32_t month = value / 100 % 100;
    const int32_t day = value % 100;
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return -1;
    return value;
}

std::string short_date(int32_t yyyymmdd)
{
    const int32_t year = yyyymmdd / 10000;
    if (year < 1950 || year > 2049)
        return "";
    char text[8];
    snprintf(text, sizeof text, "%06d", static_cast<int>(yyyymmdd % 1000000));
    return text;
}

std::string shown_date(int32_t yyyymmdd)
{
    const std::string short_form = short_date(yyyymmdd);
    return short_form.empty() ? std::to_string(yyyymmdd) : short_form;
}

std::string hex_upper(const uint8_t* bytes, size_t n)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(n * 2);
    for (size_t i = 0; i < n; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}
