// The Montgomery machinery on its own, against GMP: the constants of the
// setup and the reduction a * R^-1 mod n over its whole input range (the
// multiplication and its aliasing forms run in every exponentiation test).
#include <gtest/gtest.h>

#include <memory>

#include "crypto/bignum/bn_exp.h"
#include "tests/unit/bignum_exp/exp_oracle.h"

namespace {

// Odd moduli with a full top digit, of every size the exponentiation takes.
// Every fourth one has the lowest digit 1; some have all-ones digits.
void montgomery_modulus(mpz_ptr m, std::mt19937_64& rng, int k)
{
    random_bits(m, rng, 32 * k);
    switch (k % 4) {
        case 0:  // lowest digit 1
            mpz_fdiv_q_2exp(m, m, 32);
            mpz_mul_2exp(m, m, 32);
            mpz_add_ui(m, m, 1);
            break;
        case 1:  // all ones
            mpz_set_ui(m, 0);
            mpz_setbit(m, static_cast<mp_bitcnt_t>(32 * k));
            mpz_sub_ui(m, m, 1);
            break;
        default:
            mpz_setbit(m, 0);
            break;
    }
}

// R^-1 mod n, for R = 2^(32k).
void r_inverse(mpz_ptr out, mpz_srcptr m)
{
    Mpz r;
    mpz_setbit(r, mpz_sizeinbase(m, 2));
    ASSERT_NE(mpz_invert(out, r, m), 0);
}

TEST(MontgomeryTest, SetupConstants)
{
    const uint64_t seed = 0x3e0c0001;
    std::mt19937_64 rng(seed);
    for (int k = 1; k <= kMaxModulusDigits; ++k) {
        Mpz m, r2, got;
        montgomery_modulus(m, rng, k);
        OwnedNum modulus(k);
        from_mpz(&modulus.num, m);
        auto context = std::make_unique<MontgomeryContext>();
        bn_mont_init(context.get(), &modulus.num);

        EXPECT_EQ(context->modulus_bits, 32 * k) << "k " << k;
        EXPECT_EQ(static_cast<uint32_t>(modulus.area[0] * context->digit_inverse), 0xFFFFFFFFu)
            << "seed " << seed << " k " << k << " n0 " << modulus.area[0];
        mpz_setbit(r2, static_cast<mp_bitcnt_t>(64 * k));
        mpz_mod(r2, r2, m);
        to_mpz(got, &context->r_squared);
        EXPECT_EQ(mpz_cmp(got, r2), 0)
            << "seed " << seed << " k " << k << " r_squared " << hex_of(got);
        to_mpz(got, &context->modulus);
        EXPECT_EQ(mpz_cmp(got, m), 0);
        // The numbers live in the context's own areas.
        EXPECT_EQ(context->r_squared.digits, context->r_squared_area);
        EXPECT_EQ(context->modulus.digits, context->modulus_area);
        EXPECT_EQ(context->inverse_work.digits, context->inverse_work_area);
    }
}

// a * R^-1 mod n for a across [0, n * R): zero, small, multiples of n (which
// need the final subtraction to leave n itself), random of every length up
// to 2k digits, and the largest input n * R - 1. Both the two-digit and the
// one-digit form of the reduction, in place and not.
TEST(MontgomeryTest, ReduceOverItsInputRange)
{
    const uint64_t seed = 0x3e0c0002;
    std::mt19937_64 rng(seed);
    for (int k = 1; k <= kMaxModulusDigits; ++k) {
        Mpz m, rinv, a, expected, got;
        montgomery_modulus(m, rng, k);
        r_inverse(rinv, m);
        OwnedNum modulus(k);
        from_mpz(&modulus.num, m);
        auto context = std::make_unique<MontgomeryContext>();
        bn_mont_init(context.get(), &modulus.num);

        for (int t = 0; t < 12; ++t) {
            if (t == 0) {
                mpz_set_ui(a, 0);
            } else if (t == 1) {
                mpz_set_ui(a, 1);
            } else if (t == 2) {  // n * R - 1
                mpz_mul_2exp(a, m, static_cast<mp_bitcnt_t>(32 * k));
                mpz_sub_ui(a, a, 1);
            } else if (t ==
                       3) {  // c * n: the sum reaches exactly n * R, r = n before the subtraction
                random_bits(a, rng, 1 + static_cast<int>(rng() % static_cast<uint64_t>(32 * k)));
                mpz_mul(a, a, m);
            } else {
                random_below_bits(a, rng,
                                  1 + static_cast<int>(rng() % static_cast<uint64_t>(64 * k)));
                mpz_mod(a, a, m);
                mpz_mul_2exp(a, a, static_cast<mp_bitcnt_t>(32 * k));  // below n * R
                mpz_fdiv_q_2exp(
                    a, a, static_cast<mp_bitcnt_t>(rng() % static_cast<uint64_t>(32 * k + 1)));
            }
            mpz_mul(expected, a, rinv);
            mpz_mod(expected, expected, m);

            // Both forms of the reduction, alternately in place.
            for (auto reduce : {bn_mont_reduce, bn_mont_reduce_digits}) {
                const bool in_place = ((t + (reduce == bn_mont_reduce ? 0 : 1)) & 1) != 0;
                OwnedNum in(in_place ? (digits_of(a) > k + 1 ? digits_of(a) : k + 1)
                                     : digits_of(a));
                OwnedNum out(k + 1);
                from_mpz(&in.num, a);
                BigNum* r = in_place ? &in.num : &out.num;
                reduce(r, &in.num, context.get());
                to_mpz(got, r);
                ASSERT_EQ(mpz_cmp(got, expected), 0)
                    << (reduce == bn_mont_reduce ? "bn_mont_reduce" : "bn_mont_reduce_digits")
                    << " seed " << seed << " k " << k << " case " << t << "\n  a " << hex_of(a)
                    << "\n  got " << hex_of(r) << "\n  expected " << hex_of(expected);
                ASSERT_TRUE(well_formed(r));
            }
        }
    }
}

}  // namespace
