// Recovery: the RSA public operation with the signer's key, then the check
// of the block it gives.
#include <cstring>

#include "crypto/rsa/rsa.h"
#include "emv/emv_internal.h"

namespace {

constexpr int32_t kMaxSignerExponentLength = 4;

// The signer's exponent as a number, or 0 when it is not 1 to 4 bytes.
uint32_t signer_exponent_value(EmvBytes e)
{
    if (!emv_given(e) || e.length < 1 || e.length > kMaxSignerExponentLength) {
        return 0;
    }
    uint32_t v = 0;
    for (int32_t i = 0; i < e.length; ++i) {
        v = (v << 8) | e.data[i];
    }
    return v;
}

// A usable key: 1 to kEmvMaxKeyLength bytes with no leading zero byte (the
// public operation's block would be shorter than the modulus as given), and
// a non-zero exponent.
bool key_usable(const uint8_t* modulus, int32_t modulus_length, uint32_t exponent)
{
    return modulus != nullptr && modulus_length >= 1 && modulus_length <= kEmvMaxKeyLength &&
           modulus[0] != 0 && exponent != 0;
}

// Big-endian signed < modulus, both modulus_length bytes: the public
// operation would otherwise work on signed mod n, not on what was signed.
bool below_modulus(const uint8_t* signed_data, const uint8_t* modulus, int32_t modulus_length)
{
    return memcmp(signed_data, modulus, (size_t)modulus_length) < 0;
}

}  // namespace

EmvRecoverStatus emv_recover_block(uint8_t format, const uint8_t* modulus, int32_t modulus_length,
                                   EmvBytes signer_exponent, EmvBytes signed_data, uint8_t* block,
                                   EmvChecks* checks)
{
    const uint32_t e = signer_exponent_value(signer_exponent);
    if (!key_usable(modulus, modulus_length, e)) {
        return EMV_RECOVER_BAD_KEY;
    }
    // Such a key cannot have signed a block of this format: nothing to check.
    if (modulus_length < emv_layout_length(format)) {
        return EMV_RECOVER_SHORT_MODULUS;
    }
    if (!emv_given(signed_data) || signed_data.length != modulus_length) {
        checks->length = EMV_CHECK_FAILED;
        return EMV_RECOVER_BAD_LENGTH;
    }
    checks->length = EMV_CHECK_PASSED;
    if (!below_modulus(signed_data.data, modulus, modulus_length)) {
        return EMV_RECOVER_RSA_FAILED;
    }
    RsaKey* key = nullptr;
    if (rsa_new(&key) != CRYPTO_OK) {
        return EMV_RECOVER_RSA_FAILED;
    }
    EmvRecoverStatus status = EMV_RECOVER_RSA_FAILED;
    if (rsa_set_public_key(key, modulus, modulus_length * 8, e) == CRYPTO_OK &&
        rsa_public(key, block, signed_data.data, signed_data.length) == CRYPTO_OK) {
        status = EMV_RECOVER_OK;
    }
    rsa_free(key);
    return status;
}

EmvRecoverStatus emv_recover_issuer_cert(const uint8_t* modulus, int32_t modulus_length,
                                         EmvBytes signer_exponent, EmvBytes cert,
                                         EmvBytes remainder, EmvBytes exponent,
                                         const EmvCertOptions* options, EmvIssuerCert* out)
{
    memset(out, 0, sizeof *out);
    uint8_t block[kEmvMaxKeyLength];
    const EmvRecoverStatus status =
        emv_recover_block(EMV_FORMAT_ISSUER_CERT, modulus, modulus_length, signer_exponent, cert,
                          block, &out->common.checks);
    if (status == EMV_RECOVER_OK) {
        emv_check_issuer_cert(block, modulus_length, cert.length, modulus_length, remainder,
                              exponent, options, out);
    }
    return status;
}

EmvRecoverStatus emv_recover_icc_cert(const uint8_t* modulus, int32_t modulus_length,
                                      EmvBytes signer_exponent, EmvBytes cert, EmvBytes remainder,
                                      EmvBytes exponent, EmvBytes static_data,
                                      const EmvCertOptions* options, EmvIccCert* out)
{
    memset(out, 0, sizeof *out);
    uint8_t block[kEmvMaxKeyLength];
    const EmvRecoverStatus status =
        emv_recover_block(EMV_FORMAT_ICC_CERT, modulus, modulus_length, signer_exponent, cert,
                          block, &out->common.checks);
    if (status == EMV_RECOVER_OK) {
        emv_check_icc_cert(block, modulus_length, cert.length, modulus_length, remainder, exponent,
                           static_data, options, out);
    }
    return status;
}

EmvRecoverStatus emv_recover_ssad(const uint8_t* modulus, int32_t modulus_length,
                                  EmvBytes signer_exponent, EmvBytes ssad, EmvBytes static_data,
                                  EmvSsad* out)
{
    memset(out, 0, sizeof *out);
    uint8_t block[kEmvMaxKeyLength];
    const EmvRecoverStatus status =
        emv_recover_block(EMV_FORMAT_SSAD, modulus, modulus_length, signer_exponent, ssad, block,
                          &out->common.checks);
    if (status == EMV_RECOVER_OK) {
        emv_check_ssad(block, modulus_length, ssad.length, modulus_length, static_data, out);
    }
    return status;
}

EmvRecoverStatus emv_recover_sdad(const uint8_t* modulus, int32_t modulus_length,
                                  EmvBytes signer_exponent, EmvBytes sdad, EmvBytes dynamic_data,
                                  EmvSdad* out)
{
    memset(out, 0, sizeof *out);
    uint8_t block[kEmvMaxKeyLength];
    const EmvRecoverStatus status =
        emv_recover_block(EMV_FORMAT_SDAD, modulus, modulus_length, signer_exponent, sdad, block,
                          &out->common.checks);
    if (status == EMV_RECOVER_OK) {
        emv_check_sdad(block, modulus_length, sdad.length, modulus_length, dynamic_data, out);
    }
    return status;
}
