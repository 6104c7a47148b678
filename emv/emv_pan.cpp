// The PAN checks of the key certificates: the issuer identifier's digits
// against the PAN's leading digits, the ICC certificate's PAN field against
// the whole PAN.
#include "emv/emv_internal.h"

namespace {

constexpr int32_t kPanMaxDigits = 19;

// Nibble i (0 = high nibble of the first byte) of a BCD field.
uint8_t nibble(const uint8_t* field, int32_t i)
{
    const uint8_t b = field[i / 2];
    return i % 2 == 0 ? (uint8_t)(b >> 4) : (uint8_t)(b & 0x0F);
}

int32_t pan_length(const char* pan)
{
    int32_t n = 0;
    while (n <= kPanMaxDigits && pan[n] != '\0') {
        ++n;
    }
    return n;
}

// Count of leading decimal nibbles of a BCD field of nibbles nibbles, when
// only F follows them and the count is min..max; -1 otherwise.
int32_t digits_then_f(const uint8_t* field, int32_t nibbles, int32_t min, int32_t max)
{
    int32_t digits = 0;
    while (digits < nibbles && nibble(field, digits) <= 9) {
        ++digits;
    }
    for (int32_t i = digits; i < nibbles; ++i) {
        if (nibble(field, i) != 0x0F) {
            return -1;
        }
    }
    return digits >= min && digits <= max ? digits : -1;
}

}  // namespace

bool emv_pan_well_formed(const char* pan)
{
    const int32_t n = pan_length(pan);
    if (n < 1 || n > kPanMaxDigits) {
        return false;
    }
    for (int32_t i = 0; i < n; ++i) {
        if (pan[i] < '0' || pan[i] > '9') {
            return false;
        }
    }
    return true;
}

int32_t emv_identifier_digits(const uint8_t identifier[4])
{
    return digits_then_f(identifier, 8, 3, 8);
}

int32_t emv_pan_field_digits(const uint8_t pan_field[10])
{
    return digits_then_f(pan_field, 20, 1, kPanMaxDigits);
}

EmvCheckResult emv_check_issuer_identifier(const uint8_t identifier[4], const char* pan)
{
    if (!emv_pan_well_formed(pan)) {
        return EMV_CHECK_FAILED;
    }
    const int32_t digits = emv_identifier_digits(identifier);
    if (digits < 0 || digits > pan_length(pan)) {
        return EMV_CHECK_FAILED;
    }
    for (int32_t i = 0; i < digits; ++i) {
        if (nibble(identifier, i) != pan[i] - '0') {
            return EMV_CHECK_FAILED;
        }
    }
    return EMV_CHECK_PASSED;
}

EmvCheckResult emv_check_pan_field(const uint8_t pan_field[10], const char* pan)
{
    if (!emv_pan_well_formed(pan)) {
        return EMV_CHECK_FAILED;
    }
    const int32_t n = pan_length(pan);
    for (int32_t i = 0; i < 20; ++i) {
        const uint8_t expected = i < n ? (uint8_t)(pan[i] - '0') : 0x0F;
        if (nibble(pan_field, i) != expected) {
            return EMV_CHECK_FAILED;
        }
    }
    return EMV_CHECK_PASSED;
}
