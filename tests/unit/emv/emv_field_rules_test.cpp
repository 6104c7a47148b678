// The rules behind single checks, on recovered blocks given straight to the
// check functions: expiry dates, issuer identifier and PAN, the key field's
// lengths and padding, blocks too short for their layout, and the reasons
// recovery refuses to start.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "emv/emv.h"
#include "tests/unit/emv/emv_test_support.h"

namespace {

using namespace emv_test;
using emv_chain::key_cert;
using emv_chain::KeyCertSpec;

constexpr size_t kSigner = 128;  // issuer field 92 bytes, ICC field 86

Bytes key_of(size_t length)
{
    Bytes k(length);
    for (size_t i = 0; i < length; ++i) {
        k[i] = static_cast<uint8_t>(0xC1 + i);
    }
    return k;
}

EmvIssuerCert check_issuer(const Bytes& block, EmvBytes remainder, EmvBytes exponent,
                           const char* pan, EmvDate today)
{
    const EmvCertOptions options = {pan, today};
    EmvIssuerCert out;
    const int32_t n = static_cast<int32_t>(block.size());
    emv_check_issuer_cert(block.data(), n, n, n, remainder, exponent, &options, &out);
    return out;
}

EmvIccCert check_icc(const Bytes& block, const char* pan)
{
    const EmvCertOptions options = {pan, {2026, 12, 9}};
    EmvIccCert out;
    const int32_t n = static_cast<int32_t>(block.size());
    emv_check_icc_cert(block.data(), n, n, n, kNotGiven, given({0x03}), kNotGiven, &options, &out);
    return out;
}

Bytes issuer_block(const std::string& identifier_hex, uint8_t mm, uint8_t yy)
{
    KeyCertSpec spec;
    spec.identifier = from_hex(identifier_hex);
    spec.expiry[0] = mm;
    spec.expiry[1] = yy;
    return key_cert(spec, key_of(64), {0x03}, kSigner).block;
}

TEST(EmvFieldRules, ExpiryIsTheLastDayOfItsMonth)
{
    struct Row {
        uint8_t mm, yy;
        EmvDate today;
        EmvCheckResult expected;
    };
    const Row rows[] = {
        {0x12, 0x26, {2026, 12, 31}, EMV_CHECK_PASSED},
        {0x12, 0x26, {2027, 1, 1}, EMV_CHECK_FAILED},
        {0x04, 0x26, {2026, 4, 30}, EMV_CHECK_PASSED},
        {0x04, 0x26, {2026, 4, 31}, EMV_CHECK_FAILED},
        {0x02, 0x24, {2024, 2, 29}, EMV_CHECK_PASSED},  // leap year
        {0x02, 0x24, {2024, 2, 30}, EMV_CHECK_FAILED},
        {0x02, 0x25, {2025, 2, 29}, EMV_CHECK_FAILED},
        {0x02, 0x00, {2000, 2, 29}, EMV_CHECK_PASSED},  // divisible by 400
        {0x01, 0x27, {2026, 12, 9}, EMV_CHECK_PASSED},  // a later year, an earlier month
        {0x11, 0x26, {2026, 12, 1}, EMV_CHECK_FAILED},
        {0x12, 0x49, {2049, 12, 31}, EMV_CHECK_PASSED},  // 49 is 2049
        {0x01, 0x50, {2026, 12, 9}, EMV_CHECK_FAILED},   // 50 is 1950
        {0x12, 0x99, {1999, 12, 31}, EMV_CHECK_PASSED},
        {0x00, 0x30, {2026, 12, 9}, EMV_CHECK_FAILED},  // month 00
        {0x13, 0x30, {2026, 12, 9}, EMV_CHECK_FAILED},  // month 13
        {0x1A, 0x30, {2026, 12, 9}, EMV_CHECK_FAILED},  // not BCD
        {0x12, 0x3A, {2026, 12, 9}, EMV_CHECK_FAILED},
        {0x12, 0x49, {0, 0, 0}, EMV_CHECK_FAILED},      // today's date not had
        {0x12, 0x49, {2026, 2, 29}, EMV_CHECK_FAILED},  // a today that does not exist
        {0x12, 0x49, {2026, 13, 1}, EMV_CHECK_FAILED},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << std::hex << int(r.mm) << "/" << int(r.yy) << " at " << std::dec
                     << r.today.year << "-" << r.today.month << "-" << r.today.day);
        const Bytes block = issuer_block("476173FF", r.mm, r.yy);
        const EmvIssuerCert out = check_issuer(block, kNotGiven, given({0x03}), nullptr, r.today);
        EXPECT_EQ(out.common.checks.expiry, r.expected);
        EXPECT_EQ(failed(out.common.checks), r.expected == EMV_CHECK_FAILED ? "expiry" : "");
    }
}

TEST(EmvFieldRules, IssuerIdentifierAgainstThePan)
{
    struct Row {
        const char* identifier;
        const char* pan;
        EmvCheckResult expected;
        EmvCheckResult form;
    };
    const EmvCheckResult kPass = EMV_CHECK_PASSED;
    const EmvCheckResult kFail = EMV_CHECK_FAILED;
    const Row rows[] = {
        {"476173FF", "4761739001010119", kPass, kPass},
        {"47617390", "4761739001010119", kPass, kPass},  // 8 digits
        {"476FFFFF", "4761739001010119", kPass, kPass},  // 3 digits
        {"476173FF", "476173", kPass, kPass},
        {"476173FF", "4761749001010119", kFail, kPass},
        {"476173FF", "47617", kFail, kPass},             // PAN shorter than the identifier
        {"47FFFFFF", "4761739001010119", kFail, kFail},  // 2 digits
        {"4761F3FF", "4761739001010119", kFail, kFail},  // digit after the padding
        {"4761A3FF", "4761A39001010119", kFail, kFail},  // not a digit
        {"476173FF", "", kFail, kPass},
        {"476173FF", "47617390010101191234", kFail, kPass},  // 20 digits
        {"476173FF", "476173 001010119", kFail, kPass},
        {"476173FF", nullptr, EMV_CHECK_NOT_MADE, kPass},
        // Without a PAN the identifier's form is still checked.
        {"47FFFFFF", nullptr, EMV_CHECK_NOT_MADE, kFail},
        {"4761F3FF", nullptr, EMV_CHECK_NOT_MADE, kFail},
        {"FFFFFFFF", nullptr, EMV_CHECK_NOT_MADE, kFail},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.identifier) + " / " + (r.pan != nullptr ? r.pan : "null"));
        const Bytes block = issuer_block(r.identifier, 0x12, 0x49);
        const EmvIssuerCert out =
            check_issuer(block, kNotGiven, given({0x03}), r.pan, {2026, 12, 9});
        EXPECT_EQ(out.common.checks.pan, r.expected);
        EXPECT_EQ(out.common.checks.pan_form, r.form);
        EXPECT_EQ(to_hex(bytes(out.issuer_identifier, 4)), r.identifier);
    }
}

TEST(EmvFieldRules, IccPanFieldAgainstThePan)
{
    struct Row {
        const char* field;  // the certificate's PAN field as hex
        const char* pan;
        EmvCheckResult expected;
        EmvCheckResult form;
    };
    const EmvCheckResult kPass = EMV_CHECK_PASSED;
    const EmvCheckResult kFail = EMV_CHECK_FAILED;
    const Row rows[] = {
        {"4761739001010119FFFF", "4761739001010119", kPass, kPass},
        {"1234567890123456789F", "1234567890123456789", kPass, kPass},  // 19 digits
        {"4761739001010119FFFF", "47617390010101190", kFail, kPass},
        {"4761739001010119FFFF", "476173900101011", kFail, kPass},
        {"4761739001010119FFFF", "4761739001010118", kFail, kPass},
        {"4761739001010119FFFF", "", kFail, kPass},
        {"4761739001010119FFFF", nullptr, EMV_CHECK_NOT_MADE, kPass},
        // Form alone, with or without a PAN.
        {"12345678901234567890", nullptr, EMV_CHECK_NOT_MADE, kFail},  // 20 digits, no F
        {"4761739001010119FF1F", nullptr, EMV_CHECK_NOT_MADE, kFail},  // digit after F
        {"476173900101011AFFFF", nullptr, EMV_CHECK_NOT_MADE, kFail},  // not a digit
        {"FFFFFFFFFFFFFFFFFFFF", nullptr, EMV_CHECK_NOT_MADE, kFail},  // no digit
        {"4FFFFFFFFFFFFFFFFFFF", nullptr, EMV_CHECK_NOT_MADE, kPass},
        {"4761739001010119FF1F", "4761739001010119", kFail, kFail},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.field) + " / " + (r.pan != nullptr ? r.pan : "null"));
        KeyCertSpec spec;
        spec.format = 0x04;
        spec.identifier = from_hex(r.field);
        const Bytes block = key_cert(spec, key_of(64), {0x03}, kSigner).block;
        const EmvIccCert out = check_icc(block, r.pan);
        EXPECT_EQ(out.common.checks.pan, r.expected);
        EXPECT_EQ(out.common.checks.pan_form, r.form);
    }
}

TEST(EmvFieldRules, KeyFieldLengthsPaddingAndRemainder)
{
    struct Row {
        const char* name;
        size_t key_length;
        void (*change)(Bytes& block, Bytes& remainder, Bytes& exponent);
        bool remainder_given;
        bool exponent_given;
        EmvCheckResult key_length_check;
        EmvCheckResult hash;
        bool key_returned;
    };
    const auto none = [](Bytes&, Bytes&, Bytes&) {};
    const Row rows[] = {
        {"fills the field", 92, none, true, true, EMV_CHECK_PASSED, EMV_CHECK_PASSED, true},
        {"one byte of BB", 91, none, true, true, EMV_CHECK_PASSED, EMV_CHECK_PASSED, true},
        {"remainder of one byte", 93, none, true, true, EMV_CHECK_PASSED, EMV_CHECK_PASSED, true},
        {"remainder not given", 91, none, false, true, EMV_CHECK_PASSED, EMV_CHECK_PASSED, true},
        {"padding not BB", 90, [](Bytes& b, Bytes&, Bytes&) { b[15 + 91] = 0x00; }, true, true,
         EMV_CHECK_FAILED, EMV_CHECK_PASSED, true},
        // Hashed as given, the key taken from the field, as a terminal does.
        {"remainder where none belongs", 91, [](Bytes&, Bytes& r, Bytes&) { r.push_back(0xAA); },
         true, true, EMV_CHECK_PASSED, EMV_CHECK_PASSED, true},
        {"needed remainder not given", 93, none, false, true, EMV_CHECK_FAILED, EMV_CHECK_NOT_MADE,
         false},
        {"key length 0", 91, [](Bytes& b, Bytes&, Bytes&) { b[13] = 0x00; }, true, true,
         EMV_CHECK_FAILED, EMV_CHECK_PASSED, false},
        {"exponent length 2", 91,
         [](Bytes& b, Bytes&, Bytes& e) {
             b[14] = 0x02;
             e = {0x01, 0x01};
         },
         true, true, EMV_CHECK_FAILED, EMV_CHECK_PASSED, true},
        {"exponent not given", 91, none, true, false, EMV_CHECK_PASSED, EMV_CHECK_NOT_MADE, true},
        {"as long as the signer's key", 128, none, true, true, EMV_CHECK_PASSED, EMV_CHECK_PASSED,
         true},
        {"one byte longer than the signer's key", 129, none, true, true, EMV_CHECK_FAILED,
         EMV_CHECK_PASSED, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        KeyCertSpec spec;
        spec.identifier = from_hex("476173FF");
        emv_chain::KeyCert cert = key_cert(spec, key_of(r.key_length), {0x03}, kSigner);
        r.change(cert.block, cert.remainder, cert.exponent);
        emv_chain::seal(cert.block, {cert.remainder, cert.exponent});
        const EmvIssuerCert out = check_issuer(
            cert.block, r.remainder_given ? given(cert.remainder) : kNotGiven,
            r.exponent_given ? given(cert.exponent) : kNotGiven, nullptr, {2026, 12, 9});
        EXPECT_EQ(out.common.checks.key_length, r.key_length_check);
        EXPECT_EQ(out.common.checks.hash, r.hash);
        EXPECT_EQ(out.key.modulus_length, r.key_returned ? out.pk_length : 0);
        if (r.key_returned && r.key_length_check == EMV_CHECK_PASSED) {
            EXPECT_EQ(modulus_of(out.key), key_of(r.key_length));
        }
        EXPECT_EQ(exponent_of(out.key), r.exponent_given ? cert.exponent : Bytes{});
    }
}

// Every length below each layout's minimum, each block on the heap at
// exactly its size: every field zero, every check of the block failed.
TEST(EmvFieldRules, BlocksShorterThanTheirLayout)
{
    struct Layout {
        const char* name;
        size_t minimum;
        const char* failed;
    };
    const Layout layouts[] = {
        {"issuer", 36,
         "header trailer format hash_algorithm pk_algorithm key_length hash expiry pan_form"},
        {"icc", 42,
         "header trailer format hash_algorithm pk_algorithm key_length hash expiry pan_form"},
        {"ssad", 26, "header trailer format hash_algorithm hash"},
        {"sdad", 25, "header trailer format hash_algorithm hash dynamic_data_length"},
    };
    const Bytes data = {0x01};
    const EmvCertOptions options = {nullptr, {2026, 12, 9}};
    for (const Layout& l : layouts) {
        for (size_t n = 0; n < l.minimum; ++n) {
            SCOPED_TRACE(std::string(l.name) + " of " + std::to_string(n) + " bytes");
            std::unique_ptr<uint8_t[]> heap(new uint8_t[n == 0 ? 1 : n]);
            memset(heap.get(), 0x6A, n);
            const int32_t len = static_cast<int32_t>(n);
            const std::string name = l.name;
            EmvChecks checks = {};
            bool fields_zero = false;
            if (name == "issuer") {
                EmvIssuerCert out;
                emv_check_issuer_cert(heap.get(), len, len, len, given(data), given(data), &options,
                                      &out);
                checks = out.common.checks;
                fields_zero = out.common.header == 0 && out.issuer_identifier[0] == 0 &&
                              out.pk_length == 0 && out.key.modulus_length == 0;
            } else if (name == "icc") {
                EmvIccCert out;
                emv_check_icc_cert(heap.get(), len, len, len, given(data), given(data), given(data),
                                   &options, &out);
                checks = out.common.checks;
                fields_zero = out.common.header == 0 && out.pan[0] == 0 && out.pk_length == 0 &&
                              out.key.modulus_length == 0;
            } else if (name == "ssad") {
                EmvSsad out;
                emv_check_ssad(heap.get(), len, len, len, given(data), &out);
                checks = out.common.checks;
                fields_zero = out.common.header == 0 && out.data_authentication_code[0] == 0;
            } else {
                EmvSdad out;
                emv_check_sdad(heap.get(), len, len, len, given(data), &out);
                checks = out.common.checks;
                fields_zero = out.common.header == 0 && out.icc_dynamic_data_length == 0;
            }
            EXPECT_EQ(failed(checks), l.failed);
            EXPECT_EQ(checks.length, EMV_CHECK_PASSED);
            EXPECT_TRUE(fields_zero);
        }
    }
}

TEST(EmvFieldRules, RecoveryRefusesKeysAndDataItCannotUse)
{
    Bytes modulus(128, 0xC5);
    const Bytes e3 = {0x03};
    const Bytes cert(128, 0x11);
    struct Row {
        const char* name;
        Bytes modulus;
        Bytes exponent;
        Bytes cert;
        EmvRecoverStatus status;
        EmvCheckResult length;
    };
    Bytes zero_led = modulus;
    zero_led[0] = 0x00;
    const Row rows[] = {
        {"empty modulus", {}, e3, cert, EMV_RECOVER_BAD_KEY, EMV_CHECK_NOT_MADE},
        {"modulus over 248 bytes", Bytes(249, 0xC5), e3, Bytes(249, 0x11), EMV_RECOVER_BAD_KEY,
         EMV_CHECK_NOT_MADE},
        {"modulus led by a zero byte", zero_led, e3, cert, EMV_RECOVER_BAD_KEY, EMV_CHECK_NOT_MADE},
        {"empty exponent", modulus, {}, cert, EMV_RECOVER_BAD_KEY, EMV_CHECK_NOT_MADE},
        {"exponent 0", modulus, {0x00}, cert, EMV_RECOVER_BAD_KEY, EMV_CHECK_NOT_MADE},
        {"exponent of 5 bytes",
         modulus,
         {0, 0, 1, 0, 1},
         cert,
         EMV_RECOVER_BAD_KEY,
         EMV_CHECK_NOT_MADE},
        {"certificate one byte long", modulus, e3, Bytes(129, 0x11), EMV_RECOVER_BAD_LENGTH,
         EMV_CHECK_FAILED},
        {"certificate equal to the modulus", modulus, e3, modulus, EMV_RECOVER_RSA_FAILED,
         EMV_CHECK_PASSED},
        {"any block below the modulus", modulus, e3, cert, EMV_RECOVER_OK, EMV_CHECK_PASSED},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EmvSsad out;
        memset(&out, 0x5A, sizeof out);
        const EmvRecoverStatus status =
            emv_recover_ssad(r.modulus.data(), static_cast<int32_t>(r.modulus.size()),
                             given(r.exponent), given(r.cert), given({}), &out);
        EXPECT_EQ(status, r.status);
        EXPECT_EQ(out.common.checks.length, r.length);
        if (status != EMV_RECOVER_OK) {
            EXPECT_EQ(out.common.header, 0);
            EXPECT_EQ(out.common.checks.hash, EMV_CHECK_NOT_MADE);
            EXPECT_EQ(emv_checks_valid(&out.common.checks), r.length != EMV_CHECK_FAILED);
        }
    }
}

// A signer's modulus must hold the format's fixed layout: one byte less is
// refused before anything is recovered, the layout's own length is opened.
TEST(EmvFieldRules, SignerModulusShorterThanTheLayoutIsRefused)
{
    struct Row {
        const char* name;
        uint8_t format;
        int32_t layout;
    };
    const Row rows[] = {
        {"issuer", EMV_FORMAT_ISSUER_CERT, 36},
        {"icc", EMV_FORMAT_ICC_CERT, 42},
        {"ssad", EMV_FORMAT_SSAD, 26},
        {"sdad", EMV_FORMAT_SDAD, 25},
    };
    const Bytes e3 = {0x03};
    const EmvCertOptions options = {nullptr, {2026, 12, 9}};
    for (const Row& r : rows) {
        EXPECT_EQ(emv_layout_length(r.format), r.layout) << r.name;
        for (int32_t n : {r.layout - 1, r.layout}) {
            SCOPED_TRACE(std::string(r.name) + " under a modulus of " + std::to_string(n));
            const Bytes modulus(static_cast<size_t>(n), 0xC5);
            const Bytes data(static_cast<size_t>(n), 0x11);
            const EmvBytes m = given(data);
            EmvRecoverStatus status = EMV_RECOVER_OK;
            EmvChecks checks = {};
            if (r.format == EMV_FORMAT_ISSUER_CERT) {
                EmvIssuerCert out;
                status = emv_recover_issuer_cert(modulus.data(), n, given(e3), m, kNotGiven,
                                                 given(e3), &options, &out);
                checks = out.common.checks;
            } else if (r.format == EMV_FORMAT_ICC_CERT) {
                EmvIccCert out;
                status = emv_recover_icc_cert(modulus.data(), n, given(e3), m, kNotGiven, given(e3),
                                              kNotGiven, &options, &out);
                checks = out.common.checks;
            } else if (r.format == EMV_FORMAT_SSAD) {
                EmvSsad out;
                status = emv_recover_ssad(modulus.data(), n, given(e3), m, kNotGiven, &out);
                checks = out.common.checks;
            } else {
                EmvSdad out;
                status = emv_recover_sdad(modulus.data(), n, given(e3), m, kNotGiven, &out);
                checks = out.common.checks;
            }
            const bool short_modulus = n < r.layout;
            EXPECT_EQ(status, short_modulus ? EMV_RECOVER_SHORT_MODULUS : EMV_RECOVER_OK);
            EXPECT_EQ(checks.length, short_modulus ? EMV_CHECK_NOT_MADE : EMV_CHECK_PASSED);
        }
    }
    EXPECT_EQ(emv_layout_length(0x06), 0);
}

}  // namespace
