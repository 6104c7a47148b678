// A plain reader of CAPK list files for the end-to-end expectations, written
// apart from the program's own reader so that the two can disagree: keys are
// five tagged lines (RID, INDEX, MODULUS, EXPONENT, CHECKSUM) in this order,
// quoted hex values with blanks allowed in front of bytes, decoding ending at
// the first other character; a key whose field has the wrong size is dropped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace e2e_expect {

using Bytes = std::vector<uint8_t>;

struct Key {
    Bytes rid;  // 5 bytes
    uint8_t index = 0;
    Bytes modulus;  // 0 to 248 bytes
    long exponent = 0;
    Bytes checksum;  // 20 bytes
};

// Reads the keys of `path` in file order, at most 100. Returns false if the
// file cannot be read.
bool ReadCapkList(const std::string& path, std::vector<Key>* keys);

}  // namespace e2e_expect
