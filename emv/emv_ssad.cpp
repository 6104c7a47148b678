// Signed static application data (format 03), recovered with the issuer key:
// 6A | 03 | hash alg | data authentication code (2) | pad | hash (20) | BC.
#include <cstring>

#include "emv/emv_internal.h"

namespace {

// Header, format, hash algorithm, data authentication code.
constexpr int32_t kSsadFixed = 5;

}  // namespace

void emv_check_ssad(const uint8_t* recovered, int32_t recovered_length, int32_t signed_length,
                    int32_t modulus_length, EmvBytes static_data, EmvSsad* out)
{
    memset(out, 0, sizeof *out);
    const EmvBlock block = emv_block(recovered, recovered_length);
    if (block.length < kSsadFixed + kEmvTailLength) {
        emv_fail_short(signed_length, modulus_length, emv_given(static_data), &out->common);
        return;
    }
    emv_read_common(block, signed_length, modulus_length, EMV_FORMAT_SSAD, 2, &out->common);
    memcpy(out->data_authentication_code, block.data + 3, 2);
    // The pad is covered by the hash, so it is not checked on its own: a
    // terminal does not either.
    out->common.checks.hash = emv_check_hash(block, &static_data, 1, out->common.hash);
}
