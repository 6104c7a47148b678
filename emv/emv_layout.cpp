// The fixed part of each format's layout: what a signer's modulus must at
// least hold for the block to have its fields at all.
#include "emv/emv_internal.h"

int32_t emv_layout_length(uint8_t format)
{
    switch (format) {
        case EMV_FORMAT_ISSUER_CERT:
            // 6A, format, identifier 4, expiry 2, serial 3, two indicators,
            // two lengths, hash 20, BC: an empty key field.
            return 2 + 4 + 9 + kEmvTailLength;
        case EMV_FORMAT_ICC_CERT:
            return 2 + 10 + 9 + kEmvTailLength;  // as the issuer's, with a PAN of 10
        case EMV_FORMAT_SSAD:
            return 5 + kEmvTailLength;  // 6A, format, hash alg, data authentication code 2
        case EMV_FORMAT_SDAD:
            return 4 + kEmvTailLength;  // 6A, format, hash alg, L
        default:
            return 0;
    }
}
