// Helpers shared by the SHA-1 tests: the oracle and hex printing of
// tests/support in the tests' own terms, and a small seeded generator whose
// seed every differential test prints.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "crypto/sha1/sha1.h"
#include "tests/support/oracles.h"

using Digest = std::vector<uint8_t>;

inline std::string to_hex(const uint8_t* bytes, size_t n)
{
    return support::Hex(bytes, n);
}

inline std::string to_hex(const Digest& d)
{
    return support::Hex(d);
}

// A vector's bytes as the commands pass them: never a null pointer, also
// for an empty message (sha1_digest refuses null data).
inline const uint8_t* bytes_of(const std::vector<uint8_t>& v)
{
    static const uint8_t none = 0;
    return v.empty() ? &none : v.data();
}

inline std::string oracle_sha1_hex(const uint8_t* data, size_t n)
{
    return support::Hex(support::Sha1(data, n));
}

inline std::string tarvello_sha1_hex(const uint8_t* data, uint32_t n)
{
    uint8_t out[kSha1DigestSize];
    if (sha1_digest(data, n, out) != CRYPTO_OK)
        return "status error";
    return to_hex(out, sizeof out);
}

// xorshift64*: reproducible from the printed seed, independent of the
// standard library's distributions.
class TestRng {
public:
    explicit TestRng(uint64_t seed) : state_(seed ? seed : 1) {}
    uint64_t next()
    {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1Dull;
    }
    // Uniform enough in [0, n) for test sizes.
    uint32_t below(uint32_t n) { return (uint32_t)(next() >> 32) % n; }
    std::vector<uint8_t> bytes(size_t n)
    {
        std::vector<uint8_t> v(n);
        for (auto& b : v)
            b = (uint8_t)(next() >> 56);
        return v;
    }

private:
    uint64_t state_;
};
