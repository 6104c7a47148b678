// Builds big-number operands from fuzz bytes and compares multiplication,
// squaring, signed division and modular exponentiation with GMP.
//
// Input: a 6-byte header, then operand bytes.
//   [0] flags: bit 0 sign of a, bit 1 sign of b, bit 2 force the modulus odd
//       with a full top digit (the Montgomery path), bit 3 force it even,
//       bit 4 give the division-path base more digits than the modulus,
//       bit 5 put zero digits on top of the numerator and divisor (as a
//       product with an explicit-zero factor has them)
//   [1] digits of a (multiplicand / numerator), [2] digits of b (multiplier /
//       divisor), [3] digits of the modulus, [4] bytes of the exponent,
//   [5] fill byte used once the operand bytes run out
// Lengths are taken modulo the capacities the operations document: products
// of two 73-digit operands, numerators of 147 digits, moduli of 73 digits.
#include <gmp.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "crypto/bignum/bn_exp.h"

namespace {

constexpr int kMulDigits = 73;
constexpr int kNumDigits = 147;

// Operand bytes: the fuzz bytes after the header, then the fill byte.
struct Source {
    const uint8_t* data;
    size_t size;
    size_t pos;
    uint8_t fill;

    uint8_t next() { return pos < size ? data[pos++] : fill; }
};

// A number with its own heap area of exactly `capacity` digits.
struct Num {
    std::vector<uint32_t> area;
    BigNum bn;
    explicit Num(int capacity)
        : area(static_cast<size_t>(capacity < 1 ? 1 : capacity)), bn{0, 0, area.data()}
    {
    }
};

void load(Num* n, Source* src, int digits, bool negative)
{
    std::vector<uint8_t> bytes(static_cast<size_t>(4 * digits));
    for (auto& b : bytes)
        b = src->next();
    bn_from_bytes(&n->bn, bytes.data(), static_cast<int>(bytes.size()));
    n->bn.negative = negative ? 1 : 0;
}

// Up to `count` zero digits on top of n, within its area: a value in the
// form bn_mul leaves for an explicit-zero factor.
void pad_with_zero_digits(Num* n, int count)
{
    while (count-- > 0 && static_cast<size_t>(n->bn.length) < n->area.size()) {
        n->area[static_cast<size_t>(n->bn.length++)] = 0;
    }
}

void to_mpz(mpz_t out, const BigNum* a)
{
    mpz_import(out, static_cast<size_t>(a->length), -1, sizeof(uint32_t), 0, 0, a->digits);
    if (a->negative != 0)
        mpz_neg(out, out);
}

bool well_formed(const BigNum* a)
{
    return a->length == 0 || a->length == 1 || a->digits[a->length - 1] != 0;
}

[[noreturn]] void fail(const char* what, mpz_srcptr x, mpz_srcptr y, mpz_srcptr got,
                       mpz_srcptr expected)
{
    gmp_fprintf(stderr,
                "%s mismatch\n  x        %Zx\n  y        %Zx\n  got      %Zx\n  expected %Zx\n",
                what, x, y, got, expected);
    abort();
}

// Value and sign of a result (a zero result may carry either sign).
void expect_equal(const char* what, const BigNum* r, mpz_srcptr expected, mpz_srcptr x,
                  mpz_srcptr y)
{
    mpz_t got;
    mpz_init(got);
    mpz_import(got, static_cast<size_t>(r->length), -1, sizeof(uint32_t), 0, 0, r->digits);
    if (r->negative != 0)
        mpz_neg(got, got);
    if (mpz_cmp(got, expected) != 0 || !well_formed(r))
        fail(what, x, y, got, expected);
    mpz_clear(got);
}

void check_mul(const Num& a, const Num& b)
{
    mpz_t x, y, expected;
    mpz_inits(x, y, expected, nullptr);
    to_mpz(x, &a.bn);
    to_mpz(y, &b.bn);
    Num r(a.bn.length + b.bn.length);
    bn_mul(&r.bn, &a.bn, &b.bn);
    mpz_mul(expected, x, y);
    expect_equal("bn_mul", &r.bn, expected, x, y);

    Num s(2 * a.bn.length);
    bn_sqr(&s.bn, &a.bn);
    mpz_mul(expected, x, x);
    mpz_abs(expected, expected);
    expect_equal("bn_sqr", &s.bn, expected, x, x);
    mpz_clears(x, y, expected, nullptr);
}

void check_div(const Num& num, const Num& d)
{
    mpz_t x, y, q_expected, r_expected;
    mpz_inits(x, y, q_expected, r_expected, nullptr);
    to_mpz(x, &num.bn);
    to_mpz(y, &d.bn);
    Num q(num.bn.length + 1), rem(num.bn.length + 2);
    q.area[0] = 0xDEADBEEF;
    rem.area[0] = 0xDEADBEEF;
    const int ok = bn_div(&q.bn, &rem.bn, &num.bn, &d.bn);
    if (mpz_sgn(y) == 0) {
        // Refused: neither result is written.
        if (ok != 0 || q.bn.length != 0 || rem.bn.length != 0 || q.area[0] != 0xDEADBEEF) {
            fprintf(stderr, "bn_div by zero: returned %d or wrote a result\n", ok);
            abort();
        }
    } else {
        if (ok != 1)
            fail("bn_div status", x, y, x, y);
        mpz_tdiv_qr(q_expected, r_expected, x, y);
        expect_equal("bn_div quotient", &q.bn, q_expected, x, y);
        expect_equal("bn_div remainder", &rem.bn, r_expected, x, y);
        if ((rem.bn.negative != 0) != (num.bn.negative != 0))
            fail("bn_div remainder sign", x, y, x, y);
    }
    mpz_clears(x, y, q_expected, r_expected, nullptr);
}

void check_mod_exp(const Num& base, const Num& exponent, const Num& modulus)
{
    mpz_t b, e, m, expected;
    mpz_inits(b, e, m, expected, nullptr);
    to_mpz(b, &base.bn);
    to_mpz(e, &exponent.bn);
    to_mpz(m, &modulus.bn);
    Num r(modulus.bn.length + 1);
    bn_mod_exp(&r.bn, &base.bn, &exponent.bn, &modulus.bn);
    if (mpz_sgn(m) == 0) {
        if (r.bn.length != 1 || r.bn.digits[0] != 0 || r.bn.negative != 0) {
            fprintf(stderr, "bn_mod_exp with a zero modulus did not give the explicit zero\n");
            abort();
        }
    } else {
        mpz_powm(expected, b, e, m);
        expect_equal("bn_mod_exp", &r.bn, expected, b, m);
    }
    mpz_clears(b, e, m, expected, nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 6)
        return 0;
    const uint8_t flags = data[0];
    Source src = {data + 6, size - 6, 0, data[5]};

    // Multiplication and squaring: two operands of up to 73 digits.
    const int a_mul = data[1] % (kMulDigits + 1);
    const int b_mul = data[2] % (kMulDigits + 1);
    {
        Num a(a_mul), b(b_mul);
        load(&a, &src, a_mul, flags & 1);
        load(&b, &src, b_mul, flags & 2);
        check_mul(a, b);
    }

    // Division: numerator of up to 147 digits, divisor of up to the same.
    src.pos = 0;
    const int a_div = data[1] % (kNumDigits + 1);
    const int b_div = 1 + data[2] % kNumDigits;
    {
        // Areas stay exact, padding included, so overruns reach ASan.
        const int num_pad = (flags & 32) ? 1 + data[3] % 2 : 0;
        const int d_pad = (flags & 32) ? 1 + data[4] % 2 : 0;
        const int d_digits = b_div > a_div + 1 ? a_div + 1 : b_div;
        Num num(a_div + num_pad), d(d_digits + d_pad);
        load(&num, &src, a_div, flags & 1);
        load(&d, &src, d_digits, flags & 2);
        pad_with_zero_digits(&num, num_pad);
        pad_with_zero_digits(&d, d_pad);
        check_div(num, d);
    }

    // Exponentiation: modulus of up to 73 digits, base of its digit count
    // (more on the division path), exponent of up to 40 bytes.
    src.pos = 0;
    const int k = data[3] % (kMaxModulusDigits + 1);
    Num modulus(k);
    load(&modulus, &src, k, false);
    if (k > 0 && (flags & 4)) {
        modulus.area[static_cast<size_t>(k - 1)] |= 0x80000000u;
        modulus.area[0] |= 1u;
        modulus.bn.length = k;
    } else if (flags & 8) {
        modulus.area[0] &= ~1u;
    }
    const bool montgomery =
        modulus.bn.length > 0 && (modulus.area[0] & 1u) &&
        (modulus.area[static_cast<size_t>(modulus.bn.length - 1)] & 0x80000000u);
    int base_digits = modulus.bn.length;
    if (!montgomery && (flags & 16))
        base_digits = kNumDigits - (data[1] % 8);
    Num base(base_digits);
    load(&base, &src, base_digits, false);
    const int e_bytes = data[4] % 41;
    std::vector<uint8_t> e_raw(static_cast<size_t>(e_bytes));
    for (auto& v : e_raw)
        v = src.next();
    Num exponent((e_bytes + 3) / 4);
    bn_from_bytes(&exponent.bn, e_raw.data(), e_bytes);
    check_mod_exp(base, exponent, modulus);
    return 0;
}
