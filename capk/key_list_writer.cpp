// The writers of the five forms.

#include "capk/key_list_writer.h"

#include "capk/key_list_json.h"

namespace {

std::string lower_colons(const uint8_t* bytes, size_t n)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < n; ++i) {
        if (i > 0)
            text += ':';
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

std::string lower_colons(const std::vector<uint8_t>& bytes)
{
    return lower_colons(bytes.data(), bytes.size());
}

std::string write_tarvello(const ListedKey& k)
{
    return "RID : \"" + hex_upper(k.rid, 5) + "\"\nINDEX : \"" + hex_upper(&k.index, 1) +
           "\"\nMODULUS : \"" + hex_upper(k.modulus) +
           "\"\nEXPONENT : " + std::to_string(exponent_value(k.exponent)) + "\nCHECKSUM : \"" +
           hex_upper(k.checksum, 20) + "\"\n\n";
}

std::string write_pm3(const ListedKey& k)
{
    const std::string expiry = k.expiry > 0 ? short_date(k.expiry) : "";
    return lower_colons(k.rid, 5) + " " + lower_colons(&k.index, 1) + " " +
           (expiry.empty() ? "000000" : expiry) + " rsa " + lower_colons(k.exponent) + " " +
           lower_colons(k.modulus) + " sha1 " + lower_colons(k.checksum, 20) + "\n";
}

// A tab or line break would end the name's column or line.
std::string tsv_name(const ListedKey& k)
{
    std::string name = k.has_name ? k.name : listed_key_label(k);
    for (char& c : name)
        c = c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
    return name;
}

std::string write_tsv(const ListedKey& k)
{
    return tsv_name(k) + "\t" + hex_upper(k.exponent) + "\t" + hex_upper(&k.index, 1) + "\t" +
           hex_upper(k.rid, 5) + "\t" + hex_upper(k.modulus) + "\t" +
           std::to_string(k.modulus.size() * 8) + "\t" + hex_upper(k.checksum, 20) + "\n";
}

std::string tlv(const char* tag, const std::vector<uint8_t>& value)
{
    const size_t n = value.size();
    std::vector<uint8_t> length;
    for (size_t rest = n; rest > 0 || length.empty(); rest >>= 8)
        length.insert(length.begin(), static_cast<uint8_t>(rest));
    // Short form below 0x80, else 81, 82 or 83 and the length's bytes.
    if (n >= 0x80)
        length.insert(length.begin(), static_cast<uint8_t>(0x80 | length.size()));
    return tag + hex_upper(length) + hex_upper(value);
}

std::string write_tlv(const ListedKey& k)
{
    std::string line = tlv("9F06", std::vector<uint8_t>(k.rid, k.rid + 5)) + tlv("9F22", {k.index});
    if (k.expiry > 0) {
        const std::string date = std::to_string(k.expiry);
        line += tlv("DF05", std::vector<uint8_t>(date.begin(), date.end()));
    }
    line += tlv("DF06", {k.hash_algorithm}) + tlv("DF07", {k.pk_algorithm}) +
            tlv("DF02", k.modulus) + tlv("DF04", k.exponent) +
            tlv("DF03", std::vector<uint8_t>(k.checksum, k.checksum + 20));
    return line + "\n";
}

}  // namespace

std::string write_key_list(const std::vector<ListedKey>& keys, CapkFormat format)
{
    if (format == CapkFormat::kJson)
        return key_list_json(keys, format)
                   .dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) +
               "\n";
    std::string text;
    for (const ListedKey& k : keys) {
        switch (format) {
            case CapkFormat::kPm3:
                text += write_pm3(k);
                break;
            case CapkFormat::kTsv:
                text += write_tsv(k);
                break;
            case CapkFormat::kTlv:
                text += write_tlv(k);
                break;
            default:
                text += write_tarvello(k);
                break;
        }
    }
    return text;
}

std::vector<std::string> unheld_fields(const ListedKey& key, CapkFormat format)
{
    std::vector<std::string> fields;
    const bool holds_expiry = format == CapkFormat::kTlv || format == CapkFormat::kJson ||
                              (format == CapkFormat::kPm3 && !short_date(key.expiry).empty());
    const bool holds_indicators = format == CapkFormat::kTlv || format == CapkFormat::kJson;
    const bool holds_name = format == CapkFormat::kTsv || format == CapkFormat::kJson;
    if (key.expiry > 0 && !holds_expiry)
        fields.push_back("expiry " + shown_date(key.expiry));
    if (!holds_indicators && key.hash_algorithm != 1)
        fields.push_back("hash algorithm indicator " + hex_upper(&key.hash_algorithm, 1));
    if (!holds_indicators && key.pk_algorithm != 1)
        fields.push_back("public key algorithm indicator " + hex_upper(&key.pk_algorithm, 1));
    if (key.has_name && !holds_name)
        fields.push_back("name '" + key.name + "'");
    if (key.has_name && format == CapkFormat::kTsv &&
        key.name.find_first_of("\t\r\n") != std::string::npos)
        fields.push_back("tabs and line breaks in the name (written as blanks)");
    return fields;
}
