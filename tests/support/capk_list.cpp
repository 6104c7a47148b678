#include "tests/support/capk_list.h"

#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/capk_rules.h"
#include "tests/support/oracles.h"

namespace support {

const char kWorkedExample[] = "CAPK list for tests\n"
                              "RID : \"A000000999\"\n"
                              "INDEX : \"F1\"\n"
                              "MODULUS : \"C1D2E3F405162738495A6B7C8D9EAFB0\"\n"
                              "EXPONENT : 3\n"
                              "CHECKSUM : \"1D78CDFBF094F38E953AE0FB61C4EF0AFDCB50BF\"\n"
                              "\n"
                              "RID : \"A0000009\"\n"
                              "INDEX : \"F9\"\n"
                              "MODULUS : \"00\"\n"
                              "EXPONENT : 3\n"
                              "CHECKSUM : \"0000000000000000000000000000000000000000\"\n"
                              "\n"
                              "RID : \"A0 00 00 09 99\"\n"
                              "INDEX : \"F2\"\n"
                              "MODULUS : \"9B2A7C4D1E0F3A5B 6C7D8E9FA0B1C2D3 E4F5061728394A5B\"\n"
                              "EXPONENT : 65537\n"
                              "CHECKSUM : \"642B9959CC50121946109E1002CB3CFBB8DC69BC\"\n";

CapkRecord RecordOf(const ListKey& key)
{
    CapkRecord record;
    std::memset(&record, 0, sizeof record);
    std::memcpy(record.rid, key.rid.data(), std::min(key.rid.size(), sizeof record.rid));
    record.index = key.index;
    size_t n = std::min(key.modulus.size(), sizeof record.modulus);
    if (n > 0)
        std::memcpy(record.modulus, key.modulus.data(), n);
    record.modulus_length = (int32_t)n;
    record.exponent = key.exponent;
    return record;
}

Bytes ChecksumInput(const CapkRecord& record)
{
    Bytes input(kCapkChecksumInputMax);
    int32_t n = capk_checksum_input(&record, input.data());
    input.resize(n < 0 ? 0 : (size_t)n);
    return input;
}

Bytes ChecksumInput(const ListKey& key)
{
    return ChecksumInput(RecordOf(key));
}

std::string ListEntry(const ListKey& key)
{
    Bytes checksum = key.checksum.empty() ? Sha1(ChecksumInput(key)) : key.checksum;
    return "RID : \"" + Hex(key.rid) + "\"\n" + "INDEX : \"" + Hex({key.index}) + "\"\n" +
           "MODULUS : \"" + Hex(key.modulus) + "\"\n" +
           "EXPONENT : " + std::to_string(key.exponent) + "\n" + "CHECKSUM : \"" + Hex(checksum) +
           "\"\n";
}

TempDir::TempDir()
{
    static std::atomic<int> serial{0};
    std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("tarvello_test_" + std::to_string(getpid()) + "_" + std::to_string(serial++));
    std::filesystem::create_directories(path);
    path_ = path.string();
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Write(const std::string& name, const std::string& content) const
{
    std::string file = Path(name);
    std::ofstream(file, std::ios::binary) << content;
    return file;
}

std::string TempDir::Path(const std::string& name) const
{
    return path_ + "/" + name;
}

}  // namespace support
