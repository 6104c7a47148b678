// Digit kernels, the two-digit quotient, multiplication and squaring against
// GMP, with every result area sized exactly to its documented capacity.
#include <gtest/gtest.h>

#include "bn_oracle.h"
#include "crypto/bignum/bignum.h"
#include "crypto/bignum/bn_narrow.h"
#include "crypto/bignum/bn_pair.h"

using bntest::Mpz;
using bntest::Num;
using bntest::Rng;

namespace {

using Digits = std::vector<uint32_t>;
using MulKernel = uint32_t (*)(uint32_t*, const uint32_t*, int, uint32_t);

void import_digits(mpz_t out, const uint32_t* d, int n)
{
    mpz_import(out, static_cast<size_t>(n), -1, sizeof(uint32_t), 0, 0, d);
}

// Both kernel builds (pairs of digits where a 128-bit type exists, one digit
// per step elsewhere) over every count from 1 to 73, with the multiplier and
// the digits in the shapes that make carries run.
TEST(BnKernels, MulAndMulAddAgainstGmp)
{
    const struct {
        const char* name;
        MulKernel kernel;
        bool adds;
    } kernels[] = {
        {"mul_digit", bn_vec_mul_digit, false},
        {"mul_add_digit", bn_vec_mul_add_digit, true},
        {"mul_digit narrow", bn_vec_mul_digit_narrow, false},
        {"mul_add_digit narrow", bn_vec_mul_add_digit_narrow, true},
    };
    const uint64_t seed = 21;
    Rng rng(seed);
    Mpz a_val, r_val, want, got;
    for (const auto& k : kernels) {
        for (int n = 1; n <= 73; ++n) {
            for (int rep = 0; rep < 12; ++rep) {
                const Digits a = rng.digits(n);
                const Digits r0 = rng.digits(n);
                const uint32_t w = rep == 0   ? 0xFFFFFFFFu
                                   : rep == 1 ? 0u
                                   : rep == 2 ? 1u
                                              : rng.digit();
                SCOPED_TRACE(std::string(k.name) + " seed " + std::to_string(seed) + " n " +
                             std::to_string(n) + " rep " + std::to_string(rep) + " w " +
                             std::to_string(w));
                // Exactly n digits: a write past r[n - 1] is an ASan error.
                std::unique_ptr<uint32_t[]> r(new uint32_t[static_cast<size_t>(n)]);
                std::copy(r0.begin(), r0.end(), r.get());
                const uint32_t carry = k.kernel(r.get(), a.data(), n, w);

                import_digits(a_val, a.data(), n);
                mpz_mul_ui(want, a_val, w);
                if (k.adds) {
                    import_digits(r_val, r0.data(), n);
                    mpz_add(want, want, r_val);
                }
                import_digits(got, r.get(), n);
                Mpz top;
                mpz_set_ui(top, carry);
                mpz_mul_2exp(top, top, static_cast<mp_bitcnt_t>(32 * n));
                mpz_add(got, got, top);
                ASSERT_EQ(mpz_cmp(got, want), 0)
                    << "want " << bntest::hex(want) << " got " << bntest::hex(got);
            }
        }
    }
}

#if BN_HAVE_WIDE
// The 64-bit word rows behind multiplication, squaring and the Montgomery
// reduction: every word count from 1 to 40 (whole eight-word passes and each
// remainder), the row at an odd digit offset as the reduction uses it, and
// multipliers and digits that make every carry run.
TEST(BnKernels, WordRowsAgainstGmp)
{
    using WordRow = uint64_t (*)(uint32_t*, const uint64_t*, int, uint64_t);
    const struct {
        const char* name;
        WordRow row;
        bool adds;
    } rows[] = {
        {"pair_row_mul_add", bn_pair_row_mul_add, true},
        {"pair_row_mul", bn_pair_row_mul, false},
    };
    const uint64_t seed = 27;
    Rng rng(seed);
    Mpz a_val, r_val, want, got, top;
    for (const auto& k : rows) {
        for (int n = 1; n <= 40; ++n) {
            for (int rep = 0; rep < 8; ++rep) {
                const uint64_t w = rep == 0   ? ~0ull
                                   : rep == 1 ? 0
                                   : rep == 2
                                       ? 1
                                       : (static_cast<uint64_t>(rng.digit()) << 32) | rng.digit();
                const Digits a_digits =
                    rng.digits(2 * n, rep == 3 ? bntest::Shape::kAllOnes : bntest::Shape::kRandom);
                std::vector<uint64_t> a(static_cast<size_t>(n));
                for (int i = 0; i < n; ++i) {
                    a[i] = (static_cast<uint64_t>(a_digits[2 * i + 1]) << 32) | a_digits[2 * i];
                }
                const Digits r0 =
                    rng.digits(2 * n, rep == 3 ? bntest::Shape::kAllOnes : bntest::Shape::kRandom);
                const int offset = rep & 1;  // odd offsets: pairs not 8-byte aligned
                SCOPED_TRACE(std::string(k.name) + " seed " + std::to_string(seed) + " n " +
                             std::to_string(n) + " rep " + std::to_string(rep));
                // Exactly offset + 2n digits: a write past the row is an ASan error.
                std::unique_ptr<uint32_t[]> area(new uint32_t[static_cast<size_t>(offset + 2 * n)]);
                area[0] = 0x5A5A5A5Au;
                std::copy(r0.begin(), r0.end(), area.get() + offset);
                const uint64_t carry = k.row(area.get() + offset, a.data(), n, w);

                import_digits(a_val, a_digits.data(), 2 * n);
                mpz_set_ui(top, static_cast<unsigned long>(w >> 32));
                mpz_mul_2exp(top, top, 32);
                mpz_add_ui(top, top, static_cast<unsigned long>(w & 0xFFFFFFFFu));
                mpz_mul(want, a_val, top);
                if (k.adds) {
                    import_digits(r_val, r0.data(), 2 * n);
                    mpz_add(want, want, r_val);
                }
                import_digits(got, area.get() + offset, 2 * n);
                const uint32_t carry_digits[2] = {static_cast<uint32_t>(carry),
                                                  static_cast<uint32_t>(carry >> 32)};
                import_digits(top, carry_digits, 2);
                mpz_mul_2exp(top, top, static_cast<mp_bitcnt_t>(64 * n));
                mpz_add(got, got, top);
                ASSERT_EQ(mpz_cmp(got, want), 0)
                    << "want " << bntest::hex(want) << " got " << bntest::hex(got);
                if (offset == 1) {
                    ASSERT_EQ(area[0], 0x5A5A5A5Au);  // nothing written below the row
                }
            }
        }
    }
}

// Two rows per pass, the second one word up: r's 2n digits take the sum
// and the two words above come back, so r plus them times 2^(64n) must be
// r + a * (w0 + w1 * 2^64), for every count from 1 to 40 and multipliers
// at the extremes (all ones makes both carries run at once).
TEST(BnKernels, TwoWordRowsAgainstGmp)
{
    const uint64_t seed = 28;
    Rng rng(seed);
    Mpz a_val, r_val, w_val, want, got, top;
    for (int n = 1; n <= 40; ++n) {
        for (int rep = 0; rep < 8; ++rep) {
            const uint64_t random0 = (static_cast<uint64_t>(rng.digit()) << 32) | rng.digit();
            const uint64_t random1 = (static_cast<uint64_t>(rng.digit()) << 32) | rng.digit();
            const uint64_t w0 = rep == 0 || rep == 2 ? ~0ull : rep == 1 ? 0 : random0;
            const uint64_t w1 = rep == 0 || rep == 3 ? ~0ull : rep == 1 ? 0 : random1;
            const bntest::Shape shape = rep == 0 ? bntest::Shape::kAllOnes : bntest::Shape::kRandom;
            const Digits a_digits = rng.digits(2 * n, shape);
            std::vector<uint64_t> a(static_cast<size_t>(n));
            for (int i = 0; i < n; ++i) {
                a[i] = (static_cast<uint64_t>(a_digits[2 * i + 1]) << 32) | a_digits[2 * i];
            }
            const Digits r0 = rng.digits(2 * n, shape);
            const int offset = rep & 1;
            SCOPED_TRACE("seed " + std::to_string(seed) + " n " + std::to_string(n) + " rep " +
                         std::to_string(rep));
            std::unique_ptr<uint32_t[]> area(new uint32_t[static_cast<size_t>(offset + 2 * n)]);
            area[0] = 0x5A5A5A5Au;
            std::copy(r0.begin(), r0.end(), area.get() + offset);
            const BnWide above = bn_pair_row2_mul_add(area.get() + offset, a.data(), n, w0, w1);

            import_digits(a_val, a_digits.data(), 2 * n);
            const uint32_t w_digits[4] = {
                static_cast<uint32_t>(w0), static_cast<uint32_t>(w0 >> 32),
                static_cast<uint32_t>(w1), static_cast<uint32_t>(w1 >> 32)};
            import_digits(w_val, w_digits, 4);
            mpz_mul(want, a_val, w_val);
            import_digits(r_val, r0.data(), 2 * n);
            mpz_add(want, want, r_val);
            import_digits(got, area.get() + offset, 2 * n);
            const uint32_t above_digits[4] = {
                static_cast<uint32_t>(above), static_cast<uint32_t>(above >> 32),
                static_cast<uint32_t>(above >> 64), static_cast<uint32_t>(above >> 96)};
            import_digits(top, above_digits, 4);
            mpz_mul_2exp(top, top, static_cast<mp_bitcnt_t>(64 * n));
            mpz_add(got, got, top);
            ASSERT_EQ(mpz_cmp(got, want), 0)
                << "want " << bntest::hex(want) << " got " << bntest::hex(got);
            if (offset == 1) {
                ASSERT_EQ(area[0], 0x5A5A5A5Au);
            }
        }
    }
}
#endif

TEST(BnKernels, InPlaceMulDigit)
{
    // r = a in place, as long division and squaring never do but the
    // contract allows.
    Rng rng(22);
    for (int n = 1; n <= 40; ++n) {
        Digits a = rng.digits(n);
        const Digits orig = a;
        const uint32_t w = rng.digit();
        Digits sep(static_cast<size_t>(n));
        const uint32_t c1 = bn_vec_mul_digit(sep.data(), orig.data(), n, w);
        const uint32_t c2 = bn_vec_mul_digit(a.data(), a.data(), n, w);
        ASSERT_EQ(c1, c2) << n;
        ASSERT_EQ(sep, a) << n;
    }
}

TEST(BnKernels, SquareDigits)
{
    Rng rng(23);
    for (int n = 1; n <= 75; ++n) {
        const Digits a = rng.digits(n);
        std::unique_ptr<uint32_t[]> r(new uint32_t[static_cast<size_t>(2 * n)]);
        bn_vec_square_digits(r.get(), a.data(), n);
        for (int i = 0; i < n; ++i) {
            const uint64_t sq = static_cast<uint64_t>(a[i]) * a[i];
            ASSERT_EQ(r[2 * i], static_cast<uint32_t>(sq)) << n << " " << i;
            ASSERT_EQ(r[2 * i + 1], static_cast<uint32_t>(sq >> 32)) << n << " " << i;
        }
    }
}

TEST(BnKernels, DigitDiv2)
{
    const struct {
        uint32_t h, l, d, want;
    } rows[] = {
        {0, 5, 2, 2},
        {1, 0, 2, 0x80000000},
        {0, 0, 0, 0xFFFFFFFF},
        {7, 7, 0, 0xFFFFFFFF},
        {0xFFFFFFFE, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF},
        {0x7FFFFFFF, 0xFFFFFFFF, 0x80000000, 0xFFFFFFFF},
        {0, 0xFFFFFFFF, 1, 0xFFFFFFFF},
        {0x12345, 0x6789ABCD, 0x10000, 0x23456789},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(bn_digit_div2(row.h, row.l, row.d), row.want)
            << row.h << ":" << row.l << " / " << row.d;
    }
    Rng rng(24);
    Mpz x, q;
    for (int i = 0; i < 20000; ++i) {
        const uint32_t d = i % 3 == 0 ? (rng.digit() >> rng.range(0, 31)) | 1u : rng.digit() | 1u;
        const uint32_t h = rng.digit() % d;
        const uint32_t l = rng.digit();
        mpz_set_ui(x, h);
        mpz_mul_2exp(x, x, 32);
        mpz_add_ui(x, x, l);
        mpz_fdiv_q_ui(q, x, d);
        ASSERT_EQ(bn_digit_div2(h, l, d), mpz_get_ui(q)) << h << ":" << l << " / " << d;
    }
}

TEST(BnMul, Rows)
{
    const struct {
        Digits a;
        bool a_neg;
        Digits b;
        bool b_neg;
        Digits want;
        int want_neg;
    } rows[] = {
        {{}, true, {5}, false, {}, 1},
        {{5}, true, {}, true, {}, 0},
        {{0xFFFFFFFF}, false, {0xFFFFFFFF}, false, {0x00000001, 0xFFFFFFFE}, 0},
        {{1, 0, 1}, false, {2, 1}, true, {2, 1, 2, 1}, 1},             // top digit zero: length 4
        {{0, 0, 0x80000000}, true, {0, 2}, true, {0, 0, 0, 0, 1}, 0},  // length 5
        {{0xFFFFFFFF, 0xFFFFFFFF},
         false,
         {0xFFFFFFFF, 0xFFFFFFFF},
         false,
         {1, 0, 0xFFFFFFFE, 0xFFFFFFFF},
         0},
    };
    for (const auto& row : rows) {
        Num a(4), b(4);
        a.set(row.a, row.a_neg);
        b.set(row.b, row.b_neg);
        Num r(static_cast<int>(row.a.size() + row.b.size()) > 0
                  ? static_cast<int>(row.a.size() + row.b.size())
                  : 1);
        r->negative = 7;
        bn_mul(r.get(), a.get(), b.get());
        EXPECT_EQ(r.digits(), row.want) << bntest::hex(a.get()) << " * " << bntest::hex(b.get());
        EXPECT_EQ(r->negative, row.want_neg);
    }
}

TEST(BnMul, SquareRows)
{
    Num a(2), r(4), m(4);
    a.set({0xFFFFFFFF, 0xFFFFFFFF}, true);
    bn_sqr(r.get(), a.get());
    EXPECT_EQ(r.digits(), (Digits{1, 0, 0xFFFFFFFE, 0xFFFFFFFF}));
    EXPECT_EQ(r->negative, 0);
    a.set({0x10000});
    bn_sqr(r.get(), a.get());
    EXPECT_EQ(r.digits(), (Digits{0, 1}));
    a.set({3});
    bn_sqr(r.get(), a.get());
    EXPECT_EQ(r.digits(), (Digits{9}));
    // A length-0 operand leaves the sign as it was.
    a.set({});
    r->negative = 1;
    bn_sqr(r.get(), a.get());
    EXPECT_EQ(r->length, 0);
    EXPECT_EQ(r->negative, 1);
}

// Products of 1 to 73 by 1 to 73 digits, squares of 1 to 75 digits, each
// against GMP and the square also against the general product.
TEST(BnMul, DifferentialAgainstGmp)
{
    const uint64_t seed = 25;
    Rng rng(seed);
    Mpz x, y, want;
    for (int iter = 0; iter < 5000; ++iter) {
        const int na = iter < 73 ? iter + 1 : rng.range(1, 73);
        const int nb = iter < 73 ? 73 - iter : rng.range(1, 73);
        Num a(na), b(nb), r(na + nb);
        a.set(rng.digits(na), rng.range(0, 1) == 1);
        b.set(rng.digits(nb), rng.range(0, 1) == 1);
        SCOPED_TRACE("seed " + std::to_string(seed) + " iteration " + std::to_string(iter) +
                     "\n a = " + bntest::hex(a.get()) + "\n b = " + bntest::hex(b.get()));
        to_mpz(x, a.get());
        to_mpz(y, b.get());
        mpz_mul(want, x, y);
        bn_mul(r.get(), a.get(), b.get());
        ASSERT_TRUE(bntest::equals(r.get(), want)) << "got " << bntest::hex(r.get());

        const int ns = iter < 75 ? iter + 1 : rng.range(1, 75);
        Num s(ns), sq(2 * ns), prod(2 * ns);
        s.set(rng.digits(ns), rng.range(0, 1) == 1);
        to_mpz(x, s.get());
        mpz_mul(want, x, x);
        bn_sqr(sq.get(), s.get());
        ASSERT_TRUE(bntest::equals(sq.get(), want)) << "square of " << bntest::hex(s.get());
        bn_mul(prod.get(), s.get(), s.get());
        ASSERT_EQ(prod.digits(), sq.digits());
        ASSERT_EQ(prod->length, sq->length);

        // The digit-row forms (what 32-bit builds run) give the same digits.
        Num rows(na + nb), sq_rows(2 * ns);
        bn_mul_digit_rows(rows.get(), a.get(), b.get());
        ASSERT_EQ(rows.digits(), r.digits());
        ASSERT_EQ(rows->negative, r->negative);
        bn_sqr_digit_rows(sq_rows.get(), s.get());
        ASSERT_EQ(sq_rows.digits(), sq.digits());
    }
}

// Products longer than the local limb area take the digit rows.
TEST(BnMul, LongProducts)
{
    Rng rng(26);
    Mpz x, y, want;
    for (int iter = 0; iter < 50; ++iter) {
        const int na = rng.range(76, 140);
        const int nb = rng.range(151 - na, 160 - na);
        Num a(na), b(nb), r(na + nb);
        a.set(rng.digits(na));
        b.set(rng.digits(nb));
        to_mpz(x, a.get());
        to_mpz(y, b.get());
        mpz_mul(want, x, y);
        bn_mul(r.get(), a.get(), b.get());
        ASSERT_TRUE(bntest::equals(r.get(), want)) << na << " x " << nb;
    }
}

}  // namespace
