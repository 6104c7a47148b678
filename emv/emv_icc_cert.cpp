// The ICC public key certificate (format 04; also the ICC PIN encipherment
// certificate), recovered with the issuer key.
#include <cstring>

#include "emv/emv_internal.h"

void emv_check_icc_cert(const uint8_t* recovered, int32_t recovered_length, int32_t signed_length,
                        int32_t modulus_length, EmvBytes remainder, EmvBytes exponent,
                        EmvBytes static_data, const EmvCertOptions* options, EmvIccCert* out)
{
    memset(out, 0, sizeof *out);
    const EmvKeyCertInput in = {emv_block(recovered, recovered_length),
                                signed_length,
                                modulus_length,
                                EMV_FORMAT_ICC_CERT,
                                (int32_t)sizeof out->pan,
                                remainder,
                                exponent,
                                static_data,
                                options != nullptr ? options->today : emv_today()};
    const EmvKeyCertOut fields = {&out->common,
                                  out->pan,
                                  out->expiry,
                                  out->serial,
                                  &out->pk_algorithm,
                                  &out->pk_length,
                                  &out->pk_exponent_length,
                                  &out->key};
    const bool read = emv_check_key_cert(&in, &fields);
    out->common.checks.pan_form = emv_result(read && emv_pan_field_digits(out->pan) >= 0);
    if (options != nullptr && options->pan != nullptr) {
        out->common.checks.pan =
            read ? emv_check_pan_field(out->pan, options->pan) : EMV_CHECK_FAILED;
    }
}
