// Chains published in the test suites of open-source EMV projects, signed
// with published CA test keys, as transcribed in
// tests/data/emv_published_chains.txt (which names where each was
// published). Each chain is opened with our code and with OpenSSL as oracle,
// and every field and recovered key is compared with what the block holds.
//  - sda: 1024-bit CA key; issuer certificate with a 36-byte remainder;
//    signed static application data and its static data.
//  - dda: 1408-bit CA key; issuer certificate with a remainder; ICC
//    certificate (key inside its field) and its static data; signed dynamic
//    application data over the DDOL data 00 00 00 00.
//  - long: 1984-bit CA key A000000003 #94 as tests/data/capk_public.txt
//    publishes it; issuer certificate (1408-bit key BB-padded in its field);
//    signed static data and ICC certificate (42-byte remainder), published
//    without the static data their hashes cover.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/capk_file.h"
#include "emv/emv.h"
#include "tests/emv_support/published_chains.h"
#include "tests/unit/emv/emv_test_support.h"

namespace {

using namespace emv_test;
using emv_chain::PublishedChain;
using emv_chain::recover_with_openssl;
using emv_chain::TestKey;

const Bytes kE3 = {0x03};

PublishedChain chain(const char* name)
{
    return PublishedChain(TARVELLO_TEST_DATA "/emv_published_chains.txt", name);
}

EmvCertOptions at(int32_t year, int32_t month, int32_t day, const char* pan)
{
    return {pan, {year, month, day}};
}

EmvIssuerCert recover_issuer(const Bytes& ca, const Bytes& cert, const Bytes& remainder,
                             const Bytes& exponent, const EmvCertOptions& options)
{
    EmvIssuerCert out;
    EXPECT_EQ(emv_recover_issuer_cert(ca.data(), static_cast<int32_t>(ca.size()), given(kE3),
                                      given(cert), given(remainder), given(exponent), &options,
                                      &out),
              EMV_RECOVER_OK);
    return out;
}

EmvIccCert recover_icc(const Bytes& issuer_key, const Bytes& cert, const Bytes& remainder,
                       EmvBytes static_data, const EmvCertOptions& options)
{
    EmvIccCert out;
    EXPECT_EQ(emv_recover_icc_cert(issuer_key.data(), static_cast<int32_t>(issuer_key.size()),
                                   given(kE3), given(cert), given(remainder), given(kE3),
                                   static_data, &options, &out),
              EMV_RECOVER_OK);
    return out;
}

// What OpenSSL recovers, so the library's fields can be compared with the
// block's bytes at their offsets.
Bytes oracle_block(const Bytes& modulus, const Bytes& signed_data)
{
    return recover_with_openssl(TestKey{modulus, kE3, {}}, signed_data);
}

void expect_common_matches(const EmvRecoveredCommon& common, const Bytes& block)
{
    const size_t n = block.size();
    EXPECT_EQ(common.header, block[0]);
    EXPECT_EQ(common.format, block[1]);
    EXPECT_EQ(to_hex(bytes(common.hash, 20)), to_hex(Bytes(block.end() - 21, block.end() - 1)));
    EXPECT_EQ(common.trailer, block[n - 1]);
}

// What a published key certificate holds, transcribed.
struct KeyCertFields {
    const char* identifier;  // issuer identifier or PAN field
    const char* expiry;
    const char* serial;
    int pk_length;
    std::string key;
};

Bytes identifier_of(const EmvIssuerCert& c)
{
    return bytes(c.issuer_identifier, sizeof c.issuer_identifier);
}

Bytes identifier_of(const EmvIccCert& c)
{
    return bytes(c.pan, sizeof c.pan);
}

template <typename Cert>
void expect_fields(const Cert& c, const KeyCertFields& f)
{
    EXPECT_EQ(failed(c.common.checks), "");
    EXPECT_EQ(to_hex(identifier_of(c)), f.identifier);
    EXPECT_EQ(to_hex(bytes(c.expiry, 2)), f.expiry);
    EXPECT_EQ(to_hex(bytes(c.serial, 3)), f.serial);
    EXPECT_EQ(c.pk_length, f.pk_length);
    EXPECT_EQ(c.pk_exponent_length, 1);
    EXPECT_EQ(to_hex(modulus_of(c.key)), f.key);
    EXPECT_EQ(to_hex(exponent_of(c.key)), "03");
}

TEST(EmvPublishedChain, SdaIssuerCertificateWithRemainderAndSignedStaticData)
{
    const PublishedChain c = chain("sda");
    const Bytes ca = c.bytes("ca_modulus");
    const Bytes cert = c.bytes("issuer_cert");
    const Bytes remainder = c.bytes("issuer_remainder");
    const EmvIssuerCert issuer =
        recover_issuer(ca, cert, remainder, kE3, at(2009, 12, 31, c.text("pan").c_str()));
    expect_fields(issuer, {"427655FF", "1209", "0042B3", 128, c.text("issuer_key")});
    EXPECT_EQ(not_made(issuer.common.checks), "dynamic_data_length");

    const Bytes block = oracle_block(ca, cert);
    expect_common_matches(issuer.common, block);
    Bytes key(block.begin() + 15, block.end() - 21);
    key.insert(key.end(), remainder.begin(), remainder.end());
    EXPECT_EQ(to_hex(key), c.text("issuer_key"));

    // Expired since December 2009.
    EXPECT_EQ(
        failed(recover_issuer(ca, cert, remainder, kE3, at(2010, 1, 1, nullptr)).common.checks),
        "expiry");

    const Bytes issuer_key = modulus_of(issuer.key);
    const Bytes ssad_signed = c.bytes("ssad");
    Bytes static_data = c.bytes("static_data");
    EmvSsad ssad;
    ASSERT_EQ(emv_recover_ssad(issuer_key.data(), 128, given(kE3), given(ssad_signed),
                               given(static_data), &ssad),
              EMV_RECOVER_OK);
    EXPECT_EQ(failed(ssad.common.checks), "");
    EXPECT_EQ(not_made(ssad.common.checks),
              "pk_algorithm key_length expiry pan pan_form dynamic_data_length");
    EXPECT_EQ(to_hex(bytes(ssad.data_authentication_code, 2)), "3132");
    expect_common_matches(ssad.common, oracle_block(issuer_key, ssad_signed));

    static_data.back() ^= 0x01;  // the AIP at the end of the static data
    ASSERT_EQ(emv_recover_ssad(issuer_key.data(), 128, given(kE3), given(ssad_signed),
                               given(static_data), &ssad),
              EMV_RECOVER_OK);
    EXPECT_EQ(failed(ssad.common.checks), "hash");
}

TEST(EmvPublishedChain, DdaIccCertificateAndSignedDynamicData)
{
    const PublishedChain c = chain("dda");
    const Bytes ca = c.bytes("ca_modulus");
    const Bytes issuer_cert = c.bytes("issuer_cert");
    const Bytes remainder = c.bytes("issuer_remainder");
    const EmvIssuerCert issuer =
        recover_issuer(ca, issuer_cert, remainder, kE3, at(2021, 12, 31, c.text("pan").c_str()));
    expect_fields(issuer, {"528588FF", "1221", "006EE2", 176, c.text("issuer_key")});
    expect_common_matches(issuer.common, oracle_block(ca, issuer_cert));

    const Bytes issuer_key = modulus_of(issuer.key);
    const Bytes icc_cert = c.bytes("icc_cert");
    const Bytes static_data = c.bytes("static_data");
    const EmvIccCert icc = recover_icc(issuer_key, icc_cert, {}, given(static_data),
                                       at(2015, 6, 30, c.text("pan").c_str()));
    expect_fields(icc, {"5285881254345653FFFF", "0615", "345653", 112, c.text("icc_key")});
    EXPECT_EQ(not_made(icc.common.checks), "dynamic_data_length");
    const Bytes icc_block = oracle_block(issuer_key, icc_cert);
    expect_common_matches(icc.common, icc_block);
    EXPECT_EQ(to_hex(Bytes(icc_block.begin() + 21, icc_block.begin() + 21 + 112)),
              c.text("icc_key"));

    const Bytes icc_key = modulus_of(icc.key);
    const Bytes sdad_signed = c.bytes("sdad");
    const Bytes ddol_data = c.bytes("dynamic_data");
    EmvSdad sdad;
    ASSERT_EQ(emv_recover_sdad(icc_key.data(), 112, given(kE3), given(sdad_signed),
                               given(ddol_data), &sdad),
              EMV_RECOVER_OK);
    EXPECT_EQ(failed(sdad.common.checks), "");
    EXPECT_EQ(not_made(sdad.common.checks), "pk_algorithm key_length expiry pan pan_form");
    EXPECT_EQ(sdad.icc_dynamic_data_length, 9);
    EXPECT_EQ(to_hex(bytes(sdad.icc_dynamic_data, 9)), "087A33FB8C9546E1E7");
    expect_common_matches(sdad.common, oracle_block(icc_key, sdad_signed));
}

TEST(EmvPublishedChain, LongChainOpensWithTheKeyOfThePublishedList)
{
    const PublishedChain c = chain("long");
    std::vector<CapkRecord> records(kMaxCapks);
    int32_t count = 0;
    ASSERT_EQ(load_capk_file(TARVELLO_TEST_DATA "/capk_public.txt", records.data(), &count), 0);
    const CapkRecord* ca94 = nullptr;
    for (int32_t i = 0; i < count; ++i) {
        if (records[i].rid[4] == 0x03 && records[i].index == 0x94) {
            ca94 = &records[i];
        }
    }
    ASSERT_NE(ca94, nullptr);
    const Bytes ca = bytes(ca94->modulus, static_cast<size_t>(ca94->modulus_length));
    EXPECT_EQ(to_hex(ca), c.text("ca_modulus"));

    const Bytes cert = c.bytes("issuer_cert");
    const EmvIssuerCert issuer =
        recover_issuer(ca, cert, {}, kE3, at(2026, 12, 9, c.text("pan").c_str()));
    expect_fields(issuer, {"476173FF", "1231", "03DA0A", 176, c.text("issuer_key")});
    EXPECT_EQ(not_made(issuer.common.checks), "dynamic_data_length");
    const Bytes block = oracle_block(ca, cert);
    expect_common_matches(issuer.common, block);
    // The key field's 212 bytes: the 176-byte key, then BB.
    EXPECT_EQ(to_hex(Bytes(block.begin() + 15, block.begin() + 15 + 176)), c.text("issuer_key"));
    EXPECT_EQ(Bytes(block.begin() + 15 + 176, block.end() - 21), Bytes(36, 0xBB));

    // The published certificate with its last byte changed opens to noise.
    Bytes broken = cert;
    broken.back() ^= 0x01;
    const std::string broken_failures =
        failed(recover_issuer(ca, broken, {}, kE3, at(2026, 12, 9, nullptr)).common.checks);
    EXPECT_NE(broken_failures.find("header"), std::string::npos) << broken_failures;
    EXPECT_NE(broken_failures.find("hash"), std::string::npos) << broken_failures;

    // The published wrong exponent (01 00 01 for a key of exponent 3).
    EXPECT_EQ(failed(recover_issuer(ca, cert, {}, {0x01, 0x00, 0x01}, at(2026, 12, 9, nullptr))
                         .common.checks),
              "key_length hash");

    // Static data was not published: those hashes cannot be checked.
    const Bytes issuer_key = modulus_of(issuer.key);
    EmvSsad ssad;
    const Bytes ssad_signed = c.bytes("ssad");
    ASSERT_EQ(
        emv_recover_ssad(issuer_key.data(), 176, given(kE3), given(ssad_signed), kNotGiven, &ssad),
        EMV_RECOVER_OK);
    EXPECT_EQ(failed(ssad.common.checks), "");
    EXPECT_EQ(not_made(ssad.common.checks),
              "pk_algorithm key_length hash expiry pan pan_form dynamic_data_length");
    EXPECT_EQ(to_hex(bytes(ssad.data_authentication_code, 2)), "DAC0");
    EXPECT_EQ(to_hex(bytes(ssad.common.hash, 20)), c.text("ssad_hash"));

    const Bytes icc_cert = c.bytes("icc_cert");
    const Bytes icc_remainder = c.bytes("icc_remainder");
    const EmvIccCert icc = recover_icc(issuer_key, icc_cert, icc_remainder, kNotGiven,
                                       at(2022, 12, 31, c.text("pan").c_str()));
    expect_fields(icc, {"4761739001010119FFFF", "1222", "000001", 176, c.text("icc_key")});
    EXPECT_EQ(not_made(icc.common.checks), "hash dynamic_data_length");
    EXPECT_EQ(to_hex(bytes(icc.common.hash, 20)), c.text("icc_hash"));
    const Bytes icc_block = oracle_block(issuer_key, icc_cert);
    expect_common_matches(icc.common, icc_block);

    // The published remainder with its last byte changed: the lengths still
    // agree, so only the key differs (its hash needs the static data).
    Bytes bad_remainder = icc_remainder;
    bad_remainder.back() ^= 0x03;
    const EmvIccCert icc2 =
        recover_icc(issuer_key, icc_cert, bad_remainder, kNotGiven, at(2022, 12, 31, nullptr));
    EXPECT_EQ(failed(icc2.common.checks), "");
    EXPECT_NE(to_hex(modulus_of(icc2.key)), c.text("icc_key"));
}

}  // namespace
