// Test helpers for the big-number library: numbers on exactly sized heap
// areas (so that ASan sees any write past the documented capacity),
// conversion to and from GMP, random operands of chosen shapes and hex dumps
// for failure traces.
#pragma once

#include <gmp.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "crypto/bignum/bignum.h"
#include "tests/support/bn_gmp.h"

namespace bntest {

// A BigNum that owns a heap area of exactly `capacity` digits. The unused
// part of the area is filled with a junk pattern so that code reading digits
// beyond `length` is caught by wrong results.
class Num {
public:
    explicit Num(int capacity);
    Num(const Num&) = delete;
    Num& operator=(const Num&) = delete;

    BigNum* get() { return &bn_; }
    const BigNum* get() const { return &bn_; }
    BigNum* operator->() { return &bn_; }
    const BigNum* operator->() const { return &bn_; }
    int capacity() const { return capacity_; }

    // Sets digits (least significant first), length and sign; fills the rest
    // of the area with junk.
    void set(const std::vector<uint32_t>& digits, bool negative = false);
    // Sets the value from GMP (sign included); length is the minimal one.
    void set_mpz(const mpz_t value);
    // The digits in use.
    std::vector<uint32_t> digits() const;

private:
    int capacity_;
    std::unique_ptr<uint32_t[]> area_;
    BigNum bn_;
};

using support::to_mpz;
// "-0x1234_89abcdef (len 2)": digits most significant first, sign, length.
std::string hex(const BigNum* a);
std::string hex(const mpz_t a);
// True when a has the value of want (sign included) and is in normal form.
bool equals(const BigNum* a, const mpz_t want);

// Shapes of random operands that stress carries, borrows and normalisation.
enum class Shape {
    kRandom,      // uniform digits
    kAllOnes,     // every digit 0xFFFFFFFF
    kPowerOfTwo,  // one bit set in the top digit
    kTopFull,     // top digit has bit 31 set, the rest random
    kSparse,      // mostly zero digits with a few 0xFFFFFFFF or 1
    kOnesBelow,   // 2^k - 1 for a random bit length k in the top digit
    kCount
};

class Rng {
public:
    explicit Rng(uint64_t seed) : engine_(seed) {}
    uint32_t digit() { return static_cast<uint32_t>(engine_()); }
    // Uniform in [lo, hi].
    int range(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(engine_); }
    // n digits of the given shape, top digit non-zero (normal form).
    std::vector<uint32_t> digits(int n, Shape shape);
    std::vector<uint32_t> digits(int n)
    {
        return digits(n, static_cast<Shape>(range(0, static_cast<int>(Shape::kCount) - 1)));
    }

private:
    std::mt19937_64 engine_;
};

// GMP's random state, seeded once with a fixed value.
gmp_randstate_t& gmp_state();

using support::Mpz;

}  // namespace bntest
