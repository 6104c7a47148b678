// Signed dynamic application data (format 05), recovered with the ICC key:
// 6A | 05 | hash alg | L | ICC dynamic data (L) | pad | hash (20) | BC.
#include <cstring>

#include "emv/emv_internal.h"

namespace {

// Header, format, hash algorithm, ICC dynamic data length.
constexpr int32_t kSdadFixed = 4;

}  // namespace

void emv_check_sdad(const uint8_t* recovered, int32_t recovered_length, int32_t signed_length,
                    int32_t modulus_length, EmvBytes dynamic_data, EmvSdad* out)
{
    memset(out, 0, sizeof *out);
    const EmvBlock block = emv_block(recovered, recovered_length);
    if (block.length < kSdadFixed + kEmvTailLength) {
        emv_fail_short(signed_length, modulus_length, emv_given(dynamic_data), &out->common);
        out->common.checks.dynamic_data_length = EMV_CHECK_FAILED;
        return;
    }
    emv_read_common(block, signed_length, modulus_length, EMV_FORMAT_SDAD, 2, &out->common);
    const int32_t length = block.data[3];
    const bool fits =
        length <= block.length - kSdadFixed - kEmvTailLength && length <= kEmvMaxKeyLength;
    out->common.checks.dynamic_data_length = emv_result(fits);
    if (fits) {
        out->icc_dynamic_data_length = (uint8_t)length;
        memcpy(out->icc_dynamic_data, block.data + kSdadFixed, (size_t)length);
    }
    // The pad is covered by the hash, so it is not checked on its own: a
    // terminal does not either.
    out->common.checks.hash = emv_check_hash(block, &dynamic_data, 1, out->common.hash);
}
