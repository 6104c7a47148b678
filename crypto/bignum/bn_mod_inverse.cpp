// Modular inverse by the extended Euclidean algorithm.
#include "crypto/bignum/bignum.h"
#include "crypto/bignum/bn_normalise.h"

// see bignum.h
void bn_mod_inverse(BigNum* r, const BigNum* a, const BigNum* n)
{
    if (a->negative != 0 || n->negative != 0) {
        return;
    }
    uint32_t areas[6][kDigitAreaSize];
    BigNum nums[6];
    for (int i = 0; i < 6; ++i) {
        nums[i] = BigNum{0, 0, areas[i]};
    }
    BigNum* A = &nums[0];
    BigNum* B = &nums[1];
    BigNum* X = &nums[2];
    BigNum* Y = &nums[3];
    BigNum* D = &nums[4];
    BigNum* M = &nums[5];
    bn_copy(A, a);
    bn_copy(B, n);
    X->length = 1;
    X->digits[0] = 0;
    Y->length = 1;
    Y->digits[0] = 1;
    bool negative = false;

    // Invariant: X and Y are the cofactors of a for B and A, up to the
    // alternating sign; only their magnitudes are stored.
    while (B->negative == 0 && !bn_is_zero(B)) {
        bn_div(D, M, A, B);
        BigNum* T = A;
        bn_mul(T, D, X);
        // A zero factor leaves zero digits on top; the sum below and the
        // final subtraction compare lengths, so the product is normalised.
        bn_normalise(T);
        bn_add(T, T, Y);
        A = B;
        B = M;
        M = Y;
        Y = X;
        X = T;
        negative = !negative;
    }
    if (negative) {
        bn_sub(Y, n, Y);
    }
    if (A->length == 1 && A->digits[0] == 1) {
        bn_mod(r, Y, n);
    } else {
        r->negative = 0;
        r->length = 1;
        r->digits[0] = 0;
    }
}
