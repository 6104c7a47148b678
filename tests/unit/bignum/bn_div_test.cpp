// Long division, remainder, modular product and inverse against GMP,
// including crafted cases that need the add-back correction.
#include <gtest/gtest.h>

#include "bn_oracle.h"
#include "crypto/bignum/bignum.h"

using bntest::Mpz;
using bntest::Num;
using bntest::Rng;

namespace {

using Digits = std::vector<uint32_t>;

constexpr uint64_t kBase = 0x100000000ull;

uint32_t digit_at(const mpz_t x, int i)
{
    Mpz t;
    mpz_fdiv_q_2exp(t, x, static_cast<mp_bitcnt_t>(32 * i));
    return static_cast<uint32_t>(mpz_get_ui(t) & 0xFFFFFFFFu);
}

int digit_count(const mpz_t x)
{
    return mpz_sgn(x) == 0 ? 0 : static_cast<int>((mpz_sizeinbase(x, 2) + 31) / 32);
}

// How many quotient digits of |num| / |d| need the add-back: the quotient
// digit estimated from the window's top three digits and the divisor's top
// two, after refinement, is one more than the true digit. Worked out on
// GMP numbers, independently of the library.
int count_add_backs(const mpz_t num_in, const mpz_t d_in)
{
    Mpz num, d, sn, sd, w, prod, tmp;
    mpz_abs(num, num_in);
    mpz_abs(d, d_in);
    if (mpz_cmp(d, num) > 0) {
        return 0;
    }
    const int s = 32 - static_cast<int>(mpz_sizeinbase(d, 2) % 32);
    mpz_mul_2exp(sd, d, static_cast<mp_bitcnt_t>(s));
    mpz_mul_2exp(sn, num, static_cast<mp_bitcnt_t>(s + 32));
    const int div_n = digit_count(sd);
    const int loop = digit_count(sn) - div_n;
    const uint64_t d0 = digit_at(sd, div_n - 1);
    const uint64_t d1 = div_n > 1 ? digit_at(sd, div_n - 2) : 0;
    mpz_fdiv_q_2exp(w, sn, static_cast<mp_bitcnt_t>(32 * loop));
    if (mpz_cmp(w, sd) >= 0) {
        mpz_sub(w, w, sd);
    }
    int add_backs = 0;
    for (int k = 1; k < loop; ++k) {
        mpz_mul_2exp(w, w, 32);
        mpz_add_ui(w, w, digit_at(sn, loop - k));
        const uint64_t hi = digit_at(w, div_n);
        const uint64_t mid = digit_at(w, div_n - 1);
        const uint64_t lo = digit_at(w, div_n - 2);
        uint64_t t = hi == d0 ? 0xFFFFFFFFull : ((hi << 32) | mid) / d0;
        uint64_t rest = ((hi << 32) | mid) - t * d0;
        while (rest < kBase && t * d1 > ((rest << 32) | lo)) {
            --t;
            rest += d0;
        }
        mpz_mul_ui(prod, sd, static_cast<unsigned long>(t));
        if (mpz_cmp(prod, w) > 0) {
            ++add_backs;
            mpz_sub(prod, prod, sd);
        }
        mpz_sub(w, w, prod);
    }
    return add_backs;
}

// A divisor of three or more digits and a numerator whose first quotient
// digit after the top one is estimated as t from the top digits while the
// true digit is t - 1: the window is t times the divisor with its low
// digits cleared.
void craft_add_back(Rng& rng, mpz_t num, mpz_t d)
{
    const int m = rng.range(3, 40);
    Num dn(m);
    Digits dd = rng.digits(m);
    dd[0] |= 1u;  // a non-zero low part
    dn.set(dd);
    bntest::to_mpz(d, dn.get());
    const int s = 32 - static_cast<int>(mpz_sizeinbase(d, 2) % 32);
    Mpz sd, high, w, low;
    mpz_mul_2exp(sd, d, static_cast<mp_bitcnt_t>(s));
    const int low_digits = digit_count(sd) - 2;
    mpz_fdiv_q_2exp(high, sd, static_cast<mp_bitcnt_t>(32 * low_digits));
    mpz_mul_2exp(high, high, static_cast<mp_bitcnt_t>(32 * low_digits));
    const uint32_t t = rng.range(0, 3) == 0 ? 0xFFFFFFFFu : rng.digit() | 1u;
    mpz_mul_ui(w, high, t);
    // num = w * 2^(32 (j - 1) - s) plus low digits that the first step
    // does not see.
    const int j = rng.range(1, 6);
    const long shift = 32L * (j - 1) - s;
    if (shift >= 0) {
        mpz_mul_2exp(num, w, static_cast<mp_bitcnt_t>(shift));
        mpz_urandomb(low, bntest::gmp_state(), static_cast<mp_bitcnt_t>(shift));
        mpz_add(num, num, low);
    } else {
        mpz_fdiv_q_2exp(num, w, static_cast<mp_bitcnt_t>(-shift));
    }
}

struct DivCase {
    Digits num;
    bool num_neg;
    Digits d;
    bool d_neg;
    Digits q;
    int q_neg;
    Digits rem;
    int rem_neg;
};

TEST(BnDiv, Rows)
{
    const DivCase rows[] = {
        {{7}, false, {7}, false, {1}, 0, {}, 0},
        {{5}, false, {7}, false, {0}, 0, {5}, 0},  // quotient: the explicit zero
        {{7}, true, {2}, false, {3}, 1, {1}, 1},
        {{7}, false, {2}, true, {3}, 1, {1}, 0},
        {{7}, true, {2}, true, {3}, 0, {1}, 1},
        {{0, 1}, false, {0xFFFFFFFF}, false, {1}, 0, {1}, 0},  // bit length 32: whole-digit shift
        // A zero remainder by a divisor of 32k bits is the explicit zero.
        {{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}, false, {0xFFFFFFFF}, false, {1, 1, 1}, 0, {0}, 0},
        {{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}, true, {0xFFFFFFFF}, false, {1, 1, 1}, 1, {0}, 1},
        {{0, 0, 3}, false, {0, 3}, false, {0, 1}, 0, {}, 0},
        {{}, false, {3}, false, {0}, 0, {}, 0},
        {{0}, false, {3}, false, {0}, 0, {0}, 0},  // explicit zero numerator is copied
        {{0, 0, 1}, false, {0, 1}, false, {0, 1}, 0, {}, 0},
        {{1, 2, 3}, false, {5, 0, 7}, false, {0}, 0, {1, 2, 3}, 0},
        // Zero digits on top of a numerator (a product with an explicit-zero
        // factor has them) count for nothing.
        {{0, 0, 0}, false, {0, 0xF0000000}, false, {0}, 0, {0}, 0},
        {{5, 0, 0, 0}, false, {0, 1}, false, {0}, 0, {5}, 0},
        {{0, 0, 1, 0}, false, {0, 1}, false, {0, 1}, 0, {}, 0},
        {{0, 0, 0, 0}, true, {7}, false, {0}, 0, {0}, 1},
    };
    for (const DivCase& row : rows) {
        Num num(4), d(4), q(4), rem(4);
        num.set(row.num, row.num_neg);
        d.set(row.d, row.d_neg);
        ASSERT_EQ(bn_div(q.get(), rem.get(), num.get(), d.get()), 1);
        EXPECT_EQ(q.digits(), row.q) << bntest::hex(num.get()) << " / " << bntest::hex(d.get());
        EXPECT_EQ(q->negative, row.q_neg)
            << bntest::hex(num.get()) << " / " << bntest::hex(d.get());
        EXPECT_EQ(rem.digits(), row.rem) << bntest::hex(num.get()) << " / " << bntest::hex(d.get());
        EXPECT_EQ(rem->negative, row.rem_neg)
            << bntest::hex(num.get()) << " / " << bntest::hex(d.get());
    }
}

TEST(BnDiv, ZeroDivisorWritesNothing)
{
    // Both zero forms, and a zero with zero digits on top (a product with an
    // explicit-zero factor).
    for (const Digits& zero : {Digits{}, Digits{0}, Digits{0, 0, 0}}) {
        Num num(2), d(3), q(2), rem(2), r(2);
        num.set({5, 6});
        d.set(zero);
        q.set({9, 9}, true);
        rem.set({8}, true);
        r.set({4});
        EXPECT_EQ(bn_div(q.get(), rem.get(), num.get(), d.get()), 0);
        EXPECT_EQ(bn_mod(r.get(), num.get(), d.get()), 0);
        EXPECT_EQ(bn_mod_mul(r.get(), num.get(), num.get(), d.get()), 0);
        EXPECT_EQ(q.digits(), (Digits{9, 9}));
        EXPECT_EQ(q->negative, 1);
        EXPECT_EQ(rem.digits(), (Digits{8}));
        EXPECT_EQ(rem->negative, 1);
        EXPECT_EQ(r.digits(), (Digits{4}));
    }
}

// Checks q and rem of one division against GMP's truncating division.
void expect_division(const BigNum* q, const BigNum* rem, const mpz_t x, const mpz_t y)
{
    Mpz want_q, want_r;
    mpz_tdiv_qr(want_q, want_r, x, y);
    if (mpz_cmpabs(y, x) > 0) {
        ASSERT_EQ(q->length, 1);
        ASSERT_EQ(q->digits[0], 0u);
        ASSERT_EQ(q->negative, 0);
    } else {
        ASSERT_TRUE(bntest::equals(q, want_q))
            << "q = " << bntest::hex(q) << " want " << bntest::hex(want_q);
    }
    if (mpz_sgn(want_r.v) == 0) {
        // A zero remainder of a real division is the explicit zero when
        // the divisor's bit length is a multiple of 32 (the remainder is
        // shifted back by two whole digits), length 0 otherwise.
        const bool whole_digits = mpz_sizeinbase(y, 2) % 32 == 0;
        if (mpz_cmpabs(y, x) > 0 || !whole_digits) {
            ASSERT_EQ(rem->length, 0) << "rem = " << bntest::hex(rem);
        } else {
            ASSERT_EQ(rem->length, 1) << "rem = " << bntest::hex(rem);
            ASSERT_EQ(rem->digits[0], 0u);
        }
    } else {
        ASSERT_TRUE(bntest::equals(rem, want_r))
            << "rem = " << bntest::hex(rem) << " want " << bntest::hex(want_r);
    }
}

// Numerators of 1 to 147 digits over divisors of every shape, signed, into
// separate results and in place; then the crafted add-back cases, counted.
TEST(BnDiv, DifferentialAgainstGmp)
{
    const uint64_t seed = 31;
    Rng rng(seed);
    Mpz x, y;
    int add_backs = 0;
    for (int iter = 0; iter < 8000; ++iter) {
        const int nn = rng.range(1, 147);
        int nd;
        switch (iter % 4) {
            case 0:
                nd = 1;
                break;  // one-digit divisors
            case 1:
                nd = rng.range(1, nn);
                break;
            case 2:
                nd = rng.range(std::max(1, nn - 3), nn);
                break;  // short quotients
            default:
                nd = rng.range(1, std::min(nn + 2, 73));
                break;  // may exceed num
        }
        Num num(nn), d(nd);
        num.set(rng.digits(nn), rng.range(0, 1) == 1);
        Digits dd = rng.digits(nd);
        if (iter % 5 == 0) {
            dd[nd - 1] |= 0x80000000u;  // bit length a multiple of 32
        }
        d.set(dd, rng.range(0, 1) == 1);
        SCOPED_TRACE("seed " + std::to_string(seed) + " iteration " + std::to_string(iter) +
                     "\n num = " + bntest::hex(num.get()) + "\n d = " + bntest::hex(d.get()));
        to_mpz(x, num.get());
        to_mpz(y, d.get());
        const int qcap = std::max(1, nn - nd + 1);
        Num q(qcap), rem(nn);
        ASSERT_EQ(bn_div(q.get(), rem.get(), num.get(), d.get()), 1);
        expect_division(q.get(), rem.get(), x, y);
        add_backs += count_add_backs(x, y);

        // rem = num, and q = num with no remainder.
        Num self(nn);
        self.set(num.digits(), num->negative != 0);
        ASSERT_EQ(bn_div(q.get(), self.get(), self.get(), d.get()), 1);
        expect_division(q.get(), self.get(), x, y);
        Num qself(nn);
        qself.set(num.digits(), num->negative != 0);
        ASSERT_EQ(bn_div(qself.get(), nullptr, qself.get(), d.get()), 1);
        expect_division(qself.get(), rem.get(), x, y);
    }

    int crafted_add_backs = 0;
    for (int iter = 0; iter < 2000; ++iter) {
        craft_add_back(rng, x, y);
        SCOPED_TRACE("seed " + std::to_string(seed) + " crafted " + std::to_string(iter) +
                     "\n num = " + bntest::hex(x) + "\n d = " + bntest::hex(y));
        Num num(digit_count(x)), d(digit_count(y));
        num.set_mpz(x);
        d.set_mpz(y);
        Num q(std::max(1, num->length - d->length + 1)), rem(num->length);
        ASSERT_EQ(bn_div(q.get(), rem.get(), num.get(), d.get()), 1);
        expect_division(q.get(), rem.get(), x, y);
        crafted_add_backs += count_add_backs(x, y) > 0 ? 1 : 0;
    }
    // Every crafted case must take the add-back, or the craft is wrong.
    EXPECT_EQ(crafted_add_backs, 2000);
    RecordProperty("random_add_backs", add_backs);
}

// Quotients whose digits are all 0xFFFFFFFF (every multiple taken off the
// window is the largest one, so the running carry reaches its bound), and
// quotients of ones over runs of zero digits (multiples of zero), for every
// divisor length up to past the loop's unrolled block, and shapes that fill
// every digit or leave the top digit short of a whole digit.
TEST(BnDiv, QuotientDigitExtremesByDivisorLength)
{
    enum class Quotient { kAllMax, kOnesOverZeros, kAllMaxMinusRemainder };
    const struct {
        const char* name;
        bntest::Shape shape;
        bool full_top;
    } divisors[] = {
        {"all ones", bntest::Shape::kAllOnes, true},
        {"top full", bntest::Shape::kTopFull, true},
        {"power of two", bntest::Shape::kPowerOfTwo, false},
        {"sparse", bntest::Shape::kSparse, false},
        {"ones below", bntest::Shape::kOnesBelow, false},
    };
    const Quotient quotients[] = {Quotient::kAllMax, Quotient::kOnesOverZeros,
                                  Quotient::kAllMaxMinusRemainder};
    Rng rng(32);
    Mpz x, y, q, r;
    for (int m = 1; m <= 20; ++m) {
        for (const auto& dv : divisors) {
            for (Quotient shape : quotients) {
                Digits dd = rng.digits(m, dv.shape);
                if (dv.full_top) {
                    dd[m - 1] |= 0x80000000u;
                }
                Num d(m);
                d.set(dd);
                bntest::to_mpz(y, d.get());
                const int j = std::min(rng.range(1, 8), 146 - m);
                // q = 2^(32j) - 1, or 2^(32j) + 1 (a one over j - 1 zero digits).
                mpz_set_ui(q, 0);
                mpz_setbit(q, static_cast<mp_bitcnt_t>(32 * j));
                if (shape == Quotient::kOnesOverZeros) {
                    mpz_add_ui(q, q, 1);
                } else {
                    mpz_sub_ui(q, q, 1);
                }
                // The remainder: d - 1 (the largest), or zero.
                if (shape == Quotient::kAllMax) {
                    mpz_sub_ui(r, y, 1);
                } else {
                    mpz_set_ui(r, 0);
                }
                mpz_mul(x, q, y);
                mpz_add(x, x, r);
                Num num(digit_count(x));
                num.set_mpz(x);
                SCOPED_TRACE(std::string(dv.name) + " m " + std::to_string(m) + " quotient shape " +
                             std::to_string(static_cast<int>(shape)) + "\n num = " +
                             bntest::hex(num.get()) + "\n d = " + bntest::hex(d.get()));
                Num quot(std::max(1, num->length - m + 1)), rem(num->length);
                ASSERT_EQ(bn_div(quot.get(), rem.get(), num.get(), d.get()), 1);
                expect_division(quot.get(), rem.get(), x, y);
            }
        }
    }
}

}  // namespace
