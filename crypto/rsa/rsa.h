// RSA key context and the public-key operation on one block:
// out = in^e mod n, right-aligned in one block of the modulus's size.
//
// Block size: (significant bits of the modulus + 7) / 8 bytes, recomputed on
// every call; leading zero bytes of the modulus as passed do not count.
//
// Heap: rsa_new takes one zero-filled block (calloc) for the whole context;
// rsa_public takes one temporary buffer of one block size (malloc) and frees
// it before returning. Nothing else allocates.
//
// Calling order: rsa_new, rsa_set_public_key, rsa_public any number of times,
// rsa_free. rsa_set_public_key may be called again to replace the key. One
// context MUST NOT be used by two calls at the same time.
#pragma once

#include <cstdint>

#include "crypto/bignum/bignum.h"
#include "crypto/crypto_status.h"

// Digit areas of the key context: the modulus area holds 150 digits; the
// reserved private-key members are sized for primes of half that length.
constexpr int kRsaModulusDigits = 150;
constexpr int kRsaHalfDigits = 75;

// The key context: eight numbers, then their eight digit areas in the same
// order. Only modulus and public_exponent are ever filled; the other six are
// the members of an RSA private key (private exponent, the two primes, the
// two CRT exponents, the CRT coefficient), reserved and always zero.
struct RsaKey {
    BigNum modulus;          // n
    BigNum public_exponent;  // e, always one digit
    BigNum private_exponent;
    BigNum prime1;
    BigNum prime2;
    BigNum exponent1;
    BigNum exponent2;
    BigNum coefficient;
    uint32_t modulus_area[kRsaModulusDigits];
    uint32_t public_exponent_area[1];
    uint32_t private_exponent_area[kRsaModulusDigits];
    uint32_t prime1_area[kRsaHalfDigits];
    uint32_t prime2_area[kRsaHalfDigits];
    uint32_t exponent1_area[kRsaHalfDigits];
    uint32_t exponent2_area[kRsaHalfDigits];
    uint32_t coefficient_area[kRsaHalfDigits];
};

// Creates an empty key context (every number zero) and stores it in *key_out,
// or null when the heap block cannot be had. key_out MUST be a valid address.
// Returns 0 or CRYPTO_ERR_MEMORY.
[[nodiscard]] CryptoStatus rsa_new(RsaKey** key_out);

// Points every number of key at its own area and clears its sign. Lengths
// are left as they are (zero in a block from rsa_new).
void rsa_init_key(RsaKey* key);

// Sets n from the first bits / 8 bytes at modulus (big-endian; bits is read
// as unsigned and its three low bits are ignored) and e = exponent.
// Returns CRYPTO_ERR_NULL_ARGUMENT for a null key or modulus, and
// CRYPTO_ERR_DATA_TOO_LONG when the modulus has more than kMaxModulusBytes
// significant bytes (leading zero bytes do not count); in both cases the key
// is unchanged. Otherwise returns 0. modulus MUST hold bits / 8 bytes.
[[nodiscard]] CryptoStatus rsa_set_public_key(RsaKey* key, const uint8_t* modulus, int32_t bits,
                                              uint32_t exponent);

// Unchecked worker of rsa_set_public_key: both pointers MUST be valid and
// the modulus MUST have at most kMaxModulusBytes significant bytes. Leading
// zero bytes are skipped before import, so only significant digits are ever
// written to the modulus area.
void rsa_set_public_raw(RsaKey* key, const uint8_t* modulus, int32_t bits, uint32_t exponent);

// out = in^e mod n as exactly one block: zero bytes, then the minimal
// big-endian result. in holds length bytes (0 or more), big-endian; it is not
// compared with n. out MUST have room for one block and MAY be the same
// buffer as in (in is read completely before out is written).
// Returns:
//  - CRYPTO_ERR_NULL_ARGUMENT when key, out or in is null (also for length 0);
//  - CRYPTO_ERR_DATA_TOO_LONG when length exceeds the block size, when the
//    block size is 0 (no key, a zero modulus, fewer than 8 bits; also for an
//    empty input), or when the result would not fit one block;
//  - CRYPTO_ERR_MEMORY when the temporary buffer cannot be had;
//  - 0 on success.
// On every failure out is not written and the key is unchanged.
[[nodiscard]] CryptoStatus rsa_public(const RsaKey* key, uint8_t* out, const uint8_t* in,
                                      int32_t length);

// Unchecked worker of rsa_public (output first, key last): all pointers MUST
// be valid. Returns 0, CRYPTO_ERR_DATA_TOO_LONG or CRYPTO_ERR_MEMORY as
// rsa_public does.
[[nodiscard]] CryptoStatus rsa_public_raw(uint8_t* out, const uint8_t* in, int32_t length,
                                          const RsaKey* key);

// Releases the context's heap block; null does nothing. Contents are not
// wiped.
void rsa_free(RsaKey* key);
