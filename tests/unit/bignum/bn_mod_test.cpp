// Remainder, modular product (with its aliasing) and modular inverse
// against GMP.
#include <gtest/gtest.h>

#include "bn_oracle.h"
#include "crypto/bignum/bignum.h"

using bntest::Mpz;
using bntest::Num;
using bntest::Rng;

namespace {

using Digits = std::vector<uint32_t>;

// Value check that accepts either form of zero (a zero remainder may be the
// explicit zero) but nothing else out of normal form.
::testing::AssertionResult same_value(const BigNum* got, const mpz_t want)
{
    Mpz g;
    bntest::to_mpz(g, got);
    const bool zero_ok =
        mpz_sgn(want) == 0 && (got->length == 0 || (got->length == 1 && got->digits[0] == 0));
    if (zero_ok ||
        (mpz_cmp(g, want) == 0 && got->length > 0 && got->digits[got->length - 1] != 0)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "got " << bntest::hex(got) << " want " << bntest::hex(want);
}

TEST(BnMod, ReducesIntoItselfAndSeparately)
{
    const uint64_t seed = 41;
    Rng rng(seed);
    Mpz x, m, want;
    for (int iter = 0; iter < 3000; ++iter) {
        const int na = rng.range(1, 147);
        const int nm = rng.range(1, std::min(na + 1, 73));
        Num a(na), mod(nm), r(na);
        a.set(rng.digits(na));
        mod.set(rng.digits(nm));
        SCOPED_TRACE("seed " + std::to_string(seed) + " iteration " + std::to_string(iter) +
                     "\n a = " + bntest::hex(a.get()) + "\n m = " + bntest::hex(mod.get()));
        to_mpz(x, a.get());
        to_mpz(m, mod.get());
        mpz_tdiv_r(want, x, m);
        ASSERT_EQ(bn_mod(r.get(), a.get(), mod.get()), 1);
        ASSERT_TRUE(same_value(r.get(), want));
        ASSERT_EQ(bn_mod(a.get(), a.get(), mod.get()), 1);
        ASSERT_TRUE(same_value(a.get(), want)) << "in place";
    }
}

// r = a * b mod m for every aliasing the exponentiation uses: a square with
// r = a = b, a product with r = a and with r = b, and equal values in
// different objects (multiplied, not squared: same result either way).
TEST(BnModMul, AliasingAgainstGmp)
{
    const uint64_t seed = 42;
    Rng rng(seed);
    Mpz x, y, m, want;
    for (int iter = 0; iter < 3000; ++iter) {
        const int nm = rng.range(1, 73);
        const int na = rng.range(1, 73);
        const int nb = rng.range(1, 147 - na < 73 ? 147 - na : 73);
        Num mod(nm);
        Digits dm = rng.digits(nm);
        if (iter % 3 == 0) {
            dm[nm - 1] |= 0x80000000u;
            dm[0] |= 1u;
        }
        mod.set(dm);
        const Digits da = rng.digits(na);
        const Digits db = rng.digits(nb);
        // Room for the remainder, which is the whole product when m is larger.
        const int cap = std::max(std::max(na, nb), std::min(na + nb, nm));
        SCOPED_TRACE("seed " + std::to_string(seed) + " iteration " + std::to_string(iter) +
                     "\n m = " + bntest::hex(mod.get()));
        to_mpz(m, mod.get());

        Num a(cap), b(cap), r(cap);
        a.set(da);
        b.set(db);
        to_mpz(x, a.get());
        to_mpz(y, b.get());
        mpz_mul(want, x, y);
        mpz_tdiv_r(want, want, m);
        ASSERT_EQ(bn_mod_mul(r.get(), a.get(), b.get(), mod.get()), 1);
        ASSERT_TRUE(same_value(r.get(), want)) << "r separate";
        ASSERT_EQ(bn_mod_mul(a.get(), a.get(), b.get(), mod.get()), 1);
        ASSERT_TRUE(same_value(a.get(), want)) << "r = a";
        a.set(da);
        ASSERT_EQ(bn_mod_mul(b.get(), a.get(), b.get(), mod.get()), 1);
        ASSERT_TRUE(same_value(b.get(), want)) << "r = b";

        const int square_cap = std::max(na, std::min(2 * na, nm));
        Num c(square_cap), twin(na);
        c.set(da);
        twin.set(da);
        mpz_mul(want, x, x);
        mpz_tdiv_r(want, want, m);
        Num rs(square_cap);
        ASSERT_EQ(bn_mod_mul(rs.get(), c.get(), twin.get(), mod.get()), 1);
        ASSERT_TRUE(same_value(rs.get(), want)) << "equal values";
        ASSERT_EQ(bn_mod_mul(c.get(), c.get(), c.get(), mod.get()), 1);
        ASSERT_TRUE(same_value(c.get(), want)) << "r = a = b";
    }
}

// The product of an explicit zero keeps zero digits on top; whatever the
// other factor's length and the modulus's shape, the remainder is zero.
TEST(BnModMul, ExplicitZeroFactor)
{
    const Digits moduli[] = {{0xF0000000}, {7}, {2, 0x80000000}, {1, 2, 3}, Digits(73, 0xFFFFFFFF)};
    for (const Digits& dm : moduli) {
        for (int nb : {1, 2, 40, 73}) {
            Num mod(static_cast<int>(dm.size())), zero(1), b(nb), r(nb + 1);
            mod.set(dm);
            Digits db(static_cast<size_t>(nb), 0x9E3779B9u);
            b.set(db);
            zero.set({0});
            SCOPED_TRACE("m = " + bntest::hex(mod.get()) + ", other factor " + std::to_string(nb) +
                         " digits");
            Mpz want;  // zero
            ASSERT_EQ(bn_mod_mul(r.get(), zero.get(), b.get(), mod.get()), 1);
            EXPECT_TRUE(same_value(r.get(), want)) << "0 * b";
            ASSERT_EQ(bn_mod_mul(r.get(), b.get(), zero.get(), mod.get()), 1);
            EXPECT_TRUE(same_value(r.get(), want)) << "b * 0";
            ASSERT_EQ(bn_mod_mul(zero.get(), zero.get(), zero.get(), mod.get()), 1);
            EXPECT_TRUE(same_value(zero.get(), want)) << "0 squared in place";
        }
    }
}

TEST(BnModInverse, Rows)
{
    const struct {
        Digits a;
        Digits n;
        Digits want;
    } rows[] = {
        {{3}, {7}, {5}},
        {{2}, {4}, {0}},                       // no inverse: the explicit zero
        {{0, 1}, {7}, {2}},                    // 2^32 = 4 (mod 7), 4 * 2 = 8
        {{0, 1}, {0xFFFFFFFB}, {0xCCCCCCC9}},  // 2^32 mod 2^32 - 5 is 5
        {{0, 1}, {1}, {}},                     // modulo 1: zero
        {{12345}, {1}, {}},
        {{}, {9}, {0}},
        {{1}, {9}, {1}},
        {{8}, {9}, {8}},
        {{6}, {9}, {0}},
    };
    for (const auto& row : rows) {
        Num a(2), n(1), r(1);
        a.set(row.a);
        n.set(row.n);
        bn_mod_inverse(r.get(), a.get(), n.get());
        EXPECT_EQ(r.digits(), row.want) << bntest::hex(a.get()) << " mod " << bntest::hex(n.get());
        EXPECT_EQ(r->negative, 0);
    }
}

TEST(BnModInverse, NegativeOperandWritesNothing)
{
    Num a(1), n(1), r(1);
    r.set({77});
    a.set({3}, true);
    n.set({7});
    bn_mod_inverse(r.get(), a.get(), n.get());
    EXPECT_EQ(r.digits(), Digits{77});
    a.set({3});
    n.set({7}, true);
    bn_mod_inverse(r.get(), a.get(), n.get());
    EXPECT_EQ(r.digits(), Digits{77});
}

// Random operands, coprime or not, including a far longer than n (the first
// quotient then has several digits).
TEST(BnModInverse, AgainstGmp)
{
    const uint64_t seed = 43;
    Rng rng(seed);
    Mpz x, m, want;
    int invertible = 0;
    for (int iter = 0; iter < 3000; ++iter) {
        const int nn = rng.range(1, iter % 2 == 0 ? 4 : 40);
        const int na = rng.range(1, iter % 3 == 0 ? 73 : nn + 1);
        Num a(na), n(nn), r(nn);
        Digits dn = rng.digits(nn);
        if (iter % 4 != 0) {
            dn[0] |= 1u;
        }
        a.set(rng.digits(na));
        n.set(dn);
        SCOPED_TRACE("seed " + std::to_string(seed) + " iteration " + std::to_string(iter) +
                     "\n a = " + bntest::hex(a.get()) + "\n n = " + bntest::hex(n.get()));
        to_mpz(x, a.get());
        to_mpz(m, n.get());
        bn_mod_inverse(r.get(), a.get(), n.get());
        if (mpz_invert(want, x, m) != 0) {
            ++invertible;
            ASSERT_TRUE(same_value(r.get(), want));
        } else {
            ASSERT_EQ(r.digits(), Digits{0});
        }
        ASSERT_EQ(r->negative, 0);
    }
    EXPECT_GT(invertible, 1000);
}

}  // namespace
