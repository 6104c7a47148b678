// Test support: EMV chains made in the tests. RSA keys come from GMP
// (test-only, from fixed seeds); recovered blocks are laid out here, their hash filled in, and
// signed with the private key (raw, no padding), so a test can build a good
// chain, or a block broken in exactly one way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace emv_chain {

using Bytes = std::vector<uint8_t>;

// An RSA key made with GMP. All numbers big-endian; the modulus has
// exactly bits / 8 bytes, its top bit set.
struct TestKey {
    Bytes modulus;
    Bytes exponent;  // 03 or 01 00 01
    Bytes private_exponent;
};

// A key of `bits` bits (a multiple of 8) with public exponent e (3 or
// 65537), made on first use and kept for the process; slot tells apart keys
// of the same size and exponent.
const TestKey& test_key(int bits, uint32_t e, int slot = 0);

// block^d mod n as modulus-length bytes: what a card carries. block MUST be
// below the modulus.
Bytes sign(const TestKey& signer, const Bytes& block);

// block^e mod n as modulus-length bytes, computed by GMP: the oracle of the
// recovery.
Bytes recover_with_oracle(const TestKey& signer, const Bytes& signed_data);

// Fields of a key certificate (issuer: format 02, 4-byte identifier; ICC:
// format 04, 10-byte PAN field), before the key goes in.
struct KeyCertSpec {
    uint8_t format = 0x02;
    Bytes identifier;
    uint8_t expiry[2] = {0x12, 0x49};
    uint8_t serial[3] = {0x00, 0x00, 0x01};
    uint8_t hash_algorithm = 0x01;
    uint8_t pk_algorithm = 0x01;
};

// A key certificate as recovered (block of the signer's length, hash filled
// in), with the remainder and the exponent that go with it.
struct KeyCert {
    Bytes block;
    Bytes remainder;  // empty when the key fits its field
    Bytes exponent;
};

// Lays out the certificate of the key (modulus, exponent) for a signer of
// signer_length bytes: the key or its leftmost field-size bytes, BB after a
// shorter key, the rest in the remainder. The hash covers the block's
// content, the remainder, the exponent and static_data.
KeyCert key_cert(const KeyCertSpec& spec, const Bytes& modulus, const Bytes& exponent,
                 size_t signer_length, const Bytes& static_data = {});

// Signed static application data as recovered; hash over content and
// static_data.
Bytes ssad_block(size_t signer_length, uint8_t dac_high, uint8_t dac_low, const Bytes& static_data);

// Signed dynamic application data as recovered: L, the ICC dynamic data, BB
// pad; hash over content and the terminal's dynamic data.
Bytes sdad_block(size_t signer_length, const Bytes& icc_dynamic_data,
                 const Bytes& terminal_dynamic_data);

// Rewrites the hash of a recovered block: SHA-1 over the block from its
// format byte up to the hash, then each of extra in order.
void seal(Bytes& block, const std::vector<Bytes>& extra);

// Digits as BCD padded with F to `bytes` bytes: ("476173", 4) -> 47 61 73 FF.
Bytes bcd_padded(const std::string& digits, size_t bytes);

// A whole chain: CA key, issuer key and certificate, ICC key and
// certificate, signed static and dynamic data, each signed by its signer.
struct Chain {
    const TestKey* ca;
    const TestKey* issuer;
    const TestKey* icc;
    std::string pan;
    Bytes static_data;            // what the SSAD and the ICC certificate cover
    Bytes terminal_dynamic_data;  // what the SDAD covers after its content
    Bytes icc_dynamic_data;
    KeyCert issuer_cert;       // block as recovered with the CA key
    KeyCert icc_cert;          // block as recovered with the issuer key
    Bytes ssad;                // as recovered with the issuer key
    Bytes sdad;                // as recovered with the ICC key
    Bytes issuer_cert_signed;  // what the card carries
    Bytes icc_cert_signed;
    Bytes ssad_signed;
    Bytes sdad_signed;
};

// Keys of the given sizes (bits) and public exponents; PAN 4761739001010119,
// issuer identifier 476173, both certificates expiring 12/49.
Chain make_chain(int ca_bits, uint32_t ca_e, int issuer_bits, uint32_t issuer_e, int icc_bits,
                 uint32_t icc_e);

Bytes from_hex(const std::string& hex);
std::string to_hex(const Bytes& bytes);

}  // namespace emv_chain
