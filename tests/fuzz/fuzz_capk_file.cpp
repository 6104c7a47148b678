// Fuzzes the CAPK list-file readers: the input becomes the whole file, read
// by the window's reader and by the command line's strict one. The strict
// reader never lets a key the window would misread pass unreported: with no
// problem reported, both read exactly the same keys (the window at most its
// 100); every key the window accepts is listed by the strict reader or the
// strict reader reports a problem.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "capk/strict_capk_list.h"
#include "core/capk_file.h"
#include "tests/fuzz/fuzz_check.h"

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

bool same_key(const CapkRecord& a, const CapkRecord& b)
{
    return std::memcmp(a.rid, b.rid, sizeof a.rid) == 0 && a.index == b.index &&
           a.modulus_length == b.modulus_length && a.exponent == b.exponent &&
           std::memcmp(a.modulus, b.modulus, sizeof a.modulus) == 0 &&
           std::memcmp(a.checksum, b.checksum, sizeof a.checksum) == 0;
}

bool listed(const StrictCapkList& strict, const CapkRecord& r)
{
    for (const CapkRecord& k : strict.keys) {
        if (same_key(k, r))
            return true;
    }
    return false;
}

void check_strict(const std::string& path, const std::vector<CapkRecord>& window, int32_t count)
{
    const StrictCapkList strict = read_strict_capk_list(path);
    FUZZ_CHECK(strict.error == 0);
    FUZZ_CHECK(strict.keys.size() == strict.key_lines.size());
    int64_t previous = 0;
    for (size_t i = 0; i < strict.keys.size(); ++i) {
        const CapkRecord& k = strict.keys[i];
        FUZZ_CHECK(k.modulus_length >= 1 && k.modulus_length <= kMaxModulusLength);
        FUZZ_CHECK(k.exponent == 3 || k.exponent == 65537);
        FUZZ_CHECK(strict.key_lines[i] > previous);
        previous = strict.key_lines[i];
    }
    previous = 1;
    for (const CapkListProblem& p : strict.problems) {
        FUZZ_CHECK(p.line >= previous && !p.reason.empty());
        FUZZ_CHECK(p.label.empty() || p.label.size() == 13);
        previous = p.line;
    }
    for (int32_t i = 0; i < count; ++i)
        FUZZ_CHECK(!strict.problems.empty() || listed(strict, window[static_cast<size_t>(i)]));
    if (strict.problems.empty()) {
        const size_t n = strict.keys.size();
        FUZZ_CHECK(static_cast<size_t>(count) == (n < kMaxCapks ? n : kMaxCapks));
        for (int32_t i = 0; i < count; ++i) {
            const size_t at = static_cast<size_t>(i);
            FUZZ_CHECK(same_key(window[at], strict.keys[at]));
        }
    }
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
    check_strict(path, records, count);
    return 0;
}
