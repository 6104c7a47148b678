// Lines and hex values of one-key-a-line lists.

#include "capk/list_lines.h"

#include <algorithm>
#include <cstring>

#include "capk/strict_capk_values.h"
#include "core/hex_codec.h"

std::vector<ListLine> entry_lines(const std::string& text, bool tab_entries)
{
    std::vector<ListLine> lines;
    size_t pos = 0;
    int64_t number = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t first = line.find_first_not_of(" \t");
        const bool comment = first != std::string::npos && line[first] == '#' &&
                             !(tab_entries && line.find('\t') != std::string::npos);
        if (first == std::string::npos || comment)
            continue;
        lines.push_back({number, line});
    }
    return lines;
}

std::string decode_plain_hex(const std::string& text, std::vector<uint8_t>& out)
{
    out.clear();
    if (text.size() % 2 != 0)
        return "odd number of hex digits in " + quoted_excerpt(text);
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = hex_digit_value(text[i]);
        const int low = hex_digit_value(text[i + 1]);
        if (high < 0 || low < 0)
            return "not hex: " + quoted_excerpt(text.substr(high < 0 ? i : i + 1));
        out.push_back(static_cast<uint8_t>(high << 4 | low));
    }
    return "";
}

std::string decode_colon_hex(const std::string& text, std::vector<uint8_t>& out)
{
    if (text.find(':') == std::string::npos)
        return decode_plain_hex(text, out);
    out.clear();
    for (size_t i = 0; i < text.size(); i += 3) {
        const bool pair = i + 2 <= text.size() && (i + 2 == text.size() || text[i + 2] == ':');
        const int high = pair ? hex_digit_value(text[i]) : -1;
        const int low = pair ? hex_digit_value(text[i + 1]) : -1;
        if (high < 0 || low < 0 || (i + 2 == text.size() - 1))
            return "not hex bytes joined by ':': " + quoted_excerpt(text.substr(i));
        out.push_back(static_cast<uint8_t>(high << 4 | low));
    }
    return "";
}

std::string decode_sized(const std::string& name, const std::string& text, size_t size,
                         std::vector<uint8_t>& out, bool colons)
{
    const std::string bad = colons ? decode_colon_hex(text, out) : decode_plain_hex(text, out);
    if (!bad.empty())
        return name + ": " + bad;
    if (size != 0 && out.size() != size) {
        return name + ": has " + std::to_string(out.size()) + " bytes, must be " +
               std::to_string(size);
    }
    return "";
}

std::string check_key_sizes(const std::vector<uint8_t>& rid, const std::vector<uint8_t>& index,
                            const std::vector<uint8_t>& modulus,
                            const std::vector<uint8_t>& exponent, ListedKey& key)
{
    if (rid.size() != 5)
        return "RID: has " + std::to_string(rid.size()) + " bytes, must be 5";
    if (index.size() != 1)
        return "index: has " + std::to_string(index.size()) + " bytes, must be 1";
    if (modulus.empty())
        return "the modulus is empty";
    if (exponent.empty())
        return "the exponent is empty";
    memcpy(key.rid, rid.data(), 5);
    key.index = index[0];
    key.modulus = modulus;
    key.exponent = shortest_exponent(exponent);
    return "";
}

std::string label_if_known(const std::vector<uint8_t>& rid, const std::vector<uint8_t>& index)
{
    if (rid.size() != 5 || index.size() != 1)
        return "";
    ListedKey key;
    memcpy(key.rid, rid.data(), 5);
    key.index = index[0];
    return listed_key_label(key);
}

void sort_problems(KeyList& list)
{
    std::stable_sort(
        list.problems.begin(), list.problems.end(),
        [](const CapkListProblem& a, const CapkListProblem& b) { return a.line < b.line; });
}
