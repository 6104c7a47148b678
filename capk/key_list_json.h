// A key list as the JSON document `list --json` prints and the json form
// reads back: {"format", "count", "keys": [{label, line, rid, index,
// modulus_length, modulus, exponent, checksum, expiry, hash_algorithm,
// pk_algorithm, name}]}.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "capk/key_list.h"

nlohmann::ordered_json listed_key_json(const ListedKey& key);
nlohmann::ordered_json key_list_json(const std::vector<ListedKey>& keys, CapkFormat format);
