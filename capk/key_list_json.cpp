// The JSON document of a key list.

#include "capk/key_list_json.h"

using Json = nlohmann::ordered_json;

namespace {

std::string two_digits(uint8_t value)
{
    return hex_upper(&value, 1);
}

}  // namespace

Json listed_key_json(const ListedKey& key)
{
    Json k;
    k["label"] = listed_key_label(key);
    k["line"] = key.line;
    k["rid"] = hex_upper(key.rid, 5);
    k["index"] = two_digits(key.index);
    k["modulus_length"] = key.modulus.size();
    const int64_t e = exponent_value(key.exponent);
    k["exponent"] = e >= 0 ? Json(e) : Json(hex_upper(key.exponent));
    k["checksum"] = key.has_checksum ? Json(hex_upper(key.checksum, 20)) : Json();
    k["modulus"] = hex_upper(key.modulus);
    k["expiry"] = key.expiry > 0 ? Json(shown_date(key.expiry)) : Json();
    k["hash_algorithm"] = two_digits(key.hash_algorithm);
    k["pk_algorithm"] = two_digits(key.pk_algorithm);
    k["name"] = key.has_name ? Json(key.name) : Json();
    return k;
}

Json key_list_json(const std::vector<ListedKey>& keys, CapkFormat format)
{
    Json doc;
    doc["format"] = capk_format_name(format);
    doc["count"] = keys.size();
    doc["keys"] = Json::array();
    for (const ListedKey& key : keys)
        doc["keys"].push_back(listed_key_json(key));
    return doc;
}
