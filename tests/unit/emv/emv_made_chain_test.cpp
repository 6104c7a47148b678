// Chains made in the tests with OpenSSL keys: every format recovered and
// checked across key sizes (1024 to 1984 bits), exponents 3 and 65537, keys
// inside, filling exactly and overflowing their certificate fields; then
// each check made to fail once, and only that check.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "emv/emv.h"
#include "tests/unit/emv/emv_test_support.h"

namespace {

using namespace emv_test;
using emv_chain::Chain;
using emv_chain::make_chain;
using emv_chain::seal;
using emv_chain::sign;
using emv_chain::TestKey;

const EmvDate kToday = {2026, 12, 9};

struct ChainCase {
    int ca_bits;
    uint32_t ca_e;
    int issuer_bits;
    uint32_t issuer_e;
    int icc_bits;
    uint32_t icc_e;
    size_t issuer_remainder;  // bytes of the issuer key beyond its field
    size_t icc_remainder;
};

const ChainCase kChains[] = {
    {1984, 3, 1408, 3, 1024, 65537, 0, 0},        // keys inside their fields
    {1024, 65537, 1024, 3, 1024, 65537, 36, 42},  // each key as long as its signer's
    {1984, 65537, 1984, 3, 1984, 65537, 36, 42}, {1408, 3, 1152, 65537, 1024, 3, 4, 26},
    {1648, 3, 1360, 65537, 1024, 3, 0, 0},       // each key fills its field exactly
    {1304, 65537, 1024, 3, 1024, 65537, 1, 42},  // one byte over
};

class EmvMadeChain : public ::testing::TestWithParam<ChainCase> {};

TEST_P(EmvMadeChain, EveryFormatRecoversWithEveryCheckPassed)
{
    const ChainCase& p = GetParam();
    const Chain c = make_chain(p.ca_bits, p.ca_e, p.issuer_bits, p.issuer_e, p.icc_bits, p.icc_e);
    ASSERT_EQ(c.issuer_cert.remainder.size(), p.issuer_remainder);
    ASSERT_EQ(c.icc_cert.remainder.size(), p.icc_remainder);
    // The builder's signature opens to its block under OpenSSL too.
    ASSERT_EQ(emv_chain::recover_with_openssl(*c.ca, c.issuer_cert_signed), c.issuer_cert.block);

    const EmvCertOptions options = {c.pan.c_str(), kToday};
    const Bytes& ca = c.ca->modulus;
    EmvIssuerCert issuer;
    ASSERT_EQ(emv_recover_issuer_cert(ca.data(), static_cast<int32_t>(ca.size()),
                                      given(c.ca->exponent), given(c.issuer_cert_signed),
                                      given(c.issuer_cert.remainder), given(c.issuer_cert.exponent),
                                      &options, &issuer),
              EMV_RECOVER_OK);
    EXPECT_EQ(failed(issuer.common.checks), "");
    EXPECT_EQ(not_made(issuer.common.checks), "dynamic_data_length");
    EXPECT_EQ(modulus_of(issuer.key), c.issuer->modulus);
    EXPECT_EQ(exponent_of(issuer.key), c.issuer->exponent);

    // The rest of the chain opens with the recovered issuer key, as a
    // terminal would use it.
    const Bytes issuer_key = modulus_of(issuer.key);
    const int32_t ni = static_cast<int32_t>(issuer_key.size());
    const EmvBytes issuer_e = given(c.issuer->exponent);
    EmvIccCert icc;
    ASSERT_EQ(emv_recover_icc_cert(issuer_key.data(), ni, issuer_e, given(c.icc_cert_signed),
                                   given(c.icc_cert.remainder), given(c.icc_cert.exponent),
                                   given(c.static_data), &options, &icc),
              EMV_RECOVER_OK);
    EXPECT_EQ(failed(icc.common.checks), "");
    EXPECT_EQ(not_made(icc.common.checks), "dynamic_data_length");
    EXPECT_EQ(modulus_of(icc.key), c.icc->modulus);
    EXPECT_EQ(exponent_of(icc.key), c.icc->exponent);

    EmvSsad ssad;
    ASSERT_EQ(emv_recover_ssad(issuer_key.data(), ni, issuer_e, given(c.ssad_signed),
                               given(c.static_data), &ssad),
              EMV_RECOVER_OK);
    EXPECT_EQ(failed(ssad.common.checks), "");
    EXPECT_EQ(to_hex(bytes(ssad.data_authentication_code, 2)), "DAC0");

    const Bytes icc_key = modulus_of(icc.key);
    EmvSdad sdad;
    ASSERT_EQ(emv_recover_sdad(icc_key.data(), static_cast<int32_t>(icc_key.size()),
                               given(c.icc->exponent), given(c.sdad_signed),
                               given(c.terminal_dynamic_data), &sdad),
              EMV_RECOVER_OK);
    EXPECT_EQ(failed(sdad.common.checks), "");
    EXPECT_EQ(bytes(sdad.icc_dynamic_data, sdad.icc_dynamic_data_length), c.icc_dynamic_data);
}

std::string chain_name(const ::testing::TestParamInfo<ChainCase>& info)
{
    const ChainCase& p = info.param;
    return "ca" + std::to_string(p.ca_bits) + "e" + std::to_string(p.ca_e) + "_issuer" +
           std::to_string(p.issuer_bits) + "e" + std::to_string(p.issuer_e) + "_icc" +
           std::to_string(p.icc_bits) + "e" + std::to_string(p.icc_e);
}

INSTANTIATE_TEST_SUITE_P(Sizes, EmvMadeChain, ::testing::ValuesIn(kChains), chain_name);

// --- Each check failing on its own -------------------------------------------

enum class Kind { Issuer, Icc, Ssad, Sdad };

// One recovered block and what goes with it, changed by a case before it is
// (re)sealed and signed.
struct Input {
    Bytes block;
    Bytes remainder;
    Bytes exponent;
    Bytes data;  // static data (ICC certificate, SSAD) or terminal dynamic data (SDAD)
    bool data_given = true;
    bool reseal = true;  // recompute the hash over the changed block
    size_t cut = 0;      // bytes dropped from the end of the signed data
    std::string pan;
    EmvDate today = kToday;
};

struct FailCase {
    const char* name;
    std::function<void(Input&)> change;
    const char* failed;
    const char* not_made;  // besides the checks that never apply to the format
};

// A chain whose keys overflow their fields, so remainders are in play.
const Chain& chain()
{
    static const Chain c = make_chain(1152, 65537, 1024, 3, 1024, 65537);
    return c;
}

Input input_for(Kind kind)
{
    const Chain& c = chain();
    Input in;
    in.pan = c.pan;
    switch (kind) {
        case Kind::Issuer:
            in.block = c.issuer_cert.block;
            in.remainder = c.issuer_cert.remainder;
            in.exponent = c.issuer_cert.exponent;
            break;
        case Kind::Icc:
            in.block = c.icc_cert.block;
            in.remainder = c.icc_cert.remainder;
            in.exponent = c.icc_cert.exponent;
            in.data = c.static_data;
            break;
        case Kind::Ssad:
            in.block = c.ssad;
            in.data = c.static_data;
            break;
        case Kind::Sdad:
            in.block = c.sdad;
            in.data = c.terminal_dynamic_data;
            break;
    }
    return in;
}

const TestKey& signer_of(Kind kind)
{
    const Chain& c = chain();
    return kind == Kind::Issuer ? *c.ca : kind == Kind::Sdad ? *c.icc : *c.issuer;
}

// The parts each format's hash covers after the block.
std::vector<Bytes> hashed_parts(Kind kind, const Input& in)
{
    switch (kind) {
        case Kind::Issuer:
            return {in.remainder, in.exponent};
        case Kind::Icc:
            return {in.remainder, in.exponent, in.data};
        default:
            return {in.data};
    }
}

EmvChecks recover(Kind kind, Input in)
{
    if (in.reseal) {
        seal(in.block, hashed_parts(kind, in));
    }
    const TestKey& signer = signer_of(kind);
    Bytes signed_data = sign(signer, in.block);
    signed_data.resize(signed_data.size() - in.cut);

    const Bytes& n = signer.modulus;
    const int32_t length = static_cast<int32_t>(n.size());
    const EmvBytes e = given(signer.exponent);
    const EmvBytes data = in.data_given ? given(in.data) : kNotGiven;
    const EmvCertOptions options = {in.pan.empty() ? nullptr : in.pan.c_str(), in.today};
    EmvRecoverStatus status = EMV_RECOVER_OK;
    EmvChecks checks = {};
    switch (kind) {
        case Kind::Issuer: {
            EmvIssuerCert out;
            status =
                emv_recover_issuer_cert(n.data(), length, e, given(signed_data),
                                        given(in.remainder), given(in.exponent), &options, &out);
            checks = out.common.checks;
            break;
        }
        case Kind::Icc: {
            EmvIccCert out;
            status =
                emv_recover_icc_cert(n.data(), length, e, given(signed_data), given(in.remainder),
                                     given(in.exponent), data, &options, &out);
            checks = out.common.checks;
            break;
        }
        case Kind::Ssad: {
            EmvSsad out;
            status = emv_recover_ssad(n.data(), length, e, given(signed_data), data, &out);
            checks = out.common.checks;
            break;
        }
        case Kind::Sdad: {
            EmvSdad out;
            status = emv_recover_sdad(n.data(), length, e, given(signed_data), data, &out);
            checks = out.common.checks;
            break;
        }
    }
    EXPECT_EQ(status, in.cut == 0 ? EMV_RECOVER_OK : EMV_RECOVER_BAD_LENGTH);
    return checks;
}

void run(Kind kind, const std::vector<FailCase>& cases, const std::string& never_made)
{
    for (const FailCase& fc : cases) {
        SCOPED_TRACE(fc.name);
        Input in = input_for(kind);
        if (fc.change) {
            fc.change(in);
        }
        const EmvChecks checks = recover(kind, in);
        EXPECT_EQ(failed(checks), fc.failed);
        std::string expected_not_made = fc.not_made != nullptr ? fc.not_made : never_made;
        EXPECT_EQ(not_made(checks), expected_not_made);
    }
}

// Makes the certified key length bytes long with a remainder that fits the
// field (field_size bytes), so that only the signer's length can refuse it.
void set_key_length(Input& in, size_t length_at, size_t length, size_t field_size)
{
    in.block[length_at] = static_cast<uint8_t>(length);
    in.remainder.assign(length - field_size, 0xA5);
}

// Offsets in the key certificates: format 1, then identifier (4 or 10).
constexpr size_t kIssuerHashAlg = 11;
constexpr size_t kIccHashAlg = 17;
const char* const kNothingMade = "header trailer format hash_algorithm pk_algorithm key_length "
                                 "hash expiry pan pan_form dynamic_data_length";

std::vector<FailCase> common_cases(size_t hash_algorithm_at)
{
    return {
        {"good", nullptr, "", nullptr},
        {"header 6B", [](Input& in) { in.block[0] = 0x6B; }, "header", nullptr},
        {"no trailer", [](Input& in) { in.block.back() = 0xBB; }, "trailer", nullptr},
        {"format 06", [](Input& in) { in.block[1] = 0x06; }, "format", nullptr},
        {"hash algorithm 02", [=](Input& in) { in.block[hash_algorithm_at] = 0x02; },
         "hash_algorithm", nullptr},
        {"signed data one byte short", [](Input& in) { in.cut = 1; }, "length", kNothingMade},
    };
}

TEST(EmvOneCheckFails, IssuerCertificate)
{
    std::vector<FailCase> cases = common_cases(kIssuerHashAlg);
    cases.push_back({"flipped bit in the serial, hash not renewed",
                     [](Input& in) {
                         in.block[8] ^= 0x01;
                         in.reseal = false;
                     },
                     "hash", nullptr});
    cases.push_back(
        {"pk algorithm 02", [](Input& in) { in.block[12] = 0x02; }, "pk_algorithm", nullptr});
    cases.push_back({"remainder one byte long", [](Input& in) { in.remainder.push_back(0x00); },
                     "key_length", nullptr});
    cases.push_back(
        {"remainder missing", [](Input& in) { in.remainder.clear(); }, "key_length", nullptr});
    cases.push_back({"exponent length field 3 for exponent 03",
                     [](Input& in) { in.block[14] = 0x03; }, "key_length", nullptr});
    cases.push_back({"expired in 12/49",
                     [](Input& in) {
                         in.today = {2050, 1, 1};
                     },
                     "expiry", nullptr});
    cases.push_back(
        {"PAN of another issuer", [](Input& in) { in.pan = "4761749001010119"; }, "pan", nullptr});
    cases.push_back({"no date to judge the expiry at",
                     [](Input& in) {
                         in.today = {0, 0, 0};
                     },
                     "expiry", nullptr});
    cases.push_back({"identifier of two digits, no PAN given",
                     [](Input& in) {
                         in.block[3] = 0xFF;
                         in.pan.clear();
                     },
                     "pan_form", "pan dynamic_data_length"});
    // The CA key has 144 bytes, the issuer key's field 108.
    cases.push_back({"issuer key as long as the CA key",
                     [](Input& in) { set_key_length(in, 13, 144, 108); }, "", nullptr});
    cases.push_back({"issuer key one byte longer than the CA key",
                     [](Input& in) { set_key_length(in, 13, 145, 108); }, "key_length", nullptr});
    run(Kind::Issuer, cases, "dynamic_data_length");
}

TEST(EmvOneCheckFails, IccCertificate)
{
    std::vector<FailCase> cases = common_cases(kIccHashAlg);
    cases.push_back({"static data changed",
                     [](Input& in) {
                         in.data[0] ^= 0x80;
                         in.reseal = false;
                     },
                     "hash", nullptr});
    cases.push_back({"static data not given", [](Input& in) { in.data_given = false; }, "",
                     "hash dynamic_data_length"});
    cases.push_back(
        {"pk algorithm 02", [](Input& in) { in.block[18] = 0x02; }, "pk_algorithm", nullptr});
    cases.push_back({"remainder one byte short", [](Input& in) { in.remainder.pop_back(); },
                     "key_length", nullptr});
    cases.push_back({"expiry month 13", [](Input& in) { in.block[12] = 0x13; }, "expiry", nullptr});
    cases.push_back(
        {"PAN one digit off", [](Input& in) { in.pan = "4761739001010118"; }, "pan", nullptr});
    cases.push_back(
        {"PAN one digit longer", [](Input& in) { in.pan = "47617390010101190"; }, "pan", nullptr});
    cases.push_back({"PAN field with a digit after its padding, no PAN given",
                     [](Input& in) {
                         in.block[11] = 0xF1;
                         in.pan.clear();
                     },
                     "pan_form", "pan dynamic_data_length"});
    // The issuer key has 128 bytes, the ICC key's field 86; the good chain's
    // ICC key is as long as the issuer key.
    cases.push_back({"ICC key one byte longer than the issuer key",
                     [](Input& in) { set_key_length(in, 19, 129, 86); }, "key_length", nullptr});
    run(Kind::Icc, cases, "dynamic_data_length");
}

TEST(EmvOneCheckFails, SignedStaticData)
{
    std::vector<FailCase> cases = common_cases(2);
    cases.push_back({"static data changed",
                     [](Input& in) {
                         in.data.back() ^= 0x01;
                         in.reseal = false;
                     },
                     "hash", nullptr});
    cases.push_back({"static data not given", [](Input& in) { in.data_given = false; }, "",
                     "pk_algorithm key_length hash expiry pan pan_form dynamic_data_length"});
    run(Kind::Ssad, cases, "pk_algorithm key_length expiry pan pan_form dynamic_data_length");
}

TEST(EmvOneCheckFails, SignedDynamicData)
{
    std::vector<FailCase> cases = common_cases(2);
    cases.push_back({"terminal data changed",
                     [](Input& in) {
                         in.data[0] ^= 0x01;
                         in.reseal = false;
                     },
                     "hash", nullptr});
    cases.push_back(
        {"empty terminal data is data", [](Input& in) { in.data.clear(); }, "", nullptr});
    cases.push_back({"terminal data not given", [](Input& in) { in.data_given = false; }, "",
                     "pk_algorithm key_length hash expiry pan pan_form"});
    cases.push_back({"L one past the block",
                     [](Input& in) { in.block[3] = static_cast<uint8_t>(in.block.size() - 24); },
                     "dynamic_data_length", nullptr});
    run(Kind::Sdad, cases, "pk_algorithm key_length expiry pan pan_form");
}

}  // namespace
