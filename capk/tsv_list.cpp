// The tsv form: one key a line, tab-separated
//   NAME EXPONENT INDEX RID MODULUS [BITS [SHA1]]
// values in hex (BITS in decimal); BITS, when given, must equal the
// modulus length.

#include <cstring>

#include "capk/key_list.h"
#include "capk/list_lines.h"
#include "capk/strict_capk_values.h"

namespace {

std::vector<std::string> columns_of(const std::string& line)
{
    std::vector<std::string> columns;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        columns.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
        if (tab == std::string::npos)
            return columns;
        start = tab + 1;
    }
}

std::string check_bits(const std::string& bits, size_t modulus_length)
{
    if (bits.empty() || bits.size() > 9 ||
        bits.find_first_not_of("0123456789") != std::string::npos)
        return "BITS: not a decimal number: " + quoted_excerpt(bits);
    if (std::stoull(bits) != modulus_length * 8) {
        return "BITS: says " + bits + ", the modulus has " + std::to_string(modulus_length * 8) +
               " bits";
    }
    return "";
}

std::string read_line(const std::vector<std::string>& c, ListedKey& key, std::string& label)
{
    if (c.size() < 5 || c.size() > 7) {
        return "has " + std::to_string(c.size()) +
               " columns, must be 5 to 7: NAME EXPONENT INDEX RID MODULUS [BITS [SHA1]]";
    }
    std::vector<uint8_t> rid, index, exponent, modulus, checksum;
    std::string bad = decode_sized("RID", c[3], 5, rid, false);
    if (bad.empty())
        bad = decode_sized("INDEX", c[2], 1, index, false);
    if (!bad.empty())
        return bad;
    label = label_if_known(rid, index);
    bad = decode_sized("EXPONENT", c[1], 0, exponent, false);
    if (bad.empty())
        bad = decode_sized("MODULUS", c[4], 0, modulus, false);
    if (bad.empty())
        bad = check_key_sizes(rid, index, modulus, exponent, key);
    // An empty last column is a column not given.
    if (bad.empty() && c.size() >= 6 && !(c.size() == 6 && c[5].empty()))
        bad = check_bits(c[5], modulus.size());
    if (bad.empty() && c.size() == 7 && !c[6].empty()) {
        bad = decode_sized("SHA1", c[6], 20, checksum, false);
        key.has_checksum = bad.empty();
        if (bad.empty())
            memcpy(key.checksum, checksum.data(), 20);
    }
    key.has_name = true;
    key.name = c[0];
    return bad;
}

}  // namespace

KeyList read_tsv_list(const std::string& text)
{
    KeyList list;
    list.format = CapkFormat::kTsv;
    for (const ListLine& line : entry_lines(text, true)) {
        ListedKey key;
        key.line = line.number;
        std::string label;
        const std::string bad = read_line(columns_of(line.text), key, label);
        if (bad.empty())
            list.keys.push_back(key);
        else
            list.problems.push_back({line.number, label, bad});
    }
    return list;
}
