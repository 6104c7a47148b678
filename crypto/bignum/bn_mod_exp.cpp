// Modular exponentiation: the dispatcher, the two paths and the sliding-window
// scan they share. The paths differ only in their multiplication and in the
// conversions at the start and the end.
#include "crypto/bignum/bn_exp.h"
#include "crypto/bignum/bn_normalise.h"

namespace {

// r = a * b in the path's representation; squares when a and b are the same
// object. r may be a, b or both.
using ExpMulFn = void (*)(BigNum* r, const BigNum* a, const BigNum* b, const void* path);

// Everything a path's multiplication needs: the modulus (division path) or
// the Montgomery context.
struct ExpPath {
    ExpMulFn mul;
    const void* data;
};

void plain_mul(BigNum* r, const BigNum* a, const BigNum* b, const void* path)
{
    (void)bn_mod_mul(r, a, b, static_cast<const BigNum*>(path));  // modulus is non-zero
}

void mont_mul(BigNum* r, const BigNum* a, const BigNum* b, const void* path)
{
    bn_mont_mul(r, a, b, static_cast<const MontgomeryContext*>(path));
}

int window_bits(int exponent_bits)
{
    if (exponent_bits >= 256)
        return 5;
    if (exponent_bits >= 128)
        return 4;
    if (exponent_bits >= 18)
        return 3;
    return 1;
}

// A local table of odd powers with its areas, plus the square of the base.
struct ExpTable {
    BigNum entry[kExpTableSize];
    BigNum square;
    uint32_t entry_area[kExpTableSize][kDigitAreaSize];
    uint32_t square_area[kDigitAreaSize];
};

void table_bind(ExpTable* table)
{
    for (int i = 0; i < kExpTableSize; ++i)
        table->entry[i] = BigNum{0, 0, table->entry_area[i]};
    table->square = BigNum{0, 0, table->square_area};
}

// entry[0] is filled by the path; entry[i] = base^(2i + 1). The square is
// formed even for a 1-bit window, which uses entry[0] only.
void table_fill(ExpTable* table, int entries, const ExpPath* path)
{
    path->mul(&table->square, &table->entry[0], &table->entry[0], path->data);
    for (int i = 1; i < entries; ++i)
        path->mul(&table->entry[i], &table->entry[i - 1], &table->square, path->data);
}

// Left to right over the exponent, r already holding the representation of 1.
// A window starts at a set bit and ends at its last set bit within w bits, so
// its value is odd and indexes the table directly. Until the first window no
// squaring is done, but that window's multiplication is carried out in full.
void window_scan(BigNum* r, const BigNum* exponent, int bits, int w, const ExpTable* table,
                 const ExpPath* path)
{
    bool start = true;
    int position = bits - 1;
    for (;;) {
        if (!bn_test_bit(exponent, position)) {
            if (!start)
                path->mul(r, r, r, path->data);
            if (position == 0)
                return;
            --position;
            continue;
        }
        uint32_t value = 1;
        int last = 0;
        for (int i = 1; i < w && position - i >= 0; ++i) {
            if (bn_test_bit(exponent, position - i)) {
                value = (value << (i - last)) | 1u;
                last = i;
            }
        }
        if (!start)
            for (int i = 0; i <= last; ++i)
                path->mul(r, r, r, path->data);
        path->mul(r, r, &table->entry[value / 2], path->data);
        position -= last + 1;
        start = false;
        if (position < 0)
            return;
    }
}

}  // namespace

// see bn_exp.h
void bn_mod_exp(BigNum* r, const BigNum* base, const BigNum* exponent, const BigNum* modulus)
{
    // A zero modulus has no residues; the explicit zero keeps r defined.
    if (bn_is_zero(modulus)) {
        bn_set_digit(r, 0);
        return;
    }
    if (bn_is_zero(exponent)) {
        const bool modulus_is_one = modulus->length == 1 && modulus->digits[0] == 1;
        bn_set_digit(r, modulus_is_one ? 0u : 1u);
        return;
    }
    const uint32_t top = modulus->digits[modulus->length - 1];
    if ((top & 0x80000000u) != 0 && (modulus->digits[0] & 1u) != 0) {
        MontgomeryContext context;
        bn_mod_exp_montgomery(r, base, exponent, modulus, &context);
    } else {
        bn_mod_exp_plain(r, base, exponent, modulus);
    }
}

// see bn_exp.h
void bn_mod_exp_plain(BigNum* r, const BigNum* base, const BigNum* exponent, const BigNum* modulus)
{
    const ExpPath path = {plain_mul, modulus};
    const int bits = bn_bit_length(exponent);
    const int w = window_bits(bits);
    ExpTable table;
    table_bind(&table);

    (void)bn_mod(&table.entry[0], base, modulus);  // modulus is non-zero
    table_fill(&table, 1 << (w - 1), &path);
    bn_set_digit(r, 1);
    window_scan(r, exponent, bits, w, &table, &path);
}

// see bn_exp.h
void bn_mod_exp_montgomery(BigNum* r, const BigNum* base, const BigNum* exponent,
                           const BigNum* modulus, MontgomeryContext* context)
{
    const ExpPath path = {mont_mul, context};
    const int bits = bn_bit_length(exponent);
    const int w = window_bits(bits);
    ExpTable table;
    table_bind(&table);

    bn_mont_init(context, modulus);
    // base * R^2 * R^-1 = base * R mod n; base has no more digits than n, so
    // base * R^2 < n * R and the result is fully reduced.
    bn_mont_mul(&table.entry[0], base, &context->r_squared, context);
    table_fill(&table, 1 << (w - 1), &path);

    uint32_t one_digit = 1;
    const BigNum one = {0, 1, &one_digit};
    bn_mont_mul(r, &one, &context->r_squared, context);  // R mod n
    window_scan(r, exponent, bits, w, &table, &path);
    bn_mont_reduce(r, r, context);
}
