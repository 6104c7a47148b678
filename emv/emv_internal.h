// Pieces shared by the four recovered-block checks. Not part of the
// library's interface: emv.h is.
#pragma once

#include <cstdint>

#include "emv/emv.h"

// Bytes of a recovered block after the signed content: hash (20) and trailer.
constexpr int32_t kEmvTailLength = kSha1DigestSize + 1;

EmvCheckResult emv_result(bool passed);

// True when b is given: a length of 0 or more, with data unless it is empty.
// Any other pair (a negative length, null data with a positive length) is
// treated as not given, so no check ever reads through it.
bool emv_given(EmvBytes b);

// The block as the checks see it: null data counts as an empty block.
struct EmvBlock {
    const uint8_t* data;
    int32_t length;
};

EmvBlock emv_block(const uint8_t* recovered, int32_t recovered_length);

// Reads header, format, the hash algorithm indicator at hash_algorithm_at,
// the recovered hash and the trailer into out, and makes the length, header,
// trailer, format and hash algorithm checks. block.length MUST be at least
// the layout's minimum (which is more than hash_algorithm_at + kEmvTailLength).
void emv_read_common(EmvBlock block, int32_t signed_length, int32_t modulus_length, uint8_t format,
                     int32_t hash_algorithm_at, EmvRecoveredCommon* out);

// A block too short for its layout: every field stays zero and every check
// of the block fails; the length check is made as usual, and the hash is
// not made when its other data is not given (so it is never failed for data
// nobody gave).
void emv_fail_short(int32_t signed_length, int32_t modulus_length, bool hash_data_given,
                    EmvRecoveredCommon* out);

// SHA-1 over the block's signed content (format byte up to the hash) followed
// by the parts in order, compared with the recovered hash. NOT_MADE when a
// part is not given.
EmvCheckResult emv_check_hash(EmvBlock block, const EmvBytes* parts, int32_t part_count,
                              const uint8_t recovered_hash[kSha1DigestSize]);

// Expiry MMYY (BCD) against today: valid through the last day of the month;
// YY 00-49 is 20YY, 50-99 is 19YY. A month outside 01..12, a nibble that
// is not a decimal digit, or a today that is not a valid date fails.
EmvCheckResult emv_check_expiry(const uint8_t expiry[2], EmvDate today);

// True when pan is 1 to 19 ASCII digits.
bool emv_pan_well_formed(const char* pan);

// Digits of a well-formed issuer identifier (3 to 8 BCD digits, then F
// nibbles only), or -1 when it is not well formed.
int32_t emv_identifier_digits(const uint8_t identifier[4]);

// Digits of a well-formed PAN field (1 to 19 BCD digits, then F nibbles
// only to its 20th), or -1 when it is not well formed.
int32_t emv_pan_field_digits(const uint8_t pan_field[10]);

// Issuer identifier (leftmost 3-8 PAN digits as BCD, then F nibbles only)
// against the PAN's leading digits.
EmvCheckResult emv_check_issuer_identifier(const uint8_t identifier[4], const char* pan);

// The certificate's 10-byte PAN field against the PAN padded with F to 20
// nibbles.
EmvCheckResult emv_check_pan_field(const uint8_t pan_field[10], const char* pan);

// The key field of a key certificate and what goes with it.
struct EmvKeyField {
    const uint8_t* data;      // the key field inside the block
    int32_t size;             // N - 36 (issuer) or N - 42 (ICC)
    uint8_t pk_length;        // the certificate's key length field
    uint8_t exponent_length;  // the certificate's exponent length field
};

// True when the key is longer than its field, so a remainder is needed.
bool emv_remainder_needed(const EmvKeyField* field);

// The key_length check: the key length is 1..kEmvMaxKeyLength; a key that
// fits leaves BB after it to the field's end and has no (or an empty)
// remainder; a longer one has a remainder of exactly the missing length; the
// exponent length is 1 or 3 and equals the given exponent's length (not
// compared when no exponent is given).
EmvCheckResult emv_check_key_field(const EmvKeyField* field, EmvBytes remainder, EmvBytes exponent);

// Puts the recovered key together when the lengths allow it: the field's
// leftmost pk_length bytes, or the whole field and the remainder; the
// exponent as given (1 to 3 bytes). key is zeroed first; modulus_length and
// exponent_length stay 0 when their part cannot be had.
void emv_assemble_key(const EmvKeyField* field, EmvBytes remainder, EmvBytes exponent,
                      EmvPublicKey* key);

// What a key certificate check is given (issuer or ICC certificate).
struct EmvKeyCertInput {
    EmvBlock block;
    int32_t signed_length;
    int32_t modulus_length;
    uint8_t format;             // 02 or 04
    int32_t identifier_length;  // issuer identifier (4) or PAN field (10)
    EmvBytes remainder;
    EmvBytes exponent;
    EmvBytes static_data;  // hashed after the exponent; empty for the issuer
    EmvDate today;
};

// Where a key certificate's fields go.
struct EmvKeyCertOut {
    EmvRecoveredCommon* common;
    uint8_t* identifier;  // identifier_length bytes
    uint8_t* expiry;
    uint8_t* serial;
    uint8_t* pk_algorithm;
    uint8_t* pk_length;
    uint8_t* pk_exponent_length;
    EmvPublicKey* key;
};

// Reads a key certificate's layout (header, format, identifier, expiry,
// serial, indicators, lengths, key field, hash, trailer) and makes every
// check but the PAN check. Returns false, with every field zero and the
// block's checks failed, when the block is too short for the layout.
// The output places MUST already be zero.
bool emv_check_key_cert(const EmvKeyCertInput* in, const EmvKeyCertOut* out);

// Runs the public operation on signed_data into block (modulus_length bytes)
// for a block of the given format. Sets checks->length as the status says.
// The recoveries use it; the diagnosis of a failed check reopens a block
// with it.
EmvRecoverStatus emv_recover_block(uint8_t format, const uint8_t* modulus, int32_t modulus_length,
                                   EmvBytes signer_exponent, EmvBytes signed_data, uint8_t* block,
                                   EmvChecks* checks);
