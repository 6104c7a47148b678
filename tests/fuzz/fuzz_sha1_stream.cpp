// Streaming SHA-1 against the tests' SHA-1 oracle. The first 4 input bytes seed the split of
// the rest, the message, into pieces (zero-length ones included); the same
// message is also hashed one-shot, and byte by byte on a second context
// interleaved with the first. Every digest must equal the oracle's.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "crypto/sha1/sha1.h"
#include "tests/support/oracles.h"

namespace {

uint32_t next(uint32_t& x)
{
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return x;
}

void check(const uint8_t* ours, const uint8_t* expected)
{
    if (std::memcmp(ours, expected, kSha1DigestSize) != 0)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint32_t seed = 0x12345678;
    if (size >= 4) {
        seed ^=
            (uint32_t)data[0] << 24 | (uint32_t)data[1] << 16 | (uint32_t)data[2] << 8 | data[3];
        data += 4;
        size -= 4;
    }
    if (seed == 0)
        seed = 1;
    // An exact-size copy, so the sanitizer sees any read past the message.
    std::vector<uint8_t> message(data, data + size);
    static const uint8_t none = 0;
    const uint8_t* m = message.empty() ? &none : message.data();
    const uint32_t n = (uint32_t)size;

    const support::Bytes oracle = support::Sha1(m, size);
    const uint8_t* expected = oracle.data();

    uint8_t digest[kSha1DigestSize];
    if (sha1_digest(m, n, digest) != CRYPTO_OK)
        std::abort();
    check(digest, expected);

    Sha1Context pieces, bytes;
    sha1_init(&pieces);
    sha1_init(&bytes);
    uint32_t at = 0, at_bytes = 0;
    while (at < n) {
        uint32_t r = next(seed);
        uint32_t left = n - at;
        uint32_t len = (r & 3) == 0 ? (r >> 2) % (left + 1) : (r >> 2) % 130;
        if (len > left)
            len = left;
        sha1_update(&pieces, m + at, len);
        at += len;
        if (at_bytes < n)
            sha1_update(&bytes, m + at_bytes++, 1);
    }
    while (at_bytes < n)
        sha1_update(&bytes, m + at_bytes++, 1);

    sha1_final(&pieces, digest);
    check(digest, expected);
    sha1_final(&bytes, digest);
    check(digest, expected);
    return 0;
}
