// The key field of a key certificate: whether its length fields agree with
// the block, the remainder and the exponent, and the key put back together.
#include <cstring>

#include "emv/emv_internal.h"

namespace {

bool all_pad(const uint8_t* p, int32_t n)
{
    for (int32_t i = 0; i < n; ++i) {
        if (p[i] != EMV_PAD) {
            return false;
        }
    }
    return true;
}

// A key that fits its field takes no remainder: one given anyway is hashed
// as the card returned it and otherwise left alone, as a terminal does.
bool remainder_fits(const EmvKeyField* field, EmvBytes remainder)
{
    if (!emv_remainder_needed(field)) {
        return true;
    }
    return emv_given(remainder) && remainder.length == field->pk_length - field->size;
}

}  // namespace

bool emv_remainder_needed(const EmvKeyField* field)
{
    return field->pk_length > field->size;
}

EmvCheckResult emv_check_key_field(const EmvKeyField* field, EmvBytes remainder, EmvBytes exponent)
{
    if (field->pk_length == 0 || field->pk_length > kEmvMaxKeyLength) {
        return EMV_CHECK_FAILED;
    }
    if (!remainder_fits(field, remainder)) {
        return EMV_CHECK_FAILED;
    }
    if (!emv_remainder_needed(field) &&
        !all_pad(field->data + field->pk_length, field->size - field->pk_length)) {
        return EMV_CHECK_FAILED;
    }
    if (field->exponent_length != 1 && field->exponent_length != 3) {
        return EMV_CHECK_FAILED;
    }
    if (emv_given(exponent) && exponent.length != field->exponent_length) {
        return EMV_CHECK_FAILED;
    }
    return EMV_CHECK_PASSED;
}

void emv_assemble_key(const EmvKeyField* field, EmvBytes remainder, EmvBytes exponent,
                      EmvPublicKey* key)
{
    memset(key, 0, sizeof *key);
    if (field->pk_length > 0 && field->pk_length <= kEmvMaxKeyLength &&
        remainder_fits(field, remainder)) {
        if (emv_remainder_needed(field)) {
            memcpy(key->modulus, field->data, (size_t)field->size);
            memcpy(key->modulus + field->size, remainder.data, (size_t)remainder.length);
        } else {
            memcpy(key->modulus, field->data, field->pk_length);
        }
        key->modulus_length = field->pk_length;
    }
    if (emv_given(exponent) && exponent.length >= 1 && exponent.length <= kEmvMaxExponentLength) {
        memcpy(key->exponent, exponent.data, (size_t)exponent.length);
        key->exponent_length = exponent.length;
    }
}
