// The layout and checks shared by the issuer and ICC public key
// certificates: 6A | format | identifier | expiry (2) | serial (3) | hash alg
// | pk alg | key length | exponent length | key field | hash (20) | BC.
#include <cstring>

#include "emv/emv_internal.h"

namespace {

// Bytes from the identifier's end to the key field: expiry, serial, the two
// indicators and the two lengths.
constexpr int32_t kAfterIdentifier = 2 + 3 + 1 + 1 + 1 + 1;

// The remainder as the hash covers it: a key that fits its field has none,
// so a remainder not given counts as empty there.
EmvBytes hashed_remainder(const EmvKeyField* field, EmvBytes remainder)
{
    if (!emv_given(remainder) && !emv_remainder_needed(field)) {
        return {nullptr, 0};
    }
    return remainder;
}

}  // namespace

bool emv_check_key_cert(const EmvKeyCertInput* in, const EmvKeyCertOut* out)
{
    const EmvBlock block = in->block;
    const int32_t fixed = 2 + in->identifier_length + kAfterIdentifier;
    if (block.length < fixed + kEmvTailLength) {
        emv_fail_short(in->signed_length, in->modulus_length,
                       emv_given(in->exponent) && emv_given(in->static_data), out->common);
        out->common->checks.pk_algorithm = EMV_CHECK_FAILED;
        out->common->checks.key_length = EMV_CHECK_FAILED;
        out->common->checks.expiry = EMV_CHECK_FAILED;
        return false;
    }
    const uint8_t* p = block.data + 2;
    memcpy(out->identifier, p, (size_t)in->identifier_length);
    p += in->identifier_length;
    memcpy(out->expiry, p, 2);
    memcpy(out->serial, p + 2, 3);
    *out->pk_algorithm = p[6];
    *out->pk_length = p[7];
    *out->pk_exponent_length = p[8];

    const int32_t hash_algorithm_at = 2 + in->identifier_length + 5;
    emv_read_common(block, in->signed_length, in->modulus_length, in->format, hash_algorithm_at,
                    out->common);
    EmvChecks* checks = &out->common->checks;
    checks->pk_algorithm = emv_result(*out->pk_algorithm == EMV_PK_RSA);

    const EmvKeyField field = {block.data + fixed, block.length - fixed - kEmvTailLength,
                               *out->pk_length, *out->pk_exponent_length};
    // A certified key is never longer than its signer's (N_I <= N_CA,
    // N_IC <= N_I).
    checks->key_length = *out->pk_length > in->modulus_length
                             ? EMV_CHECK_FAILED
                             : emv_check_key_field(&field, in->remainder, in->exponent);
    emv_assemble_key(&field, in->remainder, in->exponent, out->key);

    const EmvBytes parts[] = {hashed_remainder(&field, in->remainder), in->exponent,
                              in->static_data};
    checks->hash = emv_check_hash(block, parts, 3, out->common->hash);
    checks->expiry = emv_check_expiry(out->expiry, in->today);
    return true;
}
