// Internal: the one-digit-per-step paths. They are what runs wherever no
// 128-bit integer type exists (32-bit targets), and they stay callable
// everywhere so that tests can check them against the two-digit paths.
#pragma once

#include "crypto/bignum/bignum.h"

uint32_t bn_vec_mul_digit_narrow(uint32_t* r, const uint32_t* a, int n, uint32_t w);
uint32_t bn_vec_mul_add_digit_narrow(uint32_t* r, const uint32_t* a, int n, uint32_t w);
// bn_mul and bn_sqr one digit row at a time through the kernels above (the
// public kernels, whichever build they have).
void bn_mul_digit_rows(BigNum* r, const BigNum* a, const BigNum* b);
void bn_sqr_digit_rows(BigNum* r, const BigNum* a);
