// SHA-1 compression function: 80 steps written out, no loop, with a 16-word
// message schedule computed in place in one static work area.
#include <cstdint>

#include "crypto/sha1/sha1.h"

// The message schedule of the transform running now. Shared by every
// context, hence the engine is not re-entrant (see sha1.h). Sixteen words
// suffice: W[t] for t >= 16 depends only on W[t-3], W[t-8], W[t-14] and
// W[t-16], and overwrites W[t-16] in slot t mod 16.
static uint32_t sha1_schedule[16];

static inline uint32_t rotl(uint32_t x, int n)
{
    return (x << n) | (x >> (32 - n));
}

// Word t of the block, most significant byte first; assembled from single
// bytes so the block may lie at any address.
static inline uint32_t load_word(const uint8_t* block, int t)
{
    const uint8_t* p = block + 4 * t;
    uint32_t w = (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
    sha1_schedule[t] = w;
    return w;
}

// W[t] for t >= 16, written over W[t-16].
static inline uint32_t next_word(int t)
{
    uint32_t* w = sha1_schedule;
    uint32_t x = rotl(w[(t + 13) & 15] ^ w[(t + 8) & 15] ^ w[(t + 2) & 15] ^ w[t & 15], 1);
    w[t & 15] = x;
    return x;
}

// One step each for steps 0-19, 20-39, 40-59 and 60-79. The caller names
// the five working variables in their roles for this step; the step leaves
// the new value in e and rotates b, so the next step is called with
// (e, a, b, c, d) and no value is moved between variables.
//
// The sums are written so that a, the value the previous step just made,
// comes last: the rest is ready earlier, and the chain from one step to the
// next is one rotate and one add even where the compiler keeps the order.

// Ch(b, c, d) = (b & c) | (~b & d), in the form with one fewer operation.
static inline void step1(uint32_t a, uint32_t& b, uint32_t c, uint32_t d, uint32_t& e, uint32_t w)
{
    e = e + 0x5A827999u + w + (d ^ (b & (c ^ d))) + rotl(a, 5);
    b = rotl(b, 30);
}

static inline void step2(uint32_t a, uint32_t& b, uint32_t c, uint32_t d, uint32_t& e, uint32_t w)
{
    e = e + 0x6ED9EBA1u + w + (b ^ c ^ d) + rotl(a, 5);
    b = rotl(b, 30);
}

// Maj(b, c, d) as the sum of two disjoint bit sets, (b & c) and
// (d & (b ^ c)), so the two halves can be added independently.
static inline void step3(uint32_t a, uint32_t& b, uint32_t c, uint32_t d, uint32_t& e, uint32_t w)
{
    e = e + 0x8F1BBCDCu + w + (b & c) + (d & (b ^ c)) + rotl(a, 5);
    b = rotl(b, 30);
}

static inline void step4(uint32_t a, uint32_t& b, uint32_t c, uint32_t d, uint32_t& e, uint32_t w)
{
    e = e + 0xCA62C1D6u + w + (b ^ c ^ d) + rotl(a, 5);
    b = rotl(b, 30);
}

// see sha1.h
void sha1_transform(Sha1Context* ctx, const uint8_t* block)
{
    uint32_t a = ctx->hash[0];
    uint32_t b = ctx->hash[1];
    uint32_t c = ctx->hash[2];
    uint32_t d = ctx->hash[3];
    uint32_t e = ctx->hash[4];

    step1(a, b, c, d, e, load_word(block, 0));
    step1(e, a, b, c, d, load_word(block, 1));
    step1(d, e, a, b, c, load_word(block, 2));
    step1(c, d, e, a, b, load_word(block, 3));
    step1(b, c, d, e, a, load_word(block, 4));
    step1(a, b, c, d, e, load_word(block, 5));
    step1(e, a, b, c, d, load_word(block, 6));
    step1(d, e, a, b, c, load_word(block, 7));
    step1(c, d, e, a, b, load_word(block, 8));
    step1(b, c, d, e, a, load_word(block, 9));
    step1(a, b, c, d, e, load_word(block, 10));
    step1(e, a, b, c, d, load_word(block, 11));
    step1(d, e, a, b, c, load_word(block, 12));
    step1(c, d, e, a, b, load_word(block, 13));
    step1(b, c, d, e, a, load_word(block, 14));
    step1(a, b, c, d, e, load_word(block, 15));
    step1(e, a, b, c, d, next_word(16));
    step1(d, e, a, b, c, next_word(17));
    step1(c, d, e, a, b, next_word(18));
    step1(b, c, d, e, a, next_word(19));

    step2(a, b, c, d, e, next_word(20));
    step2(e, a, b, c, d, next_word(21));
    step2(d, e, a, b, c, next_word(22));
    step2(c, d, e, a, b, next_word(23));
    step2(b, c, d, e, a, next_word(24));
    step2(a, b, c, d, e, next_word(25));
    step2(e, a, b, c, d, next_word(26));
    step2(d, e, a, b, c, next_word(27));
    step2(c, d, e, a, b, next_word(28));
    step2(b, c, d, e, a, next_word(29));
    step2(a, b, c, d, e, next_word(30));
    step2(e, a, b, c, d, next_word(31));
    step2(d, e, a, b, c, next_word(32));
    step2(c, d, e, a, b, next_word(33));
    step2(b, c, d, e, a, next_word(34));
    step2(a, b, c, d, e, next_word(35));
    step2(e, a, b, c, d, next_word(36));
    step2(d, e, a, b, c, next_word(37));
    step2(c, d, e, a, b, next_word(38));
    step2(b, c, d, e, a, next_word(39));

    step3(a, b, c, d, e, next_word(40));
    step3(e, a, b, c, d, next_word(41));
    step3(d, e, a, b, c, next_word(42));
    step3(c, d, e, a, b, next_word(43));
    step3(b, c, d, e, a, next_word(44));
    step3(a, b, c, d, e, next_word(45));
    step3(e, a, b, c, d, next_word(46));
    step3(d, e, a, b, c, next_word(47));
    step3(c, d, e, a, b, next_word(48));
    step3(b, c, d, e, a, next_word(49));
    step3(a, b, c, d, e, next_word(50));
    step3(e, a, b, c, d, next_word(51));
    step3(d, e, a, b, c, next_word(52));
    step3(c, d, e, a, b, next_word(53));
    step3(b, c, d, e, a, next_word(54));
    step3(a, b, c, d, e, next_word(55));
    step3(e, a, b, c, d, next_word(56));
    step3(d, e, a, b, c, next_word(57));
    step3(c, d, e, a, b, next_word(58));
    step3(b, c, d, e, a, next_word(59));

    step4(a, b, c, d, e, next_word(60));
    step4(e, a, b, c, d, next_word(61));
    step4(d, e, a, b, c, next_word(62));
    step4(c, d, e, a, b, next_word(63));
    step4(b, c, d, e, a, next_word(64));
    step4(a, b, c, d, e, next_word(65));
    step4(e, a, b, c, d, next_word(66));
    step4(d, e, a, b, c, next_word(67));
    step4(c, d, e, a, b, next_word(68));
    step4(b, c, d, e, a, next_word(69));
    step4(a, b, c, d, e, next_word(70));
    step4(e, a, b, c, d, next_word(71));
    step4(d, e, a, b, c, next_word(72));
    step4(c, d, e, a, b, next_word(73));
    step4(b, c, d, e, a, next_word(74));
    step4(a, b, c, d, e, next_word(75));
    step4(e, a, b, c, d, next_word(76));
    step4(d, e, a, b, c, next_word(77));
    step4(c, d, e, a, b, next_word(78));
    step4(b, c, d, e, a, next_word(79));

    // After 80 steps the roles are back where they started.
    ctx->hash[0] += a;
    ctx->hash[1] += b;
    ctx->hash[2] += c;
    ctx->hash[3] += d;
    ctx->hash[4] += e;
}
