#include "tests/support/sha1_oracle.h"

#if TARVELLO_ORACLE_OPENSSL
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/sha.h>

namespace support {

static_assert(sizeof(SHA_CTX) <= 128, "state_ too small for SHA_CTX");

namespace {
SHA_CTX* ctx(unsigned char* state)
{
    return reinterpret_cast<SHA_CTX*>(state);
}
}  // namespace

Sha1Oracle::Sha1Oracle()
{
    SHA1_Init(ctx(state_));
}

void Sha1Oracle::update(const uint8_t* data, size_t n)
{
    if (n != 0)
        SHA1_Update(ctx(state_), data, n);
}

void Sha1Oracle::set_byte_count(uint64_t count)
{
    // OpenSSL counts bits, in two 32-bit words.
    ctx(state_)->Nl = static_cast<uint32_t>(count << 3);
    ctx(state_)->Nh = static_cast<uint32_t>(count >> 29);
}

Bytes Sha1Oracle::final()
{
    Bytes digest(SHA_DIGEST_LENGTH);
    SHA1_Final(digest.data(), ctx(state_));
    return digest;
}

}  // namespace support

#else

#include <cstring>

namespace support {

namespace {
uint32_t rol(uint32_t x, int n)
{
    return x << n | x >> (32 - n);
}
}  // namespace

Sha1Oracle::Sha1Oracle()
    : h_{0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u}, count_(0), buffer_{}
{
}

// The standard's rounds written out plainly: the 80-word schedule, then
// f/k by round group.
void Sha1Oracle::block(const uint8_t* b)
{
    uint32_t w[80];
    for (int t = 0; t < 16; t++)
        w[t] = uint32_t{b[4 * t]} << 24 | uint32_t{b[4 * t + 1]} << 16 |
               uint32_t{b[4 * t + 2]} << 8 | b[4 * t + 3];
    for (int t = 16; t < 80; t++)
        w[t] = rol(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);
    uint32_t a = h_[0], bb = h_[1], c = h_[2], d = h_[3], e = h_[4];
    for (int t = 0; t < 80; t++) {
        uint32_t f, k;
        if (t < 20) {
            f = (bb & c) | (~bb & d), k = 0x5A827999u;
        } else if (t < 40) {
            f = bb ^ c ^ d, k = 0x6ED9EBA1u;
        } else if (t < 60) {
            f = (bb & c) | (bb & d) | (c & d), k = 0x8F1BBCDCu;
        } else {
            f = bb ^ c ^ d, k = 0xCA62C1D6u;
        }
        const uint32_t next = rol(a, 5) + f + e + k + w[t];
        e = d, d = c, c = rol(bb, 30), bb = a, a = next;
    }
    h_[0] += a, h_[1] += bb, h_[2] += c, h_[3] += d, h_[4] += e;
}

void Sha1Oracle::update(const uint8_t* data, size_t n)
{
    for (size_t i = 0; i < n; i++) {
        buffer_[count_ % 64] = data[i];
        if (++count_ % 64 == 0)
            block(buffer_);
    }
}

void Sha1Oracle::set_byte_count(uint64_t count)
{
    count_ = count;
}

Bytes Sha1Oracle::final()
{
    const uint64_t bits = count_ << 3;
    const uint8_t one = 0x80, zero = 0;
    update(&one, 1);
    while (count_ % 64 != 56)
        update(&zero, 1);
    for (int i = 7; i >= 0; i--) {
        const uint8_t byte = static_cast<uint8_t>(bits >> (8 * i));
        update(&byte, 1);
    }
    Bytes digest(20);
    for (int i = 0; i < 20; i++)
        digest[i] = static_cast<uint8_t>(h_[i / 4] >> (24 - 8 * (i % 4)));
    return digest;
}

}  // namespace support

#endif
