// Format names, detection from content, and the tarvello form as a key list.

#include "capk/key_list.h"

#include <cctype>
#include <cstring>

namespace {

const char* const kNames[] = {"tarvello", "pm3", "tsv", "tlv", "json"};

bool same_text(const std::string& a, const char* b)
{
    if (a.size() != strlen(b))
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (tolower(static_cast<unsigned char>(a[i])) != tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool is_hex(char c)
{
    return isxdigit(static_cast<unsigned char>(c)) != 0;
}

std::string trimmed(const std::string& line)
{
    size_t b = 0;
    size_t e = line.size();
    while (b < e && isspace(static_cast<unsigned char>(line[b])))
        ++b;
    while (e > b && isspace(static_cast<unsigned char>(line[e - 1])))
        --e;
    return line.substr(b, e - b);
}

bool has_hex_run(const std::string& text)
{
    size_t run = 0;
    for (char c : text) {
        run = is_hex(c) ? run + 1 : 0;
        if (run >= 10)
            return true;
    }
    return false;
}

std::vector<std::string> fields_of(const std::string& line)
{
    std::vector<std::string> fields;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isspace(static_cast<unsigned char>(line[i])))
            ++i;
        const size_t start = i;
        while (i < line.size() && !isspace(static_cast<unsigned char>(line[i])))
            ++i;
        if (i > start)
            fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

bool looks_like_tlv(const std::string& line)
{
    if (line.size() < 4)
        return false;
    for (char c : line)
        if (!is_hex(c))
            return false;
    const std::string first = line.substr(0, 2);
    return same_text(first, "9F") || same_text(first, "DF");
}

bool entry_format(const std::string& raw, CapkFormat& format)
{
    if (raw.find('\t') != std::string::npos) {
        format = CapkFormat::kTsv;
        return true;
    }
    const std::string line = trimmed(raw);
    if (looks_like_tlv(line)) {
        format = CapkFormat::kTlv;
        return true;
    }
    const std::vector<std::string> fields = fields_of(line);
    if (fields.size() >= 8 && same_text(fields[3], "rsa")) {
        format = CapkFormat::kPm3;
        return true;
    }
    return false;
}

KeyList from_strict(const StrictCapkList& strict)
{
    KeyList list;
    list.format = CapkFormat::kTarvello;
    list.problems = strict.problems;
    for (size_t i = 0; i < strict.keys.size(); ++i) {
        const CapkRecord& r = strict.keys[i];
        ListedKey key;
        memcpy(key.rid, r.rid, 5);
        key.index = r.index;
        key.modulus.assign(r.modulus, r.modulus + r.modulus_length);
        key.exponent = r.exponent == 3 ? std::vector<uint8_t>{3} : std::vector<uint8_t>{1, 0, 1};
        key.has_checksum = true;
        memcpy(key.checksum, r.checksum, sizeof key.checksum);
        key.line = strict.key_lines[i];
        list.keys.push_back(key);
    }
    return list;
}

}  // namespace

const char* capk_format_name(CapkFormat format)
{
    return kNames[static_cast<int>(format)];
}

bool capk_format_from_name(const std::string& name, CapkFormat& format)
{
    for (CapkFormat f : kCapkFormats) {
        if (name == capk_format_name(f)) {
            format = f;
            return true;
        }
    }
    return false;
}

const char* capk_formats_expected()
{
    return "expected one of: tarvello tagged lines (RID : \"...\"), pm3 lines (RID INDEX "
           "EXPIRY rsa EXPONENT MODULUS sha1 CHECKSUM), tsv lines (NAME, EXPONENT, INDEX, RID, "
           "MODULUS separated by tabs), tlv lines (hex BER-TLV: 9F06, 9F22, DF02, DF04...), or "
           "the JSON that list --json prints";
}

bool detect_capk_format(const std::string& text, CapkFormat& format)
{
    const std::string start = trimmed(text.substr(0, 64));
    if (!start.empty() && start[0] == '{') {
        format = CapkFormat::kJson;
        return true;
    }
    size_t pos = 0;
    CapkFormat first = CapkFormat::kTarvello;
    bool first_known = false;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (line.compare(0, 7, "RID : \"") == 0) {
            format = CapkFormat::kTarvello;
            return true;
        }
        const std::string t = trimmed(line);
        if (first_known || t.empty() || t[0] == '#')
            continue;
        first_known = entry_format(line, first);
    }
    if (first_known) {
        format = first;
        return true;
    }
    // Prose without a single key-like value: the tarvello form's free text.
    if (!has_hex_run(text)) {
        format = CapkFormat::kTarvello;
        return true;
    }
    return false;
}

KeyList read_key_list(const std::string& text, CapkFormat format)
{
    switch (format) {
        case CapkFormat::kPm3:
            return read_pm3_list(text);
        case CapkFormat::kTsv:
            return read_tsv_list(text);
        case CapkFormat::kTlv:
            return read_tlv_list(text);
        case CapkFormat::kJson:
            return read_json_list(text);
        default:
            return from_strict(read_strict_capk_text(text));
    }
}
