// Test support: keys from GMP, recovered blocks laid out and signed.
#include "tests/emv_support/emv_chain.h"

#include <gmp.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <tuple>

#include "tests/support/oracles.h"

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

// An mpz_t that frees itself.
struct Mpz {
    mpz_t v;
    Mpz() { mpz_init(v); }
    explicit Mpz(const Bytes& b)
    {
        mpz_init(v);
        mpz_import(v, b.size(), 1, 1, 1, 0, b.data());
    }
    ~Mpz() { mpz_clear(v); }
    Mpz(const Mpz&) = delete;
    Mpz& operator=(const Mpz&) = delete;
};

Bytes bytes_of(const mpz_t b, size_t size)
{
    const size_t count = mpz_sgn(b) == 0 ? 0 : (mpz_sizeinbase(b, 2) + 7) / 8;
    require(count <= size, "number longer than its block");
    Bytes out(size, 0);
    mpz_export(out.data() + size - count, nullptr, 1, 1, 1, 0, b);
    return out;
}

// A prime of `bits` bits, its top two bits set (so that two of them make a
// modulus of exactly twice the bits), with gcd(e, p - 1) = 1.
void random_prime(mpz_t p, gmp_randstate_t rng, int bits, uint32_t e)
{
    Mpz g, p1;
    do {
        mpz_urandomb(p, rng, static_cast<mp_bitcnt_t>(bits));
        mpz_setbit(p, static_cast<mp_bitcnt_t>(bits - 1));
        mpz_setbit(p, static_cast<mp_bitcnt_t>(bits - 2));
        mpz_nextprime(p, p);
        mpz_sub_ui(p1.v, p, 1);
        mpz_gcd_ui(g.v, p1.v, e);
    } while (mpz_sizeinbase(p, 2) != static_cast<size_t>(bits) || mpz_cmp_ui(g.v, 1) != 0);
}

// Keys are made from a seed of their own, so every run of the tests (and
// every architecture) works with the same keys.
TestKey generate(int bits, uint32_t e, int slot)
{
    require(bits % 8 == 0, "key size not a whole number of bytes");
    gmp_randstate_t rng;
    gmp_randinit_default(rng);
    gmp_randseed_ui(rng, static_cast<unsigned long>(bits) * 7919u + e * 31u +
                             static_cast<unsigned long>(slot));
    Mpz p, q, n, lambda, p1, q1, d, exponent;
    const int half = bits / 2;
    random_prime(p.v, rng, half, e);
    do {
        random_prime(q.v, rng, bits - half, e);
    } while (mpz_cmp(p.v, q.v) == 0);
    gmp_randclear(rng);
    mpz_mul(n.v, p.v, q.v);
    mpz_sub_ui(p1.v, p.v, 1);
    mpz_sub_ui(q1.v, q.v, 1);
    mpz_lcm(lambda.v, p1.v, q1.v);
    mpz_set_ui(exponent.v, e);
    require(mpz_invert(d.v, exponent.v, lambda.v) != 0, "exponent not invertible");
    const size_t size = static_cast<size_t>(bits / 8);
    TestKey out;
    out.modulus = bytes_of(n.v, size);
    out.private_exponent = bytes_of(d.v, size);
    out.exponent = e == 3 ? Bytes{0x03} : Bytes{0x01, 0x00, 0x01};
    require((out.modulus[0] & 0x80) != 0, "modulus shorter than asked");
    return out;
}

Bytes mod_exp(const Bytes& base, const Bytes& exponent, const Bytes& modulus)
{
    Mpz x(base), d(exponent), n(modulus), r;
    mpz_powm(r.v, x.v, d.v, n.v);
    return bytes_of(r.v, modulus.size());
}

Bytes sha1(const Bytes& data)
{
    return support::Sha1(data);
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
        it = keys.emplace(id, generate(bits, e, slot)).first;
    }
    return it->second;
}

Bytes sign(const TestKey& signer, const Bytes& block)
{
    require(block.size() == signer.modulus.size() && block < signer.modulus,
            "block must be below the modulus");
    return mod_exp(block, signer.private_exponent, signer.modulus);
}

Bytes recover_with_oracle(const TestKey& signer, const Bytes& signed_data)
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
