// Fuzzes the CAPK list-file reader: the input becomes the whole file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/capk_file.h"

#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond))                                                                               \
            std::abort();                                                                          \
    } while (0)

namespace {

constexpr uint8_t kSentinel = 0x5A;

const std::string& scratch_path()
{
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        std::string p = std::string(dir != nullptr ? dir : "/tmp") + "/fuzz_capk_file_" +
                        std::to_string(getpid()) + ".txt";
        std::atexit([] { std::remove(scratch_path().c_str()); });
        return p;
    }();
    return path;
}

bool all_bytes(const void* p, size_t n, uint8_t value)
{
    const uint8_t* b = static_cast<const uint8_t*>(p);
    for (size_t i = 0; i < n; ++i)
        if (b[i] != value)
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& path = scratch_path();
    FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, file) == size);
    std::fclose(file);

    std::vector<CapkRecord> records(kMaxCapks);
    std::memset(records.data(), kSentinel, records.size() * sizeof(CapkRecord));
    int32_t count = -1;
    FUZZ_CHECK(load_capk_file(path.c_str(), records.data(), &count) == 0);
    FUZZ_CHECK(count >= 0 && count <= kMaxCapks);

    for (int32_t i = 0; i < kMaxCapks; ++i) {
        const CapkRecord& r = records[static_cast<size_t>(i)];
        if (i >= count) {
            FUZZ_CHECK(all_bytes(&r, sizeof r, kSentinel));
            continue;
        }
        FUZZ_CHECK(r.modulus_length >= 0 && r.modulus_length <= kMaxModulusLength);
        FUZZ_CHECK(r.exponent == 3 || r.exponent == 65537);
        FUZZ_CHECK(all_bytes(r.modulus + r.modulus_length,
                             static_cast<size_t>(kMaxModulusLength - r.modulus_length), 0));
    }
    return 0;
}
