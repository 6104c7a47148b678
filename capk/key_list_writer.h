// Writing keys in each form, for `convert`. The writers take keys that
// passed verification (no failure but expiry): a tarvello exponent is 3 or
// 65537, every key carries a checksum (the caller computes a missing one).
#pragma once

#include <string>
#include <vector>

#include "capk/key_list.h"

// The text of keys in format; reading it back gives the same keys and the
// fields the form holds.
std::string write_key_list(const std::vector<ListedKey>& keys, CapkFormat format);

// The fields of key that format cannot hold ("expiry", "name", "hash
// algorithm indicator 02"...), empty when it holds them all.
std::vector<std::string> unheld_fields(const ListedKey& key, CapkFormat format);
