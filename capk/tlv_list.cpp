// The tlv form: one key a line as hex text of BER-TLV objects, in any order:
//   9F06 RID (5)          9F22 index (1)        DF02 modulus
//   DF04 exponent         DF03 checksum (absent, empty or 20 bytes)
//   DF05 expiry: 3 bytes YYMMDD, 4 bytes YYYYMMDD, or 6 or 8 ASCII digits
//   DF06 hash algorithm indicator (1)            DF07 PK algorithm indicator (1)
// A tag given twice with equal values is read; with different values the
// key is a damaged entry. Any other tag is a note unknown_tag.

#include <cstdio>
#include <cstring>
#include <map>

#include "capk/key_list.h"
#include "capk/list_lines.h"

namespace {

struct Object {
    uint32_t tag;
    size_t offset;  // of its tag, in bytes from the line's first
    std::vector<uint8_t> value;
};

std::string tag_name(uint32_t tag)
{
    char text[16];
    snprintf(text, sizeof text, "%X", static_cast<unsigned>(tag));
    return text;
}

std::string at(size_t offset)
{
    return " at byte " + std::to_string(offset);
}

// The objects of the line's bytes, or the reason they are not well-formed.
std::string split_objects(const std::vector<uint8_t>& b, std::vector<Object>& objects)
{
    size_t i = 0;
    while (i < b.size()) {
        Object o;
        o.offset = i;
        o.tag = b[i++];
        if ((o.tag & 0x1F) == 0x1F) {
            do {
                if (i >= b.size() || o.tag > 0xFFFFFF)
                    return "tag cut short" + at(o.offset);
                o.tag = o.tag << 8 | b[i];
            } while (b[i++] & 0x80);
        }
        if (i >= b.size())
            return "tag " + tag_name(o.tag) + " without a length" + at(o.offset);
        size_t length = b[i++];
        if (length > 0x80 && length <= 0x83) {
            size_t n = length & 0x7F;
            length = 0;
            for (; n > 0; --n) {
                if (i >= b.size())
                    return "length of tag " + tag_name(o.tag) + " cut short" + at(o.offset);
                length = length << 8 | b[i++];
            }
        } else if (length >= 0x80) {
            return "length byte of tag " + tag_name(o.tag) + " not allowed" + at(o.offset);
        }
        if (length > b.size() - i) {
            return "tag " + tag_name(o.tag) + " says " + std::to_string(length) + " bytes, only " +
                   std::to_string(b.size() - i) + " follow" + at(o.offset);
        }
        o.value.assign(b.begin() + static_cast<std::ptrdiff_t>(i),
                       b.begin() + static_cast<std::ptrdiff_t>(i + length));
        i += length;
        objects.push_back(o);
    }
    return "";
}

int32_t bcd_date(const std::vector<uint8_t>& v)
{
    std::string digits;
    for (uint8_t b : v) {
        digits += static_cast<char>('0' + (b >> 4));
        digits += static_cast<char>('0' + (b & 0x0F));
    }
    for (char c : digits)
        if (c > '9')
            return -1;
    return parse_list_date(digits);
}

int32_t expiry_of(const std::vector<uint8_t>& v)
{
    if (v.size() == 3 || v.size() == 4)
        return bcd_date(v);
    if (v.size() == 6 || v.size() == 8)
        return parse_list_date(std::string(v.begin(), v.end()));
    return -1;
}

const uint32_t kKnown[] = {0x9F06, 0x9F22, 0xDF02, 0xDF03, 0xDF04, 0xDF05, 0xDF06, 0xDF07};

bool known(uint32_t tag)
{
    for (uint32_t k : kKnown)
        if (k == tag)
            return true;
    return false;
}

std::string one_byte(const std::map<uint32_t, std::vector<uint8_t>>& v, uint32_t tag, uint8_t& out)
{
    const auto it = v.find(tag);
    if (it == v.end())
        return "";
    if (it->second.size() != 1)
        return "tag " + tag_name(tag) + ": has " + std::to_string(it->second.size()) +
               " bytes, must be 1";
    out = it->second[0];
    return "";
}

std::string read_fields(const std::map<uint32_t, std::vector<uint8_t>>& v, ListedKey& key)
{
    static const std::vector<uint8_t> kNone;
    const auto get = [&v](uint32_t tag) -> const std::vector<uint8_t>& {
        const auto it = v.find(tag);
        return it == v.end() ? kNone : it->second;
    };
    for (uint32_t tag : {0x9F06u, 0x9F22u, 0xDF02u, 0xDF04u}) {
        if (v.count(tag) == 0)
            return "no tag " + tag_name(tag);
    }
    std::string bad = check_key_sizes(get(0x9F06), get(0x9F22), get(0xDF02), get(0xDF04), key);
    if (bad.empty())
        bad = one_byte(v, 0xDF06, key.hash_algorithm);
    if (bad.empty())
        bad = one_byte(v, 0xDF07, key.pk_algorithm);
    if (!bad.empty())
        return bad;
    const std::vector<uint8_t>& checksum = get(0xDF03);
    if (checksum.size() != 0 && checksum.size() != 20)
        return "tag DF03: has " + std::to_string(checksum.size()) + " bytes, must be 0 or 20";
    key.has_checksum = checksum.size() == 20;
    if (key.has_checksum)
        memcpy(key.checksum, checksum.data(), 20);
    if (v.count(0xDF05) != 0) {
        key.expiry = expiry_of(get(0xDF05));
        if (key.expiry < 0)
            return "tag DF05: not a date (3 bytes YYMMDD, 4 bytes YYYYMMDD, or 6 or 8 ASCII "
                   "digits): " +
                   hex_upper(get(0xDF05));
    }
    return "";
}

}  // namespace

KeyList read_tlv_list(const std::string& text)
{
    KeyList list;
    list.format = CapkFormat::kTlv;
    for (const ListLine& line : entry_lines(text)) {
        const size_t b = line.text.find_first_not_of(" \t");
        const size_t e = line.text.find_last_not_of(" \t");
        std::vector<uint8_t> bytes;
        std::string bad = decode_plain_hex(line.text.substr(b, e + 1 - b), bytes);
        std::vector<Object> objects;
        if (bad.empty())
            bad = split_objects(bytes, objects);
        std::map<uint32_t, std::vector<uint8_t>> values;
        for (size_t i = 0; bad.empty() && i < objects.size(); ++i) {
            const Object& o = objects[i];
            const auto seen = values.find(o.tag);
            if (seen != values.end() && seen->second != o.value)
                bad =
                    "tag " + tag_name(o.tag) + " given twice with different values" + at(o.offset);
            values[o.tag] = o.value;
        }
        const auto value = [&values](uint32_t tag) {
            const auto it = values.find(tag);
            return it == values.end() ? std::vector<uint8_t>() : it->second;
        };
        const std::string label = label_if_known(value(0x9F06), value(0x9F22));
        ListedKey key;
        key.line = line.number;
        if (bad.empty())
            bad = read_fields(values, key);
        if (!bad.empty()) {
            list.problems.push_back({line.number, label, bad});
            continue;
        }
        for (const Object& o : objects) {
            if (!known(o.tag))
                list.notes.push_back(
                    {line.number, label, "unknown_tag",
                     "tag " + tag_name(o.tag) + at(o.offset) + " is not a key field"});
        }
        list.keys.push_back(key);
    }
    return list;
}
