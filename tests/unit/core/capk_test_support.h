// Helpers shared by the list-file tests: scratch files and the checksum oracle.
#pragma once

#include <openssl/sha.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/capk.h"
#include "core/capk_rules.h"

namespace capk_test {

// A private folder under the system temp dir, removed with its files.
class TempDir {
public:
    TempDir() {
        static std::atomic<int> serial{0};
        path_ = std::filesystem::temp_directory_path() /
                ("tarvello_core_" + std::to_string(getpid()) + "_" + std::to_string(serial++));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Writes content byte for byte and returns the file's path.
    std::string write(const std::string& name, const std::string& content) const {
        const std::filesystem::path file = path_ / name;
        std::ofstream(file, std::ios::binary) << content;
        return file.string();
    }
    std::string path(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Checksum input of a record, as the product builds it; the stored checksums of
// the published keys are what proves it.
inline std::vector<uint8_t> checksum_input(const CapkRecord& r) {
    std::vector<uint8_t> in(kCapkChecksumInputMax);
    const int32_t n = capk_checksum_input(&r, in.data());
    in.resize(n < 0 ? 0 : static_cast<size_t>(n));
    return in;
}

// SHA-1 of the checksum input, computed by OpenSSL.
inline std::vector<uint8_t> oracle_checksum(const CapkRecord& r) {
    const std::vector<uint8_t> in = checksum_input(r);
    std::vector<uint8_t> digest(SHA_DIGEST_LENGTH);
    SHA1(in.data(), in.size(), digest.data());
    return digest;
}

inline std::string hex(const uint8_t* bytes, size_t n) {
    std::string text;
    char pair[3];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
        text += pair;
    }
    return text;
}

}  // namespace capk_test
