// CAPK list files for tests: keys written in the five tagged lines, their
// checksum input, the format's worked example, and a scratch folder.
#pragma once

#include <string>

#include "core/capk.h"
#include "tests/support/hex.h"

namespace support {

// One key as written into a list file.
struct ListKey {
    Bytes rid;
    uint8_t index;
    Bytes modulus;
    int exponent;
    Bytes checksum;  // empty: the SHA-1 of the checksum input
};

// The record the list reader makes of a key.
CapkRecord RecordOf(const ListKey& key);
// Checksum input of a record, as the program builds it (capk_checksum_input);
// empty for an exponent the rules refuse.
Bytes ChecksumInput(const CapkRecord& record);
Bytes ChecksumInput(const ListKey& key);
// The key in the five tagged lines of a list file.
std::string ListEntry(const ListKey& key);

// The three-key list file of the format's worked example: two keys accepted
// (A000000999_F1 with exponent 3, A000000999_F2 with 65537), one dropped.
extern const char kWorkedExample[];

// A private folder under the system temp dir, removed with its files.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Writes content byte for byte and returns the file's path.
    std::string Write(const std::string& name, const std::string& content) const;
    std::string Path(const std::string& name) const;

private:
    std::string path_;
};

}  // namespace support
