// The json form: the document `list --json` prints, read back. A key's line
// is its place in keys (1-based); a document that is not JSON is one
// damaged entry at the line the parser stopped on.

#include <cstring>

#include "capk/key_list.h"
#include "capk/key_list_json.h"
#include "capk/list_lines.h"

using Json = nlohmann::ordered_json;

namespace {

std::string hex_field(const Json& k, const char* name, size_t size, std::vector<uint8_t>& out)
{
    if (!k.contains(name) || !k[name].is_string())
        return std::string(name) + ": missing or not a string";
    return decode_sized(name, k[name].get<std::string>(), size, out, false);
}

std::string exponent_field(const Json& k, std::vector<uint8_t>& out)
{
    if (!k.contains("exponent"))
        return "exponent: missing";
    const Json& e = k["exponent"];
    if (e.is_string())
        return decode_sized("exponent", e.get<std::string>(), 0, out, false);
    if (!e.is_number_unsigned())
        return "exponent: neither a number nor a hex string";
    uint64_t value = e.get<uint64_t>();
    if (value > 0xFFFFFFFFu)
        return "exponent: a number over 32 bits (write it as a hex string)";
    out.clear();
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
    out = shortest_exponent(out);
    return "";
}

std::string indicator(const Json& k, const char* name, uint8_t& out)
{
    if (!k.contains(name) || k[name].is_null())
        return "";
    std::vector<uint8_t> v;
    return hex_field(k, name, 1, v).empty() ? (out = v[0], std::string())
                                            : std::string(name) + ": not two hex digits";
}

std::string optional_fields(const Json& k, ListedKey& key)
{
    std::string bad = indicator(k, "hash_algorithm", key.hash_algorithm);
    if (bad.empty())
        bad = indicator(k, "pk_algorithm", key.pk_algorithm);
    if (bad.empty() && k.contains("checksum") && !k["checksum"].is_null()) {
        std::vector<uint8_t> sum;
        bad = hex_field(k, "checksum", 20, sum);
        key.has_checksum = bad.empty();
        if (bad.empty())
            memcpy(key.checksum, sum.data(), 20);
    }
    if (bad.empty() && k.contains("expiry") && !k["expiry"].is_null()) {
        key.expiry = k["expiry"].is_string() ? parse_list_date(k["expiry"].get<std::string>()) : -1;
        if (key.expiry < 0)
            bad = "expiry: not a date YYMMDD or YYYYMMDD";
    }
    if (bad.empty() && k.contains("name") && !k["name"].is_null()) {
        if (!k["name"].is_string())
            return "name: not a string";
        key.has_name = true;
        key.name = k["name"].get<std::string>();
    }
    return bad;
}

std::string read_key(const Json& k, ListedKey& key, std::string& label)
{
    if (!k.is_object())
        return "not an object";
    std::vector<uint8_t> rid, index, modulus, exponent;
    std::string bad = hex_field(k, "rid", 5, rid);
    if (bad.empty())
        bad = hex_field(k, "index", 1, index);
    if (!bad.empty())
        return bad;
    label = label_if_known(rid, index);
    bad = hex_field(k, "modulus", 0, modulus);
    if (bad.empty())
        bad = exponent_field(k, exponent);
    if (bad.empty())
        bad = check_key_sizes(rid, index, modulus, exponent, key);
    if (bad.empty() && k.contains("modulus_length") && k["modulus_length"] != Json(modulus.size()))
        bad = "modulus_length: does not match the modulus's " + std::to_string(modulus.size()) +
              " bytes";
    return bad.empty() ? optional_fields(k, key) : bad;
}

int64_t line_at(const std::string& text, size_t byte)
{
    int64_t line = 1;
    for (size_t i = 0; i < byte && i < text.size(); ++i)
        line += text[i] == '\n' ? 1 : 0;
    return line;
}

}  // namespace

KeyList read_json_list(const std::string& text)
{
    KeyList list;
    list.format = CapkFormat::kJson;
    Json doc;
    try {
        doc = Json::parse(text);
    } catch (const Json::parse_error& e) {
        list.problems.push_back({line_at(text, e.byte), "", std::string("not JSON: ") + e.what()});
        return list;
    } catch (const Json::exception& e) {
        // A number too large for any type, and the like.
        list.problems.push_back({1, "", std::string("not readable JSON: ") + e.what()});
        return list;
    }
    if (!doc.is_object() || !doc.contains("keys") || !doc["keys"].is_array()) {
        list.problems.push_back({1, "", "no \"keys\" array in the JSON document"});
        return list;
    }
    int64_t place = 0;
    for (const Json& k : doc["keys"]) {
        ListedKey key;
        key.line = ++place;
        std::string label;
        const std::string bad = read_key(k, key, label);
        if (bad.empty())
            list.keys.push_back(key);
        else
            list.problems.push_back({place, label, "key " + std::to_string(place) + ": " + bad});
    }
    return list;
}
