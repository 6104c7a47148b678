// Modular exponentiation against GMP's mpz_powm: both paths on the same
// inputs, the dispatcher, the window boundaries and sweeps over modulus bit
// lengths across digit edges.
#include <gtest/gtest.h>

#include <string>

#include "crypto/bignum/bn_exp.h"
#include "tests/unit/bignum_exp/exp_oracle.h"

namespace {

enum class Path { kDispatch, kPlain, kMontgomery };

const char* path_name(Path p)
{
    switch (p) {
        case Path::kDispatch:
            return "bn_mod_exp";
        case Path::kPlain:
            return "bn_mod_exp_plain";
        case Path::kMontgomery:
            return "bn_mod_exp_montgomery";
    }
    return "?";
}

bool montgomery_eligible(mpz_srcptr m)
{
    return mpz_odd_p(m) && mpz_sizeinbase(m, 2) % 32 == 0;
}

// One exponentiation with every operand at its exact capacity and r at the
// documented minimum (modulus digits + 1), compared with mpz_powm.
// alias_base runs it with r as the base object.
::testing::AssertionResult exp_matches(Path path, mpz_srcptr base, mpz_srcptr exponent,
                                       mpz_srcptr modulus, bool alias_base = false)
{
    const int k = digits_of(modulus);
    OwnedNum b(alias_base && digits_of(base) < k + 1 ? k + 1 : digits_of(base));
    OwnedNum e(digits_of(exponent));
    OwnedNum m(k);
    OwnedNum r_own(k + 1);
    from_mpz(&b.num, base);
    from_mpz(&e.num, exponent);
    from_mpz(&m.num, modulus);
    BigNum* r = alias_base ? &b.num : &r_own.num;

    switch (path) {
        case Path::kDispatch:
            bn_mod_exp(r, &b.num, &e.num, &m.num);
            break;
        case Path::kPlain:
            bn_mod_exp_plain(r, &b.num, &e.num, &m.num);
            break;
        case Path::kMontgomery: {
            MontgomeryContext context;
            bn_mod_exp_montgomery(r, &b.num, &e.num, &m.num, &context);
            break;
        }
    }

    Mpz expected, got;
    mpz_powm(expected, base, exponent, modulus);
    to_mpz(got, r);
    if (mpz_cmp(expected, got) == 0 && well_formed(r) && r->negative == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << path_name(path) << (alias_base ? " (r = base)" : "") << "\n  base     "
           << hex_of(base) << "\n  exponent " << hex_of(exponent) << "\n  modulus  "
           << hex_of(modulus) << "\n  got      " << hex_of(r) << "\n  expected "
           << hex_of(expected);
}

// Every applicable path on the same inputs.
::testing::AssertionResult all_paths_match(mpz_srcptr base, mpz_srcptr exponent, mpz_srcptr modulus)
{
    auto result = exp_matches(Path::kDispatch, base, exponent, modulus);
    if (!result)
        return result;
    if (digits_of(base) <= 147 && mpz_sgn(exponent) != 0) {
        result = exp_matches(Path::kPlain, base, exponent, modulus);
        if (!result)
            return result;
    }
    if (montgomery_eligible(modulus) && digits_of(base) <= digits_of(modulus) &&
        mpz_sgn(exponent) != 0)
        result = exp_matches(Path::kMontgomery, base, exponent, modulus);
    return result;
}

// Exponent shapes on both sides of every window-width change, plus the RSA
// exponents. Bit counts 17/18, 127/128 and 255/256 switch the width.
void exponent_for(mpz_ptr e, std::mt19937_64& rng, int shape)
{
    static const int kBits[] = {17, 18, 127, 128, 255, 256};
    switch (shape) {
        case 0:
            mpz_set_ui(e, 1);
            break;
        case 1:
            mpz_set_ui(e, 3);
            break;
        case 2:
            mpz_set_ui(e, 65537);
            break;
        case 3:  // all ones: every window is full width
            mpz_set_ui(e, 0);
            mpz_setbit(e, 18);
            mpz_sub_ui(e, e, 1);
            break;
        case 4:  // a lone top bit: one window, then only squarings
            mpz_set_ui(e, 0);
            mpz_setbit(e, 255);
            break;
        default:
            random_bits(e, rng, kBits[(shape - 5) % 6]);
            break;
    }
}
constexpr int kExponentShapes = 11;

struct KnownCase {
    const char* name;
    const char* base;  // hex; "" is length 0, "0" the explicit zero
    const char* exponent;
    const char* modulus;
    const char* expected;  // hex value
    bool explicit_zero;    // the result must be the explicit zero
};

const KnownCase kKnownCases[] = {
    {"small odd modulus", "2", "3", "5", "3", false},
    {"several windows, 497", "4", "d", "1f1", "1bd", false},
    {"exponent length 0", "7", "", "5", "1", false},
    {"exponent explicit zero", "7", "0", "5", "1", false},
    {"exponent zero, base zero", "", "", "5", "1", false},
    {"exponent zero, modulus one", "7", "", "1", "0", true},
    {"exponent explicit zero, modulus one", "7", "0", "1", "0", true},
    {"modulus one, base above it", "12345", "3", "1", "0", false},
    {"base length 0, montgomery modulus", "", "5", "80000001", "0", false},
    {"base explicit zero, even modulus", "0", "5", "a", "0", false},
    {"exponent one, base above montgomery modulus", "ffffffff", "1", "80000001", "7ffffffe", false},
    {"exponent one, long base, division path", "10000000000000006", "1", "7", "1", false},
    {"lowest digit one", "123456789abcdef", "10001", "ffffffff00000001", "", false},
    {"base equal to a full-digit even modulus", "f0000000", "2", "f0000000", "0", false},
    {"base equal to a two-digit montgomery modulus", "8000000000000001", "7", "8000000000000001",
     "0", false},
    // base^2 is a multiple of the modulus: r becomes the explicit zero, and
    // its products with the two-digit base carry zero digits on top into the
    // next division.
    {"base squared a multiple of the modulus, e = 3", "f0000000000", "3", "f000000000000000", "0",
     false},
    {"base squared a multiple of the modulus, e = 7", "f0000000000", "7", "f000000000000000", "0",
     false},
    {"zero modulus, length 0", "5", "3", "", "0", true},
    {"zero modulus, explicit zero", "5", "3", "0", "0", true},
    {"zero modulus, exponent zero", "5", "0", "", "0", true},
};

void load_hex(OwnedNum* n, const char* hex)
{
    if (hex[0] == '\0') {
        n->num = BigNum{0, 0, n->area.data()};
    } else if (std::string(hex) == "0") {
        n->num = BigNum{0, 1, n->area.data()};
        n->area[0] = 0;
    } else {
        Mpz v(hex);
        from_mpz(&n->num, v);
    }
}

TEST(ModExpTest, KnownValuesAndZeroForms)
{
    for (const KnownCase& c : kKnownCases) {
        SCOPED_TRACE(c.name);
        OwnedNum base(8), exponent(8), modulus(8), r(8);
        load_hex(&base, c.base);
        load_hex(&exponent, c.exponent);
        load_hex(&modulus, c.modulus);
        r.num = BigNum{1, 5, r.area.data()};  // garbage sign and length

        bn_mod_exp(&r.num, &base.num, &exponent.num, &modulus.num);

        Mpz got, expected;
        to_mpz(got, &r.num);
        if (c.expected[0] != '\0') {
            mpz_set_str(expected, c.expected, 16);
        } else {  // computed by the oracle
            Mpz b(c.base), e(c.exponent), m(c.modulus);
            mpz_powm(expected, b, e, m);
        }
        EXPECT_EQ(mpz_cmp(got, expected), 0)
            << "got " << hex_of(&r.num) << " expected " << hex_of(expected);
        EXPECT_TRUE(well_formed(&r.num));
        EXPECT_EQ(r.num.negative, 0);
        if (c.explicit_zero) {
            EXPECT_TRUE(is_explicit_zero(&r.num)) << hex_of(&r.num);
        }
    }
}

// Montgomery-eligible moduli of every digit count the exponentiation takes
// (every fifth with the lowest digit 1), each with every exponent shape and
// a base of the modulus's digit count (about half the time at or above the
// modulus): dispatcher, division path and Montgomery path must all agree
// with the oracle.
TEST(ModExpTest, BothPathsAgreeOnMontgomeryModuli)
{
    const uint64_t seed = 0x7a2d0001;
    for (int k = 1; k <= kMaxModulusDigits; ++k) {
        std::mt19937_64 rng(seed + static_cast<uint64_t>(k));
        Mpz m, base, e;
        random_bits(m, rng, 32 * k);
        mpz_setbit(m, 0);
        if (k % 5 == 0) {  // lowest digit 1: digit_inverse is 0xFFFFFFFF
            mpz_fdiv_q_2exp(m, m, 32);
            mpz_mul_2exp(m, m, 32);
            mpz_add_ui(m, m, 1);
        }
        // Large exponents on a subset of sizes keep the run short.
        const int shapes = (k % 6 == 1 || k >= 70) ? kExponentShapes : 5;
        for (int shape = 0; shape < shapes; ++shape) {
            random_below_bits(base, rng, 32 * k);
            exponent_for(e, rng, shape);
            ASSERT_TRUE(all_paths_match(base, e, m))
                << "seed " << seed << " k " << k << " shape " << shape;
        }
    }
}

// Division-path shapes: even moduli with a full top digit, odd moduli whose
// bit length is not a multiple of 32, and bases far longer than the modulus
// (reduced first). Results must not depend on the path chosen.
TEST(ModExpTest, DivisionPathShapes)
{
    const uint64_t seed = 0x7a2d0002;
    std::mt19937_64 rng(seed);
    for (int k = 1; k <= kMaxModulusDigits; k += 3) {
        Mpz even, odd33, base, e;
        random_bits(even, rng, 32 * k);
        mpz_clrbit(even, 0);
        random_bits(odd33, rng, 32 * k + 1);
        mpz_setbit(odd33, 0);
        for (int shape = 0; shape < 6; ++shape) {
            exponent_for(e, rng, shape);
            random_below_bits(base, rng, 32 * k);
            ASSERT_TRUE(all_paths_match(base, e, even)) << "seed " << seed << " k " << k;
            ASSERT_TRUE(all_paths_match(base, e, odd33)) << "seed " << seed << " k " << k;
        }
        // A base of up to 147 digits, only the division path accepts it.
        random_bits(base, rng, 32 * (147 - (k % 5)));
        exponent_for(e, rng, 1);
        ASSERT_TRUE(exp_matches(Path::kPlain, base, e, even)) << "seed " << seed << " k " << k;
        ASSERT_TRUE(exp_matches(Path::kDispatch, base, e, odd33)) << "seed " << seed << " k " << k;
    }
}

// Every modulus bit length across the digit edges, odd and even in turn,
// through the dispatcher: 10..600 bits with a random exponent of 5..40 bits,
// 1024..2336 bits with the RSA exponents.
TEST(ModExpTest, ModulusBitLengthSweep)
{
    const uint64_t seed = 0x7a2d0003;
    std::mt19937_64 rng(seed);
    Mpz m, base, e;
    for (int bits = 10; bits <= 600; ++bits) {
        random_bits(m, rng, bits);
        if (bits & 1)
            mpz_setbit(m, 0);
        random_below_bits(base, rng, bits);
        random_bits(e, rng, 5 + static_cast<int>(rng() % 36));
        ASSERT_TRUE(all_paths_match(base, e, m)) << "seed " << seed << " bits " << bits;
    }
    for (int bits = 1024; bits <= 32 * kMaxModulusDigits; ++bits) {
        random_bits(m, rng, bits);
        if (bits & 1)
            mpz_setbit(m, 0);
        random_below_bits(base, rng, bits);
        mpz_set_ui(e, bits % 8 == 0 ? 65537 : 3);
        ASSERT_TRUE(exp_matches(Path::kDispatch, base, e, m))
            << "seed " << seed << " bits " << bits;
    }
}

// r may be the base object on both paths.
TEST(ModExpTest, ResultMayBeTheBase)
{
    const uint64_t seed = 0x7a2d0005;
    std::mt19937_64 rng(seed);
    for (int k : {1, 2, 17, 64, 73}) {
        Mpz mont, even, base, e;
        random_bits(mont, rng, 32 * k);
        mpz_setbit(mont, 0);
        random_bits(even, rng, 32 * k - 3);
        mpz_clrbit(even, 0);
        for (int shape : {1, 2, 6, 10}) {
            exponent_for(e, rng, shape);
            random_below_bits(base, rng, 32 * k);
            for (Path p : {Path::kDispatch, Path::kPlain, Path::kMontgomery})
                ASSERT_TRUE(exp_matches(p, base, e, mont, true)) << "seed " << seed << " k " << k;
            ASSERT_TRUE(exp_matches(Path::kDispatch, base, e, even, true))
                << "seed " << seed << " k " << k;
        }
    }
}

}  // namespace
