// CAPK list files as the subcommands read them: with the window's reader,
// rules and 100-key limit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/capk.h"

// Every key the reader accepts from the file at path, in file order. Throws
// UsageError, naming argument, when the file cannot be opened.
std::vector<CapkRecord> load_capk_list(const std::string& argument, const std::string& path);

// The first key of the list file at path listed under label (either letter
// case). Throws UsageError naming list_argument when the file cannot be
// opened, and naming key_argument when no key has that label.
CapkRecord find_listed_key(const std::string& list_argument, const std::string& path,
                           const std::string& key_argument, const std::string& label);

// The checksum input of a key (RID | index | modulus | exponent) and its
// SHA-1 digest, the value a list stores as the key's checksum.
struct KeyChecksum {
    std::vector<uint8_t> input;
    std::vector<uint8_t> digest;
};
KeyChecksum compute_checksum(const CapkRecord& rec);
