// Test support: keys from OpenSSL, recovered blocks laid out and signed.
#include "tests/emv_support/emv_chain.h"

#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/rsa.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <tuple>

namespace emv_chain {

namespace {

constexpr uint8_t kHeader = 0x6A;
constexpr uint8_t kTrailer = 0xBC;
constexpr uint8_t kPad = 0xBB;
constexpr size_t kTail = 21;  // hash (20) and trailer

void require(bool ok, const char* what)
{
    if (!ok) {
        throw std::runtime_error(std::string("emv test chain: ") + what);
    }
}

struct BnFree {
    void operator()(BIGNUM* b) const { BN_free(b); }
};
using BnPtr = std::unique_ptr<BIGNUM, BnFree>;

BnPtr bn(const Bytes& b)
{
    return BnPtr(BN_bin2bn(b.data(), static_cast<int>(b.size()), nullptr));
}

Bytes bytes_of(const BIGNUM* b, size_t size)
{
    Bytes out(size);
    require(BN_bn2binpad(b, out.data(), static_cast<int>(size)) == static_cast<int>(size),
            "number longer than its block");
    return out;
}

Bytes param(EVP_PKEY* key, const char* name, size_t size)
{
    BIGNUM* b = nullptr;
    require(EVP_PKEY_get_bn_param(key, name, &b) == 1, name);
    BnPtr owned(b);
    return bytes_of(b, size);
}

TestKey generate(int bits, uint32_t e)
{
    EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr);
    require(ctx != nullptr && EVP_PKEY_keygen_init(ctx) == 1, "keygen init");
    BnPtr exponent(BN_new());
    BN_set_word(exponent.get(), e);
    require(EVP_PKEY_CTX_set_rsa_keygen_bits(ctx, bits) == 1 &&
                EVP_PKEY_CTX_set1_rsa_keygen_pubexp(ctx, exponent.get()) == 1,
            "keygen parameters");
    EVP_PKEY* key = nullptr;
    require(EVP_PKEY_generate(ctx, &key) == 1, "keygen");
    EVP_PKEY_CTX_free(ctx);
    const size_t size = static_cast<size_t>(bits / 8);
    TestKey out;
    out.modulus = param(key, OSSL_PKEY_PARAM_RSA_N, size);
    out.private_exponent = param(key, OSSL_PKEY_PARAM_RSA_D, size);
    out.exponent = e == 3 ? Bytes{0x03} : Bytes{0x01, 0x00, 0x01};
    EVP_PKEY_free(key);
    require((out.modulus[0] & 0x80) != 0, "modulus shorter than asked");
    return out;
}

Bytes mod_exp(const Bytes& base, const Bytes& exponent, const Bytes& modulus)
{
    BnPtr x = bn(base), d = bn(exponent), n = bn(modulus), r(BN_new());
    BN_CTX* ctx = BN_CTX_new();
    require(BN_mod_exp(r.get(), x.get(), d.get(), n.get(), ctx) == 1, "mod exp");
    BN_CTX_free(ctx);
    return bytes_of(r.get(), modulus.size());
}

Bytes sha1(const Bytes& data)
{
    Bytes digest(20);
    unsigned int length = 0;
    require(EVP_Digest(data.data(), data.size(), digest.data(), &length, EVP_sha1(), nullptr) == 1,
            "sha1");
    return digest;
}

// Header, content, room for the hash, trailer.
Bytes frame(const Bytes& content, size_t signer_length)
{
    require(content.size() + 1 + kTail <= signer_length, "content longer than the block");
    Bytes block(signer_length, kPad);
    block[0] = kHeader;
    std::copy(content.begin(), content.end(), block.begin() + 1);
    block[signer_length - 1] = kTrailer;
    return block;
}

}  // namespace

const TestKey& test_key(int bits, uint32_t e, int slot)
{
    static std::map<std::tuple<int, uint32_t, int>, TestKey> keys;
    const auto id = std::make_tuple(bits, e, slot);
    auto it = keys.find(id);
    if (it == keys.end()) {
        it = keys.emplace(id, generate(bits, e)).first;
    }
    return it->second;
}

Bytes sign(const TestKey& signer, const Bytes& block)
{
    require(block.size() == signer.modulus.size() && block < signer.modulus,
            "block must be below the modulus");
    return mod_exp(block, signer.private_exponent, signer.modulus);
}

Bytes recover_with_openssl(const TestKey& signer, const Bytes& signed_data)
{
    return mod_exp(signed_data, signer.exponent, signer.modulus);
}

void seal(Bytes& block, const std::vector<Bytes>& extra)
{
    Bytes input(block.begin() + 1, block.end() - kTail);
    for (const Bytes& part : extra) {
        input.insert(input.end(), part.begin(), part.end());
    }
    const Bytes digest = sha1(input);
    std::copy(digest.begin(), digest.end(), block.end() - kTail);
}

KeyCert key_cert(const KeyCertSpec& spec, const Bytes& modulus, const Bytes& exponent,
                 size_t signer_length, const Bytes& static_data)
{
    Bytes content{spec.format};
    content.insert(content.end(), spec.identifier.begin(), spec.identifier.end());
    content.insert(content.end(), spec.expiry, spec.expiry + 2);
    content.insert(content.end(), spec.serial, spec.serial + 3);
    content.push_back(spec.hash_algorithm);
    content.push_back(spec.pk_algorithm);
    content.push_back(static_cast<uint8_t>(modulus.size()));
    content.push_back(static_cast<uint8_t>(exponent.size()));
    const size_t field = signer_length - content.size() - 1 - kTail;
    const size_t in_field = std::min(field, modulus.size());
    content.insert(content.end(), modulus.begin(), modulus.begin() + in_field);

    KeyCert cert;
    cert.block = frame(content, signer_length);
    cert.remainder.assign(modulus.begin() + in_field, modulus.end());
    cert.exponent = exponent;
    seal(cert.block, {cert.remainder, cert.exponent, static_data});
    return cert;
}

Bytes ssad_block(size_t signer_length, uint8_t dac_high, uint8_t dac_low, const Bytes& static_data)
{
    Bytes block = frame({0x03, 0x01, dac_high, dac_low}, signer_length);
    seal(block, {static_data});
    return block;
}

Bytes sdad_block(size_t signer_length, const Bytes& icc_dynamic_data,
                 const Bytes& terminal_dynamic_data)
{
    Bytes content{0x05, 0x01, static_cast<uint8_t>(icc_dynamic_data.size())};
    content.insert(content.end(), icc_dynamic_data.begin(), icc_dynamic_data.end());
    Bytes block = frame(content, signer_length);
    seal(block, {terminal_dynamic_data});
    return block;
}

Bytes bcd_padded(const std::string& digits, size_t bytes)
{
    std::string nibbles = digits;
    nibbles.resize(2 * bytes, 'F');
    return from_hex(nibbles);
}

Chain make_chain(int ca_bits, uint32_t ca_e, int issuer_bits, uint32_t issuer_e, int icc_bits,
                 uint32_t icc_e)
{
    Chain c;
    c.ca = &test_key(ca_bits, ca_e);
    c.issuer = &test_key(issuer_bits, issuer_e);
    c.icc = &test_key(icc_bits, icc_e);
    c.pan = "4761739001010119";
    c.static_data = from_hex("5A0847617390010101195F24031212315F25030401019F0702FF00");
    c.terminal_dynamic_data = from_hex("12345678");
    c.icc_dynamic_data = from_hex("0811223344556677889900");

    KeyCertSpec issuer_spec;
    issuer_spec.format = 0x02;
    issuer_spec.identifier = bcd_padded("476173", 4);
    c.issuer_cert =
        key_cert(issuer_spec, c.issuer->modulus, c.issuer->exponent, c.ca->modulus.size());
    KeyCertSpec icc_spec;
    icc_spec.format = 0x04;
    icc_spec.identifier = bcd_padded(c.pan, 10);
    c.icc_cert = key_cert(icc_spec, c.icc->modulus, c.icc->exponent, c.issuer->modulus.size(),
                          c.static_data);
    c.ssad = ssad_block(c.issuer->modulus.size(), 0xDA, 0xC0, c.static_data);
    c.sdad = sdad_block(c.icc->modulus.size(), c.icc_dynamic_data, c.terminal_dynamic_data);

    c.issuer_cert_signed = sign(*c.ca, c.issuer_cert.block);
    c.icc_cert_signed = sign(*c.issuer, c.icc_cert.block);
    c.ssad_signed = sign(*c.issuer, c.ssad);
    c.sdad_signed = sign(*c.icc, c.sdad);
    return c;
}

Bytes from_hex(const std::string& hex)
{
    Bytes out;
    int high = -1;
    for (char ch : hex) {
        int v;
        if (ch >= '0' && ch <= '9') {
            v = ch - '0';
        } else if (ch >= 'A' && ch <= 'F') {
            v = ch - 'A' + 10;
        } else if (ch >= 'a' && ch <= 'f') {
            v = ch - 'a' + 10;
        } else {
            require(ch == ' ' || ch == '\n', "not a hex digit");
            continue;
        }
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<uint8_t>(high << 4 | v));
            high = -1;
        }
    }
    require(high < 0, "odd number of hex digits");
    return out;
}

std::string to_hex(const Bytes& bytes)
{
    static const char* kDigits = "0123456789ABCDEF";
    std::string s;
    for (uint8_t b : bytes) {
        s += kDigits[b >> 4];
        s += kDigits[b & 15];
    }
    return s;
}

}  // namespace emv_chain
