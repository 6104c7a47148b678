// SHA-1 message digest (FIPS 180-1) over byte strings.
//
// Four layers, each calling only the one below it:
//   sha1_digest    checked one-shot entry, digest last;
//   sha1_compute   unchecked one-shot, digest first, context on its stack;
//   sha1_init / sha1_update / sha1_final   streaming over a Sha1Context;
//   sha1_transform the compression function over one 64-byte block.
//
// No heap memory is used anywhere. The digest is 20 bytes: H0..H4, each most
// significant byte first.
//
// NOT RE-ENTRANT: sha1_transform keeps the message schedule in one static
// work area of 16 words shared by every context, so no two transforms may
// overlap in time (two threads, or a signal handler interrupting a hash),
// even on different contexts. Streaming computations on different contexts
// MAY be interleaved call by call on one thread: the work area carries
// nothing from one transform to the next. The tool hashes only on its one
// user-interface thread, one command at a time.
#pragma once

#include <cstdint>

#include "crypto/crypto_status.h"

constexpr int kSha1DigestSize = 20;
constexpr int kSha1BlockSize = 64;

// Running state of one digest computation. The caller owns it; it holds no
// memory and needs no clean-up. The fill level of `block` is always
// byte_count_low mod 64.
struct Sha1Context {
    uint32_t byte_count_low;   // low 32 bits of the message bytes absorbed
    uint32_t byte_count_high;  // high 32 bits; +1 each time the low word wraps
    uint32_t hash[5];          // running hash value H0..H4
    uint8_t block[64];         // bytes of the current, incomplete block
};

// 0x80 followed by 63 zero bytes; the padding is taken from its beginning.
extern const uint8_t sha1_padding[64];

// Checked one-shot digest of data[0 .. length) into digest[0 .. 20).
// Returns CRYPTO_OK, or CRYPTO_ERR_NULL_ARGUMENT when data or digest is null
// (also for length 0); digest is then not written. length is not checked.
// digest MAY be the first 20 bytes of data: the whole message is read before
// the digest is written. Not re-entrant (see above).
[[nodiscard]] CryptoStatus sha1_digest(const uint8_t* data, uint32_t length, uint8_t* digest);

// Unchecked one-shot: sha1_init, one sha1_update over data[0 .. length),
// sha1_final into digest[0 .. 20), on a context local to the call. Always
// returns CRYPTO_OK. data and digest MUST be valid (data MAY be null only
// when length is 0). digest MAY be the first 20 bytes of data.
[[nodiscard]] CryptoStatus sha1_compute(uint8_t* digest, const uint8_t* data, uint32_t length);

// Starts a computation: both byte counters 0, hash the initial H0..H4.
// block is not touched.
void sha1_init(Sha1Context* ctx);

// Absorbs data[0 .. length). A length of 0 leaves the context exactly as it
// was (data is then not read and MAY be null). Whole 64-byte blocks of data
// are compressed where they lie, at any alignment; only a block completed
// from buffered bytes and the trailing remainder are copied into ctx->block.
// data MUST NOT overlap ctx.
void sha1_update(Sha1Context* ctx, const uint8_t* data, uint32_t length);

// Appends the padding and the 64-bit message bit length (byte count x 8,
// modulo 2^64) and writes the 20-byte digest. The context is spent: its
// counters include the padding and length bytes, and it MUST pass through
// sha1_init before another computation. digest MUST NOT overlap ctx.
void sha1_final(Sha1Context* ctx, uint8_t* digest);

// Compresses one 64-byte block into ctx->hash. The block needs no alignment.
// Counters and ctx->block are not touched; block MAY be ctx->block.
void sha1_transform(Sha1Context* ctx, const uint8_t* block);
