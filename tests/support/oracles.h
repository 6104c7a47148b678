// The reference implementations the tests compare with: SHA-1 (OpenSSL's,
// or in the 32-bit build the plain one of sha1_oracle.h) and GMP's modular
// power.
#pragma once

#include "tests/support/hex.h"

namespace support {

// SHA-1 of n bytes, by the oracle of sha1_oracle.h.
Bytes Sha1(const uint8_t* data, size_t n);
Bytes Sha1(const Bytes& data);

// in ^ e mod n, right-aligned in `size` bytes (0: n's byte length), by GMP.
// Operands are big-endian bytes; n must not be zero. A result longer than
// `size` gives all zeros.
Bytes PowMod(const Bytes& in, unsigned long e, const Bytes& n, size_t size = 0);

}  // namespace support
