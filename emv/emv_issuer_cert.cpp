// The issuer public key certificate (format 02), recovered with a CA key.
#include <cstring>

#include "emv/emv_internal.h"

void emv_check_issuer_cert(const uint8_t* recovered, int32_t recovered_length,
                           int32_t signed_length, int32_t modulus_length, EmvBytes remainder,
                           EmvBytes exponent, const EmvCertOptions* options, EmvIssuerCert* out)
{
    memset(out, 0, sizeof *out);
    const EmvKeyCertInput in = {emv_block(recovered, recovered_length),
                                signed_length,
                                modulus_length,
                                EMV_FORMAT_ISSUER_CERT,
                                (int32_t)sizeof out->issuer_identifier,
                                remainder,
                                exponent,
                                {nullptr, 0},
                                options != nullptr ? options->today : emv_today()};
    const EmvKeyCertOut fields = {
        &out->common,    out->issuer_identifier,   out->expiry, out->serial, &out->pk_algorithm,
        &out->pk_length, &out->pk_exponent_length, &out->key};
    const bool read = emv_check_key_cert(&in, &fields);
    out->common.checks.pan_form =
        emv_result(read && emv_identifier_digits(out->issuer_identifier) >= 0);
    if (options != nullptr && options->pan != nullptr) {
        out->common.checks.pan =
            read ? emv_check_issuer_identifier(out->issuer_identifier, options->pan)
                 : EMV_CHECK_FAILED;
    }
}
