#include "tests/e2e/expect/capk_list.h"

#include <cctype>
#include <cstdlib>
#include <fstream>

namespace e2e_expect {

namespace {

constexpr size_t kMaxKeys = 100;
constexpr size_t kMaxModulus = 248;

int Nibble(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

// Complete bytes of the quoted value after `tag`; blanks may precede a byte.
Bytes QuotedHex(const std::string& line, size_t tag_length)
{
    std::string value = line.substr(tag_length);
    value = value.substr(0, value.find('"'));
    Bytes out;
    size_t i = 0;
    for (;;) {
        while (i < value.size() && value[i] == ' ')
            ++i;
        if (i + 1 >= value.size())
            break;
        int hi = Nibble(value[i]), lo = Nibble(value[i + 1]);
        if (hi < 0 || lo < 0)
            break;
        out.push_back(static_cast<uint8_t>(hi * 16 + lo));
        i += 2;
    }
    return out;
}

bool StartsWith(const std::string& line, const std::string& tag)
{
    return line.compare(0, tag.size(), tag) == 0;
}

}  // namespace

bool ReadCapkList(const std::string& path, std::vector<Key>* keys)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    static const std::string kTags[] = {"RID : \"", "INDEX : \"", "MODULUS : \"",
                                        "EXPONENT : ", "CHECKSUM : \""};
    Key key;
    int field = 0;  // the tag looked for next
    std::string line;
    while (keys->size() < kMaxKeys && std::getline(in, line)) {
        if (!StartsWith(line, kTags[field]))
            continue;
        size_t tag = kTags[field].size();
        bool ok = true;
        switch (field) {
            case 0:
                key = Key{};
                key.rid = QuotedHex(line, tag);
                ok = key.rid.size() == 5;
                break;
            case 1: {
                Bytes index = QuotedHex(line, tag);
                ok = index.size() == 1;
                if (ok)
                    key.index = index[0];
                break;
            }
            case 2:
                key.modulus = QuotedHex(line, tag);
                ok = key.modulus.size() <= kMaxModulus;
                break;
            case 3: {
                char* end = nullptr;
                key.exponent = std::strtol(line.c_str() + tag, &end, 10);
                ok = end != line.c_str() + tag && (key.exponent == 3 || key.exponent == 65537);
                break;
            }
            case 4:
                key.checksum = QuotedHex(line, tag);
                ok = key.checksum.size() == 20;
                break;
        }
        if (!ok) {
            field = 0;
            continue;
        }
        if (field == 4) {
            keys->push_back(key);
            field = 0;
        } else {
            ++field;
        }
    }
    return true;
}

}  // namespace e2e_expect
