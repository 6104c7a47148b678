// The RSA key context and public operation against GMP's mpz_powm: CAPK
// moduli and 2048-bit keys, every status path with the output checked
// untouched, block-size rules, key replacement, the size refusals and the
// heap the layer takes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "crypto/bignum/bn_exp.h"
#include "crypto/rsa/rsa.h"
#include "tests/support/heap_faults.h"
#include "tests/support/oracles.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kSentinel = 0xA5;
constexpr int kTail = 8;  // sentinel bytes after every output block

struct KeyDeleter {
    void operator()(RsaKey* key) const { rsa_free(key); }
};
using KeyPtr = std::unique_ptr<RsaKey, KeyDeleter>;

KeyPtr new_key()
{
    RsaKey* key = nullptr;
    EXPECT_EQ(rsa_new(&key), CRYPTO_OK);
    return KeyPtr(key);
}

KeyPtr keyed(const Bytes& modulus, uint32_t exponent)
{
    KeyPtr key = new_key();
    EXPECT_EQ(rsa_set_public_key(key.get(), modulus.data(),
                                 static_cast<int32_t>(8 * modulus.size()), exponent),
              CRYPTO_OK);
    return key;
}

std::string hex(const Bytes& b)
{
    return support::Hex(b);
}

Bytes random_bytes(std::mt19937_64& rng, size_t n)
{
    Bytes b(n);
    for (auto& v : b)
        v = static_cast<uint8_t>(rng());
    return b;
}

// An RSA-shaped modulus: n bytes, top bit set, odd.
Bytes random_modulus(std::mt19937_64& rng, size_t n)
{
    Bytes m = random_bytes(rng, n);
    m[0] |= 0x80;
    m[n - 1] |= 1;
    return m;
}

// in^e mod n right-aligned in `size` bytes, from the oracle.
Bytes oracle(const Bytes& modulus, uint32_t e, const Bytes& in, size_t size)
{
    return support::PowMod(in, e, modulus, size);
}

// Runs rsa_public into a sentinel-filled buffer of size + kTail bytes;
// returns the status, the first `size` bytes in *block, and whether the
// sentinel bytes beyond `written` bytes survived.
struct PublicRun {
    CryptoStatus status;
    Bytes block;
    bool tail_intact;
};

PublicRun run_public(const RsaKey* key, const Bytes& in, size_t size)
{
    Bytes out(size + kTail, kSentinel);
    static const uint8_t kNothing = 0;  // a valid pointer for an empty input
    PublicRun run;
    run.status = rsa_public(key, out.data(), in.empty() ? &kNothing : in.data(),
                            static_cast<int32_t>(in.size()));
    run.block.assign(out.begin(), out.begin() + static_cast<long>(size));
    run.tail_intact = true;
    for (size_t i = size; i < out.size(); ++i)
        run.tail_intact &= out[i] == kSentinel;
    return run;
}

bool all_sentinel(const Bytes& b)
{
    for (uint8_t v : b)
        if (v != kSentinel)
            return false;
    return true;
}

// Inputs of one block against modulus m: random full-size, random short, the
// two-byte 02 03, zero, one, n - 1, all FF (at or above n), the single byte 02.
std::vector<Bytes> input_shapes(std::mt19937_64& rng, const Bytes& m)
{
    const size_t size = m.size();
    Bytes n_minus_1 = m;
    n_minus_1[size - 1] ^= 1;  // m is odd
    return {random_bytes(rng, size),
            random_bytes(rng, 1 + rng() % (size - 1)),
            Bytes{0x02, 0x03},
            Bytes(size, 0x00),
            Bytes{0x01},
            n_minus_1,
            Bytes(size, 0xFF),
            Bytes{0x02},
            Bytes{}};
}

// CAPK modulus sizes (1024, 1152, 1408, 1984 bits), 2048-bit keys, the
// largest modulus supported, and byte counts that are not a multiple of four
// (the division path), each with the two CAPK exponents.
TEST(RsaPublicTest, MatchesOracleForCapkAndLargerKeys)
{
    const uint64_t seed = 0x45a10001;
    const size_t kSizes[] = {128, 144, 176, 248, 256, 292, 129, 250, 66};
    for (size_t size : kSizes) {
        for (uint32_t e : {3u, 65537u}) {
            for (int round = 0; round < 3; ++round) {
                const uint64_t case_seed = seed + size * 16 + e + static_cast<uint64_t>(round);
                std::mt19937_64 rng(case_seed);
                const Bytes m = random_modulus(rng, size);
                KeyPtr key = keyed(m, e);
                for (const Bytes& in : input_shapes(rng, m)) {
                    PublicRun run = run_public(key.get(), in, size);
                    ASSERT_EQ(run.status, CRYPTO_OK) << "seed " << case_seed;
                    ASSERT_EQ(hex(run.block), hex(oracle(m, e, in, size)))
                        << "seed " << case_seed << " size " << size << " e " << e << "\n  in "
                        << hex(in) << "\n  n  " << hex(m);
                    ASSERT_TRUE(run.tail_intact) << "wrote past the block, seed " << case_seed;
                }
            }
        }
    }
}

TEST(RsaPublicTest, WorkedSmallResults)
{
    std::mt19937_64 rng(0x45a10002);
    const Bytes m = random_modulus(rng, 128);
    KeyPtr key = keyed(m, 3);

    Bytes expected(128, 0);
    expected[127] = 0x08;
    EXPECT_EQ(hex(run_public(key.get(), Bytes{0x02}, 128).block), hex(expected));  // 2^3
    EXPECT_EQ(hex(run_public(key.get(), Bytes(128, 0), 128).block), hex(Bytes(128, 0)));
    EXPECT_EQ(hex(run_public(key.get(), Bytes{}, 128).block), hex(Bytes(128, 0)));

    // Exponent 1 gives in mod n; exponent 0 gives 1 (zero for modulus 1).
    const Bytes ff(128, 0xFF);
    ASSERT_EQ(rsa_set_public_key(key.get(), m.data(), 8 * 128, 1), CRYPTO_OK);
    EXPECT_EQ(hex(run_public(key.get(), ff, 128).block), hex(oracle(m, 1, ff, 128)));
    ASSERT_EQ(rsa_set_public_key(key.get(), m.data(), 8 * 128, 0), CRYPTO_OK);
    expected[127] = 0x01;
    EXPECT_EQ(hex(run_public(key.get(), ff, 128).block), hex(expected));
    const Bytes one{0x01};
    ASSERT_EQ(rsa_set_public_key(key.get(), one.data(), 8, 0), CRYPTO_OK);
    EXPECT_EQ(hex(run_public(key.get(), Bytes{0x07}, 1).block), "00");
}

TEST(RsaPublicTest, OutputMayBeTheInputBuffer)
{
    std::mt19937_64 rng(0x45a10003);
    for (size_t size : {128u, 129u}) {
        const Bytes m = random_modulus(rng, size);
        KeyPtr key = keyed(m, 65537);
        Bytes buffer = random_bytes(rng, size);
        const Bytes expected = oracle(m, 65537, buffer, size);
        ASSERT_EQ(rsa_public(key.get(), buffer.data(), buffer.data(), static_cast<int32_t>(size)),
                  CRYPTO_OK);
        EXPECT_EQ(hex(buffer), hex(expected));
    }
}

// Every failure status, each with the output checked unwritten.
struct StatusCase {
    const char* name;
    std::function<CryptoStatus(RsaKey* key, uint8_t* out)> call;
    CryptoStatus expected;
};

TEST(RsaPublicTest, StatusPathsLeaveOutputUntouched)
{
    std::mt19937_64 rng(0x45a10004);
    const Bytes m = random_modulus(rng, 128);
    const Bytes in128 = random_bytes(rng, 128);
    const Bytes in129 = random_bytes(rng, 129);
    const Bytes zeros(128, 0);
    const uint8_t byte = 0x42;

    const StatusCase cases[] = {
        {"null key",
         [&](RsaKey*, uint8_t* out) { return rsa_public(nullptr, out, in128.data(), 128); },
         CRYPTO_ERR_NULL_ARGUMENT},
        {"null out", [&](RsaKey* k, uint8_t*) { return rsa_public(k, nullptr, in128.data(), 128); },
         CRYPTO_ERR_NULL_ARGUMENT},
        {"null in, length 0",
         [&](RsaKey* k, uint8_t* out) { return rsa_public(k, out, nullptr, 0); },
         CRYPTO_ERR_NULL_ARGUMENT},
        {"null in, length 128",
         [&](RsaKey* k, uint8_t* out) { return rsa_public(k, out, nullptr, 128); },
         CRYPTO_ERR_NULL_ARGUMENT},
        {"input one byte longer than the block",
         [&](RsaKey* k, uint8_t* out) { return rsa_public(k, out, in129.data(), 129); },
         CRYPTO_ERR_DATA_TOO_LONG},
        {"key never set, empty input",
         [&](RsaKey*, uint8_t* out) {
             KeyPtr fresh = new_key();
             return rsa_public(fresh.get(), out, &byte, 0);
         },
         CRYPTO_ERR_DATA_TOO_LONG},
        {"key never set, one byte",
         [&](RsaKey*, uint8_t* out) {
             KeyPtr fresh = new_key();
             return rsa_public(fresh.get(), out, &byte, 1);
         },
         CRYPTO_ERR_DATA_TOO_LONG},
        {"all-zero modulus, empty input",
         [&](RsaKey* k, uint8_t* out) {
             EXPECT_EQ(rsa_set_public_key(k, zeros.data(), 8 * 128, 3), CRYPTO_OK);
             return rsa_public(k, out, &byte, 0);
         },
         CRYPTO_ERR_DATA_TOO_LONG},
        {"modulus of 7 bits, empty input",
         [&](RsaKey* k, uint8_t* out) {
             EXPECT_EQ(rsa_set_public_key(k, m.data(), 7, 3), CRYPTO_OK);
             return rsa_public(k, out, &byte, 0);
         },
         CRYPTO_ERR_DATA_TOO_LONG},
        {"set with null key",
         [&](RsaKey*, uint8_t*) { return rsa_set_public_key(nullptr, m.data(), 8 * 128, 3); },
         CRYPTO_ERR_NULL_ARGUMENT},
        {"set with null modulus",
         [&](RsaKey* k, uint8_t*) { return rsa_set_public_key(k, nullptr, 8 * 128, 3); },
         CRYPTO_ERR_NULL_ARGUMENT},
    };

    rsa_free(nullptr);  // accepted, does nothing
    for (const StatusCase& c : cases) {
        SCOPED_TRACE(c.name);
        KeyPtr key = keyed(m, 3);
        Bytes out(128 + kTail, kSentinel);
        EXPECT_EQ(c.call(key.get(), out.data()), c.expected);
        EXPECT_TRUE(all_sentinel(out));
    }

    // A refused set leaves the key as it was; a refused input leaves it usable.
    KeyPtr key = keyed(m, 3);
    ASSERT_EQ(rsa_set_public_key(key.get(), nullptr, 8 * 128, 65537), CRYPTO_ERR_NULL_ARGUMENT);
    ASSERT_EQ(run_public(key.get(), in129, 129).status, CRYPTO_ERR_DATA_TOO_LONG);
    EXPECT_EQ(hex(run_public(key.get(), in128, 128).block), hex(oracle(m, 3, in128, 128)));
}

// A modulus with more significant bytes than the exponentiation holds is
// refused before anything is written and the previous key stays in force;
// leading zero bytes never count, however many there are.
TEST(RsaKeyTest, ModulusSizeLimit)
{
    const uint64_t seed = 0x45a10005;
    std::mt19937_64 rng(seed);
    const Bytes first = random_modulus(rng, 128);
    const Bytes in = random_bytes(rng, 128);
    KeyPtr key = keyed(first, 3);

    struct LimitCase {
        const char* name;
        size_t zeros;        // leading zero bytes
        size_t significant;  // bytes from the first non-zero one on
        bool accepted;
    };
    const LimitCase cases[] = {
        {"293 bytes", 0, 293, false},
        {"600 bytes", 0, 600, false},
        {"2000 bytes", 0, 2000, false},
        {"293 significant after 7 zeros", 7, 293, false},
        {"292 bytes", 0, 292, true},
        {"292 significant after 3000 zeros", 3000, 292, true},
        {"128 significant after 700 zeros", 700, 128, true},
    };
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes m(c.zeros, 0);
        const Bytes tail = random_modulus(rng, c.significant);
        m.insert(m.end(), tail.begin(), tail.end());
        const CryptoStatus status =
            rsa_set_public_key(key.get(), m.data(), static_cast<int32_t>(8 * m.size()), 65537);
        if (!c.accepted) {
            EXPECT_EQ(status, CRYPTO_ERR_DATA_TOO_LONG);
            PublicRun run = run_public(key.get(), in, 128);  // still the first key
            EXPECT_EQ(run.status, CRYPTO_OK);
            EXPECT_EQ(hex(run.block), hex(oracle(first, 3, in, 128)));
            continue;
        }
        EXPECT_EQ(status, CRYPTO_OK);
        const Bytes x = random_bytes(rng, c.significant);
        PublicRun run = run_public(key.get(), x, c.significant);
        EXPECT_EQ(run.status, CRYPTO_OK);
        EXPECT_EQ(hex(run.block), hex(oracle(tail, 65537, x, c.significant))) << "seed " << seed;
        EXPECT_TRUE(run.tail_intact);
        ASSERT_EQ(rsa_set_public_key(key.get(), first.data(), 8 * 128, 3), CRYPTO_OK);
    }

    // A bit count that reads as a huge unsigned byte count: refused at the
    // first significant byte, nothing past it is read.
    EXPECT_EQ(rsa_set_public_key(key.get(), first.data(), -8, 3), CRYPTO_ERR_DATA_TOO_LONG);
    EXPECT_EQ(hex(run_public(key.get(), in, 128).block), hex(oracle(first, 3, in, 128)));
}

// m bytes with a leading 00: the block size is m - 1.
TEST(RsaKeyTest, LeadingZeroModulusShortensTheBlock)
{
    std::mt19937_64 rng(0x45a10006);
    for (size_t m_bytes : {129u, 145u, 249u}) {
        SCOPED_TRACE(m_bytes);
        Bytes m = random_modulus(rng, m_bytes);
        m[0] = 0x00;
        m[1] |= 0x80;
        KeyPtr key = keyed(m, 3);
        const Bytes full = random_bytes(rng, m_bytes);
        PublicRun refused = run_public(key.get(), full, m_bytes);
        EXPECT_EQ(refused.status, CRYPTO_ERR_DATA_TOO_LONG);
        EXPECT_TRUE(all_sentinel(refused.block));

        const Bytes in = random_bytes(rng, m_bytes - 1);
        PublicRun run = run_public(key.get(), in, m_bytes - 1);
        EXPECT_EQ(run.status, CRYPTO_OK);
        EXPECT_EQ(hex(run.block), hex(oracle(m, 3, in, m_bytes - 1)));
        EXPECT_TRUE(run.tail_intact);
    }
}

TEST(RsaKeyTest, SecondKeyReplacesTheFirst)
{
    std::mt19937_64 rng(0x45a10007);
    const Bytes long_m = random_modulus(rng, 248);
    const Bytes short_m = random_modulus(rng, 128);
    KeyPtr key = keyed(long_m, 3);
    const Bytes in248 = random_bytes(rng, 248);
    ASSERT_EQ(hex(run_public(key.get(), in248, 248).block), hex(oracle(long_m, 3, in248, 248)));

    ASSERT_EQ(rsa_set_public_key(key.get(), short_m.data(), 8 * 128, 65537), CRYPTO_OK);
    EXPECT_EQ(run_public(key.get(), Bytes(129, 1), 129).status, CRYPTO_ERR_DATA_TOO_LONG);
    const Bytes in128 = random_bytes(rng, 128);
    PublicRun run = run_public(key.get(), in128, 128);
    EXPECT_EQ(run.status, CRYPTO_OK);
    EXPECT_EQ(hex(run.block), hex(oracle(short_m, 65537, in128, 128)));
    EXPECT_TRUE(run.tail_intact);
}

// rsa_new takes one zero-filled block and nothing else; rsa_public takes one
// buffer of one block size; a heap failure of either is reported with
// nothing written.
TEST(RsaHeapTest, TakesExactlyItsHeapAndReportsFailures)
{
    std::mt19937_64 rng(0x45a10009);
    const Bytes m = random_modulus(rng, 176);
    const Bytes in = random_bytes(rng, 176);

    RsaKey* key = nullptr;
    heap_faults::FailNth(0);
    CryptoStatus status = rsa_new(&key);
    ASSERT_EQ(status, CRYPTO_OK);
    KeyPtr owned(key);
    EXPECT_EQ(heap_faults::Callocs(), 1);
    EXPECT_EQ(heap_faults::Mallocs(), 0);
    EXPECT_EQ(heap_faults::LastSize(), sizeof(RsaKey));

    heap_faults::FailNth(0);
    status = rsa_set_public_key(key, m.data(), 8 * 176, 3);
    ASSERT_EQ(status, CRYPTO_OK);
    EXPECT_EQ(heap_faults::Calls(), 0);

    Bytes out(176 + kTail, kSentinel);
    heap_faults::FailNth(0);
    status = rsa_public(key, out.data(), in.data(), 176);
    ASSERT_EQ(status, CRYPTO_OK);
    EXPECT_EQ(heap_faults::Mallocs(), 1);
    EXPECT_EQ(heap_faults::Callocs(), 0);
    EXPECT_EQ(heap_faults::LastSize(), 176u);

    // Result buffer refused: CRYPTO_ERR_MEMORY, out unwritten, key still usable.
    std::fill(out.begin(), out.end(), kSentinel);
    heap_faults::FailNth(1);
    status = rsa_public(key, out.data(), in.data(), 176);
    EXPECT_EQ(status, CRYPTO_ERR_MEMORY);
    EXPECT_TRUE(all_sentinel(out));
    PublicRun run = run_public(key, in, 176);
    EXPECT_EQ(run.status, CRYPTO_OK);
    EXPECT_EQ(hex(run.block), hex(oracle(m, 3, in, 176)));

    // Context block refused: CRYPTO_ERR_MEMORY and a null key.
    RsaKey* none = reinterpret_cast<RsaKey*>(&status);
    heap_faults::FailNth(1);
    status = rsa_new(&none);
    EXPECT_EQ(status, CRYPTO_ERR_MEMORY);
    EXPECT_EQ(none, nullptr);
}

}  // namespace
