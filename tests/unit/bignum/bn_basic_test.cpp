// Representation and basic operations: fixed rows for the edges, then
// differential runs against GMP with every result also written in place.
#include <gtest/gtest.h>

#include <cstring>

#include "bn_oracle.h"
#include "crypto/bignum/bignum.h"

using bntest::Mpz;
using bntest::Num;
using bntest::Rng;

namespace {

using Digits = std::vector<uint32_t>;

TEST(BnBytes, ImportRows)
{
    struct Row {
        std::vector<uint8_t> bytes;
        Digits want;
    };
    const Row rows[] = {
        {{}, {}},
        {{0x00, 0x00, 0x01}, {1}},
        {{0x01, 0x02, 0x03, 0x04, 0x05}, {0x02030405, 0x00000001}},
        {{0x00, 0x00, 0x00, 0x00, 0x00}, {}},
        {{0x80, 0x00, 0x00, 0x00}, {0x80000000}},
        {{0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x01}, {0xFFFFFF01, 0xFF}},
    };
    for (const Row& row : rows) {
        Num r(4);
        r->negative = 1;
        bn_from_bytes(r.get(), row.bytes.data(), static_cast<int>(row.bytes.size()));
        EXPECT_EQ(r->negative, 0);
        EXPECT_EQ(r.digits(), row.want) << "bytes " << row.bytes.size();
    }
}

TEST(BnBytes, ExportRows)
{
    const uint8_t five[] = {0x01, 0x02, 0x03, 0x04, 0x05};
    Num a(2);
    bn_from_bytes(a.get(), five, 5);
    uint8_t out[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    ASSERT_EQ(bn_to_bytes(out, a.get()), 5);
    EXPECT_EQ(0, std::memcmp(out, five, 5));
    EXPECT_EQ(out[5], 0xEE);

    // Both forms of zero write nothing.
    Num zero(1);
    for (const Digits& z : {Digits{}, Digits{0}}) {
        zero.set(z, true);
        out[0] = 0xEE;
        EXPECT_EQ(bn_to_bytes(out, zero.get()), 0);
        EXPECT_EQ(out[0], 0xEE);
        EXPECT_EQ(bn_bit_length(zero.get()), 0);
    }
}

TEST(BnBytes, BitLengthRows)
{
    const struct {
        Digits digits;
        int bits;
    } rows[] = {
        {{}, 0},         {{0}, 0},         {{1}, 1},          {{0x80000000}, 32},
        {{0, 1}, 33},    {{0xFF}, 8},      {{0x100}, 9},      {{0xFFFF}, 16},
        {{0x10000}, 17}, {{0xFFFFFF}, 24}, {{0x1000000}, 25}, {{5, 6, 0x7FFFFFFF}, 95},
    };
    for (const auto& row : rows) {
        Num a(4);
        a.set(row.digits, true);
        EXPECT_EQ(bn_bit_length(a.get()), row.bits) << bntest::hex(a.get());
    }
    for (int v = 0; v < 256; ++v) {
        int bits = 0;
        while ((v >> bits) != 0) {
            ++bits;
        }
        EXPECT_EQ(bn_byte_bit_length[v], bits) << v;
    }
}

TEST(BnBytes, RoundTripMatchesGmpExport)
{
    Rng rng(11);
    for (int iter = 0; iter < 2000; ++iter) {
        const int len = rng.range(0, 300);
        std::vector<uint8_t> bytes(static_cast<size_t>(len));
        for (auto& b : bytes) {
            b = static_cast<uint8_t>(rng.digit());
        }
        const int zeros = rng.range(0, 5);
        for (int i = 0; i < zeros && i < len; ++i) {
            bytes[i] = 0;
        }
        SCOPED_TRACE("seed 11 iteration " + std::to_string(iter) + " len " + std::to_string(len));
        Num a((len + 3) / 4 > 0 ? (len + 3) / 4 : 1);
        bn_from_bytes(a.get(), bytes.data(), len);
        Mpz want;
        mpz_import(want, bytes.size(), 1, 1, 0, 0, bytes.data());
        ASSERT_TRUE(bntest::equals(a.get(), want)) << bntest::hex(a.get());
        ASSERT_EQ(bn_bit_length(a.get()),
                  mpz_sgn(want.v) == 0 ? 0 : static_cast<int>(mpz_sizeinbase(want, 2)));

        std::vector<uint8_t> out(static_cast<size_t>(len) + 1, 0xEE);
        const int n = bn_to_bytes(out.data(), a.get());
        size_t first = 0;
        while (first < bytes.size() && bytes[first] == 0) {
            ++first;
        }
        ASSERT_EQ(n, static_cast<int>(bytes.size() - first));
        ASSERT_TRUE(n == 0 ||
                    std::memcmp(out.data(), bytes.data() + first, static_cast<size_t>(n)) == 0);
        ASSERT_EQ(out[n], 0xEE);
    }
}

TEST(BnCompare, Rows)
{
    const struct {
        Digits a;
        bool a_negative;
        Digits b;
        bool b_negative;
        int want;
    } rows[] = {
        {{0}, false, {}, false, 1},  // explicit zero against length 0
        {{5}, true, {5}, false, 0},  // signs ignored
        {{1, 2}, false, {1, 2, 3}, false, -1},
        {{9, 9, 9}, false, {1}, false, 2},  // the digit-count difference
        {{}, false, {7, 7, 7, 7}, false, -4},
        {{1, 5}, false, {2, 5}, false, -1},
        {{0xFFFFFFFF, 5}, false, {0, 5}, false, 1},
        {{0, 0x80000000}, false, {0xFFFFFFFF, 0x7FFFFFFF}, false, 1},
    };
    for (const auto& row : rows) {
        Num a(4), b(4);
        a.set(row.a, row.a_negative);
        b.set(row.b, row.b_negative);
        EXPECT_EQ(bn_cmp_abs(a.get(), b.get()), row.want)
            << bntest::hex(a.get()) << " vs " << bntest::hex(b.get());
    }
}

TEST(BnCompare, TestBitRows)
{
    Num a(2);
    a.set({0x80000001, 0x4}, true);
    const struct {
        int n;
        int want;
    } rows[] = {{-1, 0}, {-32, 0}, {0, 1},  {1, 0},  {31, 1},
                {32, 0}, {34, 1},  {63, 0}, {64, 0}, {1000, 0}};
    for (const auto& row : rows) {
        EXPECT_EQ(bn_test_bit(a.get(), row.n), row.want) << row.n;
    }
}

// Magnitude and signed addition and subtraction rows; digits are least
// significant first.
TEST(BnAddSub, Rows)
{
    enum Op { kAddAbs, kSubAbs, kAdd, kSub };
    const struct {
        Op op;
        Digits a;
        bool a_neg;
        Digits b;
        bool b_neg;
        Digits want;
        int want_neg;
    } rows[] = {
        {kAddAbs, {0xFFFFFFFF}, false, {1}, false, {0, 1}, 0},
        {kAddAbs,
         {0xFFFFFFFF, 0xFFFFFFFF},
         false,
         {0xFFFFFFFF, 0xFFFFFFFF},
         false,
         {0xFFFFFFFE, 0xFFFFFFFF, 1},
         0},
        {kAddAbs, {0xFFFFFFFF, 0xFFFFFFFF, 7}, false, {1}, false, {0, 0, 8}, 0},
        {kSubAbs, {0, 1}, false, {1}, false, {0xFFFFFFFF}, 0},
        {kSubAbs, {4, 3}, false, {4, 3}, false, {}, 0},
        {kSubAbs, {0, 0, 1}, false, {1}, false, {0xFFFFFFFF, 0xFFFFFFFF}, 0},
        {kAdd, {3}, true, {5}, false, {2}, 0},
        {kAdd, {3}, false, {5}, true, {2}, 1},
        {kAdd, {3}, true, {3}, false, {}, 0},
        {kAdd, {3}, false, {3}, true, {}, 0},
        {kAdd, {3}, true, {5}, true, {8}, 1},
        {kSub, {3}, false, {5}, false, {2}, 1},
        {kSub, {5}, true, {3}, true, {2}, 1},
        {kSub, {3}, true, {5}, true, {2}, 0},
        {kSub, {3}, true, {3}, true, {}, 0},
        {kSub, {3}, false, {5}, true, {8}, 0},
        {kSub, {3}, true, {0xFFFFFFFF}, false, {2, 1}, 1},
    };
    for (const auto& row : rows) {
        Num a(4), b(4), r(4);
        a.set(row.a, row.a_neg);
        b.set(row.b, row.b_neg);
        r->negative = 0;
        switch (row.op) {
            case kAddAbs:
                bn_add_abs(r.get(), a.get(), b.get());
                break;
            case kSubAbs:
                bn_sub_abs(r.get(), a.get(), b.get());
                break;
            case kAdd:
                bn_add(r.get(), a.get(), b.get());
                break;
            case kSub:
                bn_sub(r.get(), a.get(), b.get());
                break;
        }
        EXPECT_EQ(r.digits(), row.want)
            << "op " << row.op << " " << bntest::hex(a.get()) << ", " << bntest::hex(b.get());
        EXPECT_EQ(r->negative, row.want_neg)
            << "op " << row.op << " " << bntest::hex(a.get()) << ", " << bntest::hex(b.get());
    }
}

TEST(BnAddSub, SubDigitRows)
{
    const struct {
        Digits a;
        bool neg;
        uint32_t w;
        Digits want;
    } rows[] = {
        {{0, 1}, false, 1, {0xFFFFFFFF}},
        {{5}, false, 5, {}},
        {{5}, true, 2, {3}},
        {{3, 0, 0, 2}, false, 4, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 1}},
        {{3, 0, 9}, false, 3, {0, 0, 9}},
        {{}, false, 0, {}},
    };
    for (const auto& row : rows) {
        Num a(4), r(4);
        a.set(row.a, row.neg);
        bn_sub_digit(r.get(), a.get(), row.w);
        EXPECT_EQ(r.digits(), row.want) << bntest::hex(a.get()) << " - " << row.w;
        EXPECT_EQ(r->negative, row.neg ? 1 : 0);
        bn_sub_digit(a.get(), a.get(), row.w);
        EXPECT_EQ(a.digits(), row.want) << "in place";
    }
}

TEST(BnShift, Rows)
{
    const struct {
        bool left;
        Digits a;
        int n;
        Digits want;
    } rows[] = {
        {true, {1}, 32, {0, 1}},
        {true, {7, 8}, 0, {7, 8}},
        {true, {}, 40, {}},
        {true, {0x80000001}, 1, {2, 1}},
        {true, {0xFFFFFFFF, 1}, 33, {0, 0xFFFFFFFE, 3}},
        {false, {0, 1}, 32, {1}},
        {false, {0, 2}, 33, {1}},
        {false, {5, 6}, 64, {}},   // exactly 32 * length
        {false, {5, 6}, 95, {}},   // up to 32 * length + 31
        {false, {5, 6}, 96, {0}},  // beyond: the explicit zero
        {false, {2, 1}, 1, {0x80000001}},
        {false, {0xF0, 0xA, 0xB}, 36, {0xB0000000}},
    };
    for (const auto& row : rows) {
        Num a(5), r(5);
        a.set(row.a, true);
        if (row.left) {
            bn_shift_left(r.get(), a.get(), row.n);
        } else {
            bn_shift_right(r.get(), a.get(), row.n);
        }
        EXPECT_EQ(r.digits(), row.want)
            << (row.left ? "left " : "right ") << bntest::hex(a.get()) << " by " << row.n;
        // Sign is copied, except for the explicit zero.
        const bool explicit_zero = row.want.size() == 1 && row.want[0] == 0;
        EXPECT_EQ(r->negative, explicit_zero ? 0 : 1);
    }
}

// Shifts by whole digits move the digits as a block, in place over an
// overlapping area: every length from 1 to 12 (short runs are moved digit by
// digit, longer ones as one block) by one to three digits, both ways.
TEST(BnShift, WholeDigitMovesInPlace)
{
    Rng rng(12);
    Mpz x, want;
    for (int na = 1; na <= 12; ++na) {
        for (int w = 1; w <= 3; ++w) {
            for (const bool left : {true, false}) {
                const Digits da = rng.digits(na);
                Num self(na + w + 1);
                self.set(da);
                to_mpz(x, self.get());
                if (left) {
                    mpz_mul_2exp(want, x, static_cast<mp_bitcnt_t>(32 * w));
                    bn_shift_left(self.get(), self.get(), 32 * w);
                } else {
                    mpz_fdiv_q_2exp(want, x, static_cast<mp_bitcnt_t>(32 * w));
                    bn_shift_right(self.get(), self.get(), 32 * w);
                }
                if (!left && w > na) {
                    EXPECT_EQ(self.digits(), Digits{0})
                        << na << " digits, right by " << w;  // the explicit zero
                } else if (mpz_sgn(want.v) == 0) {
                    EXPECT_EQ(self->length, 0) << na << " digits, right by " << w;
                } else {
                    EXPECT_TRUE(bntest::equals(self.get(), want))
                        << (left ? "left " : "right ") << na << " digits by " << w << ": "
                        << bntest::hex(self.get());
                }
            }
        }
    }
}

// Differential run: every operation on random operands of 1 to 73 digits,
// once into a separate result and once in place, checked against GMP.
TEST(BnBasicDifferential, AgainstGmp)
{
    const uint64_t seed = 0x3131;
    Rng rng(seed);
    Mpz x, y, want, got;
    for (int iter = 0; iter < 6000; ++iter) {
        const int na = rng.range(1, 73);
        const int nb = rng.range(1, 73);
        const bool a_neg = rng.range(0, 1) == 1;
        const bool b_neg = rng.range(0, 1) == 1;
        const Digits da = rng.digits(na);
        const Digits db = rng.range(0, 7) == 0 ? da : rng.digits(nb);
        const int cap = 75;  // room for the largest sum
        Num a(cap), b(cap), r(cap);
        a.set(da, a_neg);
        b.set(db, b_neg);
        to_mpz(x, a.get());
        to_mpz(y, b.get());
        SCOPED_TRACE("seed " + std::to_string(seed) + " iteration " + std::to_string(iter) +
                     "\n a = " + bntest::hex(a.get()) + "\n b = " + bntest::hex(b.get()));

        // Signed sum and difference, into r, into a and into b.
        for (int op = 0; op < 2; ++op) {
            if (op == 0) {
                mpz_add(want, x, y);
            } else {
                mpz_sub(want, x, y);
            }
            auto run = [&](BigNum* dst, const BigNum* p, const BigNum* q) {
                op == 0 ? bn_add(dst, p, q) : bn_sub(dst, p, q);
            };
            run(r.get(), a.get(), b.get());
            ASSERT_TRUE(bntest::equals(r.get(), want))
                << "op " << op << " got " << bntest::hex(r.get());
            Num a2(cap), b2(cap);
            a2.set(da, a_neg);
            b2.set(db, b_neg);
            run(a2.get(), a2.get(), b.get());
            ASSERT_TRUE(bntest::equals(a2.get(), want)) << "op " << op << " r = a";
            run(b2.get(), a.get(), b2.get());
            ASSERT_TRUE(bntest::equals(b2.get(), want)) << "op " << op << " r = b";
        }

        // Magnitude comparison: sign and, for unequal lengths, the value.
        const int cmp = bn_cmp_abs(a.get(), b.get());
        const int gmp_cmp = mpz_cmpabs(x, y);
        ASSERT_EQ(cmp > 0, gmp_cmp > 0);
        ASSERT_EQ(cmp < 0, gmp_cmp < 0);
        if (na != static_cast<int>(db.size())) {
            ASSERT_EQ(cmp, na - static_cast<int>(db.size()));
        }

        // Magnitude subtraction of the smaller from the larger, in place.
        const bool a_big = gmp_cmp >= 0;
        Num big(cap);
        big.set(a_big ? da : db, true);
        const BigNum* small = a_big ? b.get() : a.get();
        mpz_abs(want, a_big ? x : y);
        mpz_abs(got, a_big ? y : x);
        mpz_sub(want, want, got);
        mpz_neg(want, want);  // the sign stays untouched (negative)
        bn_sub_abs(big.get(), big.get(), small);
        ASSERT_TRUE(mpz_sgn(want.v) == 0 ? big->length == 0 : bntest::equals(big.get(), want))
            << "sub_abs got " << bntest::hex(big.get());

        // Subtracting one digit.
        const uint32_t w = da.size() == 1 ? da[0] - (rng.digit() % (da[0] + 1ull)) : rng.digit();
        bn_sub_digit(r.get(), a.get(), w);
        mpz_abs(want, x);
        mpz_sub_ui(want, want, w);
        if (a_neg) {
            mpz_neg(want, want);
        }
        ASSERT_TRUE(mpz_sgn(want.v) == 0 ? r->length == 0 : bntest::equals(r.get(), want))
            << "sub_digit " << w << " got " << bntest::hex(r.get());

        // Shifts by any count, in place and not.
        const int n = rng.range(0, 32 * (na + 2));
        mpz_abs(want, x);
        mpz_mul_2exp(want, want, static_cast<mp_bitcnt_t>(n));
        if (a_neg) {
            mpz_neg(want, want);
        }
        Num wide(na + n / 32 + 1);
        bn_shift_left(wide.get(), a.get(), n);
        ASSERT_TRUE(bntest::equals(wide.get(), want)) << "left " << n;
        Num self(na + n / 32 + 1);
        self.set(da, a_neg);
        bn_shift_left(self.get(), self.get(), n);
        ASSERT_TRUE(bntest::equals(self.get(), want)) << "left in place " << n;

        mpz_abs(want, x);
        mpz_fdiv_q_2exp(want, want, static_cast<mp_bitcnt_t>(n));
        const bool explicit_zero = n / 32 > na;
        if (a_neg && !explicit_zero) {
            mpz_neg(want, want);
        }
        for (int in_place = 0; in_place < 2; ++in_place) {
            Num dst(cap);
            dst.set(da, a_neg);
            bn_shift_right(dst.get(), in_place ? dst.get() : a.get(), n);
            if (explicit_zero) {
                ASSERT_EQ(dst.digits(), Digits{0}) << "right " << n;
                ASSERT_EQ(dst->negative, 0);
            } else if (mpz_sgn(want.v) == 0) {
                ASSERT_EQ(dst->length, 0) << "right " << n;
            } else {
                ASSERT_TRUE(bntest::equals(dst.get(), want))
                    << "right " << n << " in place " << in_place;
            }
        }

        // Single bits of the magnitude, including ones past the top.
        mpz_abs(got, x);
        for (int k = 0; k < 4; ++k) {
            const int bit = rng.range(-2, 32 * na + 40);
            ASSERT_EQ(bn_test_bit(a.get(), bit),
                      bit < 0 ? 0 : mpz_tstbit(got, static_cast<mp_bitcnt_t>(bit)))
                << bit;
        }

        // Copy into a fresh area.
        Num c(na);
        bn_copy(c.get(), a.get());
        ASSERT_EQ(c.digits(), da);
        ASSERT_EQ(c->negative, a->negative);
    }
}

}  // namespace
