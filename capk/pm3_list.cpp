// The pm3 form: one key a line,
//   RID INDEX EXPIRY rsa EXPONENT MODULUS sha1 CHECKSUM
// bytes as hex with or without ':' between them, either case; EXPIRY YYMMDD,
// 000000 for none.

#include <cctype>
#include <cstring>

#include "capk/key_list.h"
#include "capk/list_lines.h"
#include "capk/strict_capk_values.h"

namespace {

std::vector<std::string> fields_of(const std::string& line)
{
    std::vector<std::string> fields;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

// The key on one line, or the reason it is not one.
std::string read_line(const std::vector<std::string>& f, ListedKey& key, std::string& label)
{
    if (f.size() != 8) {
        return "has " + std::to_string(f.size()) +
               " fields, must be 8: RID INDEX EXPIRY rsa EXPONENT MODULUS sha1 CHECKSUM";
    }
    std::vector<uint8_t> rid, index, exponent, modulus, checksum;
    std::string bad = decode_sized("RID", f[0], 5, rid, true);
    if (bad.empty())
        bad = decode_sized("INDEX", f[1], 1, index, true);
    if (!bad.empty())
        return bad;
    label = label_if_known(rid, index);
    if (lower(f[3]) != "rsa")
        return "the fourth field must be 'rsa', is " + quoted_excerpt(f[3]);
    if (lower(f[6]) != "sha1")
        return "the seventh field must be 'sha1', is " + quoted_excerpt(f[6]);
    if (f[2] != "000000") {
        key.expiry = f[2].size() == 6 ? parse_list_date(f[2]) : -1;
        if (key.expiry < 0)
            return "EXPIRY: not a date YYMMDD (or 000000 for none): " + quoted_excerpt(f[2]);
    }
    bad = decode_sized("EXPONENT", f[4], 0, exponent, true);
    if (bad.empty())
        bad = decode_sized("MODULUS", f[5], 0, modulus, true);
    if (bad.empty())
        bad = decode_sized("CHECKSUM", f[7], 20, checksum, true);
    if (bad.empty())
        bad = check_key_sizes(rid, index, modulus, exponent, key);
    if (!bad.empty())
        return bad;
    key.has_checksum = true;
    memcpy(key.checksum, checksum.data(), 20);
    return "";
}

}  // namespace

KeyList read_pm3_list(const std::string& text)
{
    KeyList list;
    list.format = CapkFormat::kPm3;
    for (const ListLine& line : entry_lines(text)) {
        ListedKey key;
        key.line = line.number;
        std::string label;
        const std::string bad = read_line(fields_of(line.text), key, label);
        if (bad.empty())
            list.keys.push_back(key);
        else
            list.problems.push_back({line.number, label, bad});
    }
    return list;
}
