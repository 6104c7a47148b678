// Internal: the one-digit-per-step kernels. They are the digit-vector
// kernels wherever no 128-bit integer type exists (32-bit targets) and stay
// callable everywhere so that tests can check them against the wide ones.
#pragma once

#include <cstdint>

uint32_t bn_vec_mul_digit_narrow(uint32_t* r, const uint32_t* a, int n, uint32_t w);
uint32_t bn_vec_mul_add_digit_narrow(uint32_t* r, const uint32_t* a, int n, uint32_t w);
