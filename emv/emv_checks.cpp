// Results of single checks, given-or-not of the inputs, and the fields and
// checks every recovered block has in common.
#include <cstring>

#include "emv/emv_internal.h"

bool emv_checks_valid(const EmvChecks* checks)
{
    const EmvCheckResult all[] = {
        checks->length,     checks->header,         checks->trailer,
        checks->format,     checks->hash_algorithm, checks->pk_algorithm,
        checks->key_length, checks->hash,           checks->expiry,
        checks->pan,        checks->pan_form,       checks->dynamic_data_length};
    for (EmvCheckResult r : all) {
        if (r == EMV_CHECK_FAILED) {
            return false;
        }
    }
    return true;
}

EmvCheckResult emv_result(bool passed)
{
    return passed ? EMV_CHECK_PASSED : EMV_CHECK_FAILED;
}

bool emv_given(EmvBytes b)
{
    return b.length >= 0 && (b.data != nullptr || b.length == 0);
}

EmvBlock emv_block(const uint8_t* recovered, int32_t recovered_length)
{
    if (recovered == nullptr || recovered_length < 0) {
        return {nullptr, 0};
    }
    return {recovered, recovered_length};
}

void emv_read_common(EmvBlock block, int32_t signed_length, int32_t modulus_length, uint8_t format,
                     int32_t hash_algorithm_at, EmvRecoveredCommon* out)
{
    const uint8_t* b = block.data;
    const int32_t n = block.length;
    out->header = b[0];
    out->format = b[1];
    out->hash_algorithm = b[hash_algorithm_at];
    memcpy(out->hash, b + n - kEmvTailLength, kSha1DigestSize);
    out->trailer = b[n - 1];

    out->checks.length = emv_result(signed_length == modulus_length);
    out->checks.header = emv_result(out->header == EMV_HEADER);
    out->checks.trailer = emv_result(out->trailer == EMV_TRAILER);
    out->checks.format = emv_result(out->format == format);
    out->checks.hash_algorithm = emv_result(out->hash_algorithm == EMV_HASH_SHA1);
}

void emv_fail_short(int32_t signed_length, int32_t modulus_length, bool hash_data_given,
                    EmvRecoveredCommon* out)
{
    out->checks.length = emv_result(signed_length == modulus_length);
    out->checks.header = EMV_CHECK_FAILED;
    out->checks.trailer = EMV_CHECK_FAILED;
    out->checks.format = EMV_CHECK_FAILED;
    out->checks.hash_algorithm = EMV_CHECK_FAILED;
    out->checks.hash = hash_data_given ? EMV_CHECK_FAILED : EMV_CHECK_NOT_MADE;
}
