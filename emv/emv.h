// What a CA key signs, opened and checked as a terminal checks it: the issuer
// public key certificate (format 02), the ICC public key certificate (04,
// also the ICC PIN encipherment certificate), signed static application data
// (03) and signed dynamic application data (05), all signed with message
// recovery.
//
// Two layers:
//  - emv_check_*: the layout and checks of a block already recovered by the
//    RSA public operation. Free functions over caller-owned records; they
//    never allocate and never read past the lengths they are given.
//  - emv_recover_*: the RSA public operation with the signer's key (through
//    crypto/rsa), then the check of what it gives.
//
// Every check is made and reported on its own (EmvChecks), so a caller sees
// exactly what failed. A check that cannot be made (a PAN not given, the data
// a hash covers not given) is EMV_CHECK_NOT_MADE: never passed, never failed.
#pragma once

#include <cstdint>

#include "crypto/sha1/sha1.h"

// Longest key of the chain, in bytes (1984 bits): CA, issuer and ICC keys.
constexpr int kEmvMaxKeyLength = 248;
// Longest public exponent, in bytes (01 00 01).
constexpr int kEmvMaxExponentLength = 3;

// Data formats of the recovered blocks.
constexpr uint8_t EMV_FORMAT_ISSUER_CERT = 0x02;
constexpr uint8_t EMV_FORMAT_SSAD = 0x03;
constexpr uint8_t EMV_FORMAT_ICC_CERT = 0x04;
constexpr uint8_t EMV_FORMAT_SDAD = 0x05;

constexpr uint8_t EMV_HEADER = 0x6A;
constexpr uint8_t EMV_TRAILER = 0xBC;
constexpr uint8_t EMV_PAD = 0xBB;
constexpr uint8_t EMV_HASH_SHA1 = 0x01;
constexpr uint8_t EMV_PK_RSA = 0x01;

// Outcome of one check.
enum EmvCheckResult : uint8_t {
    EMV_CHECK_NOT_MADE = 0,
    EMV_CHECK_PASSED = 1,
    EMV_CHECK_FAILED = 2,
};

// Every check a terminal makes on a recovered block. Which ones apply
// depends on the format; the others stay EMV_CHECK_NOT_MADE.
struct EmvChecks {
    EmvCheckResult length;          // signed data length == signer's modulus length
    EmvCheckResult header;          // 6A
    EmvCheckResult trailer;         // BC
    EmvCheckResult format;          // the format byte expected for the kind
    EmvCheckResult hash_algorithm;  // 01 (SHA-1)
    EmvCheckResult pk_algorithm;    // 01 (RSA); key certificates only
    EmvCheckResult key_length;      // key certificates: length fields consistent with block
                                    // and remainder, key no longer than the signer's modulus
    EmvCheckResult hash;            // recomputed SHA-1 equals the recovered one
    EmvCheckResult expiry;          // key certificates: not expired at the date given
    EmvCheckResult pan;             // key certificates: identifier or PAN matches the PAN given
    EmvCheckResult pan_form;        // key certificates: identifier 3-8 BCD digits then F, or
                                    // PAN field 1-19 BCD digits then F (made without a PAN too)
    EmvCheckResult dynamic_data_length;  // signed dynamic data: L fits the block (L <= N - 25)
};

// True when no check made failed (checks not made do not count).
bool emv_checks_valid(const EmvChecks* checks);

// Shortest signer's modulus, in bytes, that holds the fixed layout of a
// format (issuer certificate 36, ICC certificate 42, signed static data 26,
// signed dynamic data 25); 0 for any other format byte.
int32_t emv_layout_length(uint8_t format);

// A calendar date (year in full, e.g. 2026).
struct EmvDate {
    int32_t year;
    int32_t month;  // 1..12
    int32_t day;    // 1..31
};

// Today's date from the C runtime's local time; {0, 0, 0} when the runtime
// cannot give it.
EmvDate emv_today();

// True for a date that exists: year 1..9999, month 1..12, a day of that
// month. The expiry check fails when the date it is judged at is not one.
bool emv_date_valid(EmvDate date);

// What the key-certificate checks compare with. pan: the PAN's digits as an
// ASCII string ('0'-'9', 1 to 19 digits), or null for no PAN check; a PAN
// that is not 1 to 19 digits fails the check. today: the date the expiry is
// judged at; MMYY is read as the last day of that month, YY 00-49 as 20YY
// and 50-99 as 19YY; a today that is not a valid date (emv_date_valid)
// fails the expiry check. A null options pointer means no PAN and
// emv_today().
struct EmvCertOptions {
    const char* pan;
    EmvDate today;
};

// A public key recovered from a certificate: the key field's leftmost
// pk_length bytes when the key fits the field, otherwise the whole field
// followed by the remainder; and the exponent as given. The modulus is put
// together only when the lengths allow it (key length 1..kEmvMaxKeyLength,
// and no remainder, or one of exactly the missing length); the exponent only
// when 1 to 3 bytes are given.
struct EmvPublicKey {
    uint8_t modulus[kEmvMaxKeyLength];
    int32_t modulus_length;  // 0 when the key cannot be put together
    uint8_t exponent[kEmvMaxExponentLength];
    int32_t exponent_length;
};

// Fields common to the four recovered blocks. A block shorter than its
// layout leaves every field zero (see the checks below).
struct EmvRecoveredCommon {
    uint8_t header;
    uint8_t format;
    uint8_t hash_algorithm;
    uint8_t hash[kSha1DigestSize];
    uint8_t trailer;
    EmvChecks checks;
};

// Issuer public key certificate, format 02, recovered with a CA key:
// 6A | 02 | issuer identifier (4) | expiry MMYY (2) | serial (3) | hash alg |
// pk alg | issuer key length | exponent length | key field (N_CA - 36) |
// hash (20) | BC. Hash input: format .. key field, remainder, exponent.
struct EmvIssuerCert {
    EmvRecoveredCommon common;
    uint8_t issuer_identifier[4];  // leftmost 3-8 PAN digits, padded with F
    uint8_t expiry[2];             // MM, YY as BCD
    uint8_t serial[3];
    uint8_t pk_algorithm;
    uint8_t pk_length;
    uint8_t pk_exponent_length;
    EmvPublicKey key;
};

// ICC public key certificate, format 04, recovered with the issuer key:
// 6A | 04 | PAN (10, padded with F) | expiry (2) | serial (3) | hash alg |
// pk alg | ICC key length | exponent length | key field (N_I - 42) |
// hash (20) | BC. Hash input: format .. key field, remainder, exponent,
// static data to be authenticated.
struct EmvIccCert {
    EmvRecoveredCommon common;
    uint8_t pan[10];
    uint8_t expiry[2];
    uint8_t serial[3];
    uint8_t pk_algorithm;
    uint8_t pk_length;
    uint8_t pk_exponent_length;
    EmvPublicKey key;
};

// Signed static application data, format 03, recovered with the issuer key:
// 6A | 03 | hash alg | data authentication code (2) | pad BB (N_I - 26) |
// hash (20) | BC. Hash input: format .. pad, static data.
struct EmvSsad {
    EmvRecoveredCommon common;
    uint8_t data_authentication_code[2];
};

// Signed dynamic application data, format 05, recovered with the ICC key:
// 6A | 05 | hash alg | L | ICC dynamic data (L) | pad BB | hash (20) | BC.
// Hash input: format .. pad, terminal dynamic data (DDOL data for DDA, the
// unpredictable number for CDA).
struct EmvSdad {
    EmvRecoveredCommon common;
    // L as recovered when it fits the block (checks.dynamic_data_length passed),
    // otherwise 0: never more bytes than icc_dynamic_data holds.
    uint8_t icc_dynamic_data_length;
    uint8_t icc_dynamic_data[kEmvMaxKeyLength];  // the first icc_dynamic_data_length bytes
};

// Byte strings given to the checks: data MAY be null only when length is 0.
// A "not given" string is data == null with length -1 (its hash is then not
// checked); an empty one is length 0.
struct EmvBytes {
    const uint8_t* data;
    int32_t length;
};

// --- Checks of a recovered block ---------------------------------------------
// recovered/recovered_length: the block the RSA public operation gave.
// modulus_length: the signer's modulus length in bytes; the length check
// compares the signed data's length (signed_length) with it. The layout is
// read from the block itself (N = recovered_length). out is filled
// completely on every call. A block shorter than its layout (issuer
// certificate 36 bytes, ICC certificate 42, signed static data 26, signed
// dynamic data 25) leaves every field zero and fails every check of the
// block (the hash is still not made when its other data is not given).
//
// key_length of a key certificate: key length 1..kEmvMaxKeyLength and at
// most modulus_length (a certified key is never longer than its signer's:
// N_I <= N_CA, N_IC <= N_I); a key
// that fits its field leaves only BB after it and has no (or an empty)
// remainder, a longer one a remainder of exactly the missing length; the
// exponent length field is 1 or 3 and equals the given exponent's length
// (not compared when no exponent is given).
//
// Hash: NOT_MADE when any data it covers is not given. The remainder counts
// as empty when the key fits its field and no remainder is given. The BB pad
// of signed static and dynamic data is covered by the hash and not checked
// on its own (a terminal does not either); the BB after a short key in a
// certificate's key field is part of key_length.

void emv_check_issuer_cert(const uint8_t* recovered, int32_t recovered_length,
                           int32_t signed_length, int32_t modulus_length, EmvBytes remainder,
                           EmvBytes exponent, const EmvCertOptions* options, EmvIssuerCert* out);

void emv_check_icc_cert(const uint8_t* recovered, int32_t recovered_length, int32_t signed_length,
                        int32_t modulus_length, EmvBytes remainder, EmvBytes exponent,
                        EmvBytes static_data, const EmvCertOptions* options, EmvIccCert* out);

void emv_check_ssad(const uint8_t* recovered, int32_t recovered_length, int32_t signed_length,
                    int32_t modulus_length, EmvBytes static_data, EmvSsad* out);

void emv_check_sdad(const uint8_t* recovered, int32_t recovered_length, int32_t signed_length,
                    int32_t modulus_length, EmvBytes dynamic_data, EmvSdad* out);

// --- Recovery: RSA public operation with the signer's key, then the check ----
// modulus/modulus_length: the signer's modulus (at most kEmvMaxKeyLength
// bytes); exponent: its public exponent as big-endian bytes (1 to 4 bytes,
// e.g. 03 or 01 00 01). signed_data is the certificate or signature as read
// from the card. When its length differs from the modulus length, the length
// check fails and nothing else is checked.
//
// Returns EMV_RECOVER_OK when the checks ran (whatever they found),
// otherwise a reason nothing could be recovered; out is then zero but for
// checks.length: NOT_MADE for EMV_RECOVER_BAD_KEY and
// EMV_RECOVER_SHORT_MODULUS, FAILED for EMV_RECOVER_BAD_LENGTH, PASSED for
// EMV_RECOVER_RSA_FAILED. The key is judged first, then its length against
// the format's layout (emv_layout_length), then the signed data's length.
enum EmvRecoverStatus : uint8_t {
    EMV_RECOVER_OK = 0,
    EMV_RECOVER_BAD_KEY = 1,     // empty, too long or zero-led modulus, exponent 0 or over 4 bytes
    EMV_RECOVER_BAD_LENGTH = 2,  // signed data length != modulus length (checks.length failed)
    EMV_RECOVER_RSA_FAILED = 3,  // the public operation failed (heap, or block >= modulus)
    EMV_RECOVER_SHORT_MODULUS = 4,  // modulus shorter than the format's layout
};

EmvRecoverStatus emv_recover_issuer_cert(const uint8_t* modulus, int32_t modulus_length,
                                         EmvBytes signer_exponent, EmvBytes cert,
                                         EmvBytes remainder, EmvBytes exponent,
                                         const EmvCertOptions* options, EmvIssuerCert* out);

EmvRecoverStatus emv_recover_icc_cert(const uint8_t* modulus, int32_t modulus_length,
                                      EmvBytes signer_exponent, EmvBytes cert, EmvBytes remainder,
                                      EmvBytes exponent, EmvBytes static_data,
                                      const EmvCertOptions* options, EmvIccCert* out);

EmvRecoverStatus emv_recover_ssad(const uint8_t* modulus, int32_t modulus_length,
                                  EmvBytes signer_exponent, EmvBytes ssad, EmvBytes static_data,
                                  EmvSsad* out);

EmvRecoverStatus emv_recover_sdad(const uint8_t* modulus, int32_t modulus_length,
                                  EmvBytes signer_exponent, EmvBytes sdad, EmvBytes dynamic_data,
                                  EmvSdad* out);
