// Chains published in the test suites of open-source EMV projects, signed
// with published CA test keys. Only the numbers are taken, transcribed as
// hex; each chain is opened with our code and with OpenSSL as oracle, and
// every field and recovered key is compared with what the block holds.
//
//  - SDA chain: RfidResearchGroup/proxmark3, client/emv/test/sda_test.c.
//    CA A000000003 #01 (1024 bits, e = 3); issuer certificate with a
//    36-byte remainder; signed static application data and its static data.
//  - DDA chain: RfidResearchGroup/proxmark3, client/emv/test/dda_test.c.
//    CA A000000004 #05 (1408 bits, e = 3); issuer certificate with a
//    remainder; ICC certificate (key inside its field) and its static data;
//    signed dynamic application data over the DDOL data 00 00 00 00.
//  - 1984-bit chain: openemv/emv-utils, tests/emv_rsa_test.c. CA
//    A000000003 #94 as our tests/data/capk_public.txt publishes it; issuer
//    certificate (1408-bit key BB-padded in its field); signed static data
//    and ICC certificate (42-byte remainder), published without the static
//    data their hashes cover.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/capk_file.h"
#include "emv/emv.h"
#include "tests/unit/emv/emv_test_support.h"

namespace {

using namespace emv_test;
using emv_chain::recover_with_openssl;
using emv_chain::TestKey;

const Bytes kE3 = {0x03};

// --- SDA chain ---------------------------------------------------------------
const char* const kSdaCa =
    "C696034213D7D8546984579D1D0F0EA519CFF8DEFFC429354CF3A871A6F7183F1228DA5C7470C055387100CB935A"
    "712C4E2864DF5D64BA93FE7E63E71F25B1E5F5298575EBE1C63AA617706917911DC2A75AC28B251C7EF40F2365912"
    "490B939BCA2124A30A28F54402C34AECA331AB67E1E79B285DD5771B5D9FF79EA630B75";
const char* const kSdaIssuerCert =
    "3C5FEAD4DD7BCA44F93E90C44F76EDE54A3288ECDC78469FCB1225C03B2C04F2C2F412281A0822DF146492309"
    "89FB1494070DAF8C9534A7881960148616ACE581788120D3506ACE4CEE564FB27EE53341C22F0B45B31873D05DE"
    "545EFE33BCD29B2185D035A806AD08C6976F3505A19999930CA8A03EFA321C486061F7DCEC9F";
const char* const kSdaIssuerRemainder =
    "1EBCA30F00CE5962A8C6E130544B82891B236C65DE29317F364735DEE63F6598975835D5";
const char* const kSdaIssuerKey =
    "B405DE3A900F57C7C8192A59FC4905D35941C97D8733527941BD507425BB84D9D2EBEB5DDE57BD16B5C75360F6"
    "242B5013DE327144C569603F112298EA485A189830BD63B6FD4E418E9FF88BEE7B853937047A7A793519922901"
    "AE831EBCA30F00CE5962A8C6E130544B82891B236C65DE29317F364735DEE63F6598975835D5";
const char* const kSdaSsad =
    "99A558B62B674AA5E7D2A57E5EF6A6F2258E5DA052D05B54E5C115FF1CECF94AA2DF8F39A01D71C619EB819DA5"
    "2EF381E84979586AEA7855FFBEF40AA3A71CD3B04CFDF270AEC8158A2797F24FD613B748134661135CD290E45B"
    "04A8E0CCC711AE042F159E73C89C2A7E65A4C2FD1D6106024AA27130B0ECEC0238F91659DE96";
const char* const kSdaStaticData =
    "5F24030812315A0842765500132345995F3401019F0702FF009F0D05D040ACA8009F0E0500100000009F0F05D0"
    "68BCF8005C00";

// --- DDA chain ---------------------------------------------------------------
const char* const kDdaCa =
    "B8048ABC30C90D976336543E3FD7091C8FE4800DF820ED55E7E94813ED00555B573FECA3D84AF6131A651D66CF"
    "F4284FB13B635EDD0EE40176D8BF04B7FD1C7BACF9AC7327DFAA8AA72D10DB3B8E70B2DDD811CB4196525EA386"
    "ACC33C0D9D4575916469C4E4F53E8E1C912CC618CB22DDE7C3568E90022E6BBA770202E4522A2DD623D180E215"
    "BD1D1507FE3DC90CA310D27B3EFCCD8F83DE3052CAD1E48938C68D095AAC91B5F37E28BB49EC7ED597";
const char* const kDdaIssuerCert =
    "1714284F763B8586EE6D319951F7E63FA25076E50DC9D3200BA998D3A052ADBA9AB69AC6AD6ADD3CE09F0278F4"
    "074EC4EE9B1D2268A3E953575E454E50CD860BF424C51C597712D2AA057089DD8673E51B1E1D71880348920"
    "77AC18A6AE23488BEA9DF3B1A83F2C0800CD7C5CDF2FDE0496F7BC39FB4BF363299BFA637B2EC33C507E36821EE"
    "C2075F0E420D38A1C9F3127261BA316C987674FADB20EA7FEB75EE455D12146EA6F02E8B01EC2FA7A115";
const char* const kDdaIssuerRemainder =
    "6E63B7BC70ABDD09341B34C03286BA9BD83BA7936C5B7798FB22C5E53FF240A26DBD6415";
const char* const kDdaIssuerKey =
    "CA6128254F45FDC49089478B149FEC140846C123088BA9420D458BF853D45A6BB35CAA645033A1B4C046E76184"
    "9FB6E146BB9EB60341B027465950DC939DAD7F3D7F1811BD5C2FAEF6F77D385C1DF6FF4EAACA11EA304FD07E9D"
    "05F78690B58876EC80BFC869014FBFA3185613D42BA83D395439B7F001FCDD1DE9B14A7D7FAC37C8229BCD4C23"
    "D68E533B0F6E63B7BC70ABDD09341B34C03286BA9BD83BA7936C5B7798FB22C5E53FF240A26DBD6415";
const char* const kDdaIccCert =
    "A42FBEB156B98DCB0554DA062ADCA5309A91F04FA2C7BD7102A8D73F16A3CFADE8AADF4F3FE2A2125CCDD77C6B"
    "9F78B5B4371CE0805725B0F9C027AF147D91E1FFDB201E9C170CE777053A172AD526DCAFD33895E1A947305C5B"
    "167F2E7C6F991581A652EE473154760C2ED774214E50DFECDD4CF294C974B89EBCA25B5AB3C0BEB50DFAF782AF"
    "DE1433D90CA2A89D651E75D67EBC7C3E36F5A165EE6132612939C1ECD399E46074B996D93A88E01E0A";
const char* const kDdaIccKey =
    "B1FAC086C1A5E17DA60747043192E059B231F77AD50582975B00BF33EFB1D08E0B38A36AA6793C575F5BD214AB"
    "B611999D0E0959B94A10EC7736E8253503F443154DD79FB7B96D7CB9C26AC4FB97AAAAA90A6DFBD74F43E6555E"
    "7DF06D478C87A71DED835DEFD182C3B223D8D28ED2F3";
const char* const kDdaStaticData =
    "5F25031405015F24031506305A0852858812543456535F3401018E0C00000000000000001E031F039F0702FF00"
    "9F0D05BC50BC00009F0E0500000000009F0F05BC70BC98009F4A01825F280206438C219F02069F03069F1A0295"
    "055F2A029A039C019F37049F35019F45029F4C089F34038D0C910A8A0295059F37049F4C083900";
const char* const kDdaSdad =
    "3D87F31056102D2512CFDE30900627C1263A76D1DAA821F50831E606C54544C258131EAEBE874DCB1A28CF82D3"
    "FF91118260BC91113711D3B289FA41BE69C7A7B5C783E6F8F97FCE13F08B13FA44183E3718CEBF0C41473D2B0F"
    "F4DE44B6A02D75ADB6D4962393FFDF4E69026CDF38FF";

// --- 1984-bit chain ----------------------------------------------------------
const char* const kLongIssuerCert =
    "665CD65C20DEAE638C7320EA011E5E2B33FC5070FF7D153D74FE9A01ABFF0B9587B3779C524577F8A57C19923B"
    "39CD3F5CCDD457D360DC2619CDBB94328777BB905E1CB79E280458F60C8C5593EFD22D6385512B11B7F2EAFE11"
    "84CF9066B9B47A0BF832045066359AE465473D31B9F830A6DE7D88E969CB456033F8073BEC512205920E3DEA77"
    "3D3E36E1F46C2E8BDDC423FB675CA1710A3D0A06E9C7570919735190BD6ED65BD5EF92C0416BFE4094EA96A218"
    "013838EF337151A8BE7222DCF0717399553C4DDA16EBABB2DD386A07BDF313D970C1324CAAB885067691E3EE5E"
    "5D8B912799BD53C8E1830237E9EC0A9254D80B2BD3622C";
const char* const kLongIssuerKey =
    "DDD9039ACC0BB00E8D6C1A11BD78C055758C5AB4CC6A3735A23DDFCF16A8F7BA72B7060FD4A77A8F6CA5FB4F11"
    "300A671BF14DF26647DCB2DC1D018A78D0F7CBCA854ECB03D32BEECEDFA849256CCB4B0392F3CC36B838EBFD24"
    "4C11C58EF44ED63196E6CD55E0AC7BCA87ED2CC4F475DC9999BA88BA0E00FA860D7763996ED8A01701E2AC0D28"
    "5B1198FC8485AADF043FAA3848ED869D6EB3D970F4AC08A97474278842C85584E34B6FACC07207BC41";
const char* const kLongSsad =
    "30661BC4D33D38F913D48429E6760FD9BDF2D9172A22F30418A29138A2D35A473E2AE42A3A6E6EEDFBF99D6C8C"
    "21F12EB96FD717D67AE222DB53863257EC8D7D649E40F2A64D18659B2FB45D893A995B88AEC4209975975E8DB3"
    "AC516D4CDF4A26681C524F9EA5C3750283A2B8F4569F9A9672DE9B6ED2C529B9611B38F237C8BDCFF088988CB2"
    "DD6599B8E62D4E77EE5386B892BE36B7BFB553A2BFDE900FB774C1A544CEB2C5A6CE9968927ED38B87";
const char* const kLongSsadHash = "4E2821974D704E338E7218F887763F7BDCE2B814";
const char* const kLongIccCert =
    "A6CDB529A1D8CB538E19A277764C633F3C2F468A6A7CC3B5EF3F5B9838B7900316A627927569F679EAE367E101"
    "60D7A1E08D9F20399F8B6FFE77A564B108DD924458A89D966C980D1E52A0093CA1CFA44CB3FCCF102632A79948"
    "6B409C34C1F6A3DCC3C1C0EE1C0F6E1EA7A33C1CDAEA9852AAA4B954D429C9EEDBF8803D6D159CAB6B8DCAB069"
    "4B5850D5F3C4014B45ABCB5B8F69BFC647D94F9E0039439A2D5584DEAD27729C894615F62AE7AC8216";
const char* const kLongIccRemainder =
    "4DD8A50B21B9CBF62BFAD4BB3F4CF6B5239F3FD23F8B93E96C84C9CE67DFD70359153855A8F735CAFBE5";
const char* const kLongIccKey =
    "AB02DC02F1CB7D30113FE87A17D38D67A47CA6EC7A7AE10E6FE5B7D5800547B1B21A2413DD18136126D8B00F02"
    "1DC7E19CF513DD87149673B3764FF701454347CCA9C8E310F9DB651DFDC9364F121002E5A795E3ECFB50678177"
    "CF4C15A11067C1006E13AE77122934A38C11F429137A9AA9AF98610BC8B4979B3FC6BC85C34CAFA2E1B818F54D"
    "D8A50B21B9CBF62BFAD4BB3F4CF6B5239F3FD23F8B93E96C84C9CE67DFD70359153855A8F735CAFBE5";
const char* const kLongIccHash = "B8D9B5F7A12DC0D77FC0B2F7BBACA514939CAD60";

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
    const char* key;
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
    const Bytes ca = from_hex(kSdaCa);
    const Bytes cert = from_hex(kSdaIssuerCert);
    const Bytes remainder = from_hex(kSdaIssuerRemainder);
    const EmvIssuerCert issuer = recover_issuer(ca, cert, remainder, kE3,
                                                at(2009, 12, 31, "4276550013234599"));
    expect_fields(issuer, {"427655FF", "1209", "0042B3", 128, kSdaIssuerKey});
    EXPECT_EQ(not_made(issuer.common.checks), "");

    const Bytes block = oracle_block(ca, cert);
    expect_common_matches(issuer.common, block);
    Bytes key(block.begin() + 15, block.end() - 21);
    key.insert(key.end(), remainder.begin(), remainder.end());
    EXPECT_EQ(to_hex(key), kSdaIssuerKey);

    // Expired since December 2009.
    EXPECT_EQ(failed(recover_issuer(ca, cert, remainder, kE3, at(2010, 1, 1, nullptr))
                         .common.checks),
              "expiry");

    const Bytes issuer_key = modulus_of(issuer.key);
    const Bytes ssad_signed = from_hex(kSdaSsad);
    Bytes static_data = from_hex(kSdaStaticData);
    EmvSsad ssad;
    ASSERT_EQ(emv_recover_ssad(issuer_key.data(), 128, given(kE3), given(ssad_signed),
                               given(static_data), &ssad),
              EMV_RECOVER_OK);
    EXPECT_EQ(failed(ssad.common.checks), "");
    EXPECT_EQ(not_made(ssad.common.checks), "pk_algorithm key_length expiry pan");
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
    const Bytes ca = from_hex(kDdaCa);
    const Bytes issuer_cert = from_hex(kDdaIssuerCert);
    const Bytes remainder = from_hex(kDdaIssuerRemainder);
    const EmvIssuerCert issuer = recover_issuer(ca, issuer_cert, remainder, kE3,
                                                at(2021, 12, 31, "5285881254345653"));
    expect_fields(issuer, {"528588FF", "1221", "006EE2", 176, kDdaIssuerKey});
    expect_common_matches(issuer.common, oracle_block(ca, issuer_cert));

    const Bytes issuer_key = modulus_of(issuer.key);
    const Bytes icc_cert = from_hex(kDdaIccCert);
    const Bytes static_data = from_hex(kDdaStaticData);
    const EmvIccCert icc = recover_icc(issuer_key, icc_cert, {}, given(static_data),
                                       at(2015, 6, 30, "5285881254345653"));
    expect_fields(icc, {"5285881254345653FFFF", "0615", "345653", 112, kDdaIccKey});
    EXPECT_EQ(not_made(icc.common.checks), "");
    const Bytes icc_block = oracle_block(issuer_key, icc_cert);
    expect_common_matches(icc.common, icc_block);
    EXPECT_EQ(to_hex(Bytes(icc_block.begin() + 21, icc_block.begin() + 21 + 112)), kDdaIccKey);

    const Bytes icc_key = modulus_of(icc.key);
    const Bytes sdad_signed = from_hex(kDdaSdad);
    const Bytes ddol_data = {0x00, 0x00, 0x00, 0x00};
    EmvSdad sdad;
    ASSERT_EQ(emv_recover_sdad(icc_key.data(), 112, given(kE3), given(sdad_signed),
                               given(ddol_data), &sdad),
              EMV_RECOVER_OK);
    EXPECT_EQ(failed(sdad.common.checks), "");
    EXPECT_EQ(not_made(sdad.common.checks), "pk_algorithm expiry pan");
    EXPECT_EQ(sdad.icc_dynamic_data_length, 9);
    EXPECT_EQ(to_hex(bytes(sdad.icc_dynamic_data, 9)), "087A33FB8C9546E1E7");
    expect_common_matches(sdad.common, oracle_block(icc_key, sdad_signed));
}

TEST(EmvPublishedChain, LongChainOpensWithTheKeyOfThePublishedList)
{
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
    ASSERT_EQ(ca.size(), 248u);

    const Bytes cert = from_hex(kLongIssuerCert);
    const EmvIssuerCert issuer = recover_issuer(ca, cert, {}, kE3,
                                                at(2026, 12, 9, "4761739001010119"));
    expect_fields(issuer, {"476173FF", "1231", "03DA0A", 176, kLongIssuerKey});
    EXPECT_EQ(not_made(issuer.common.checks), "");
    const Bytes block = oracle_block(ca, cert);
    expect_common_matches(issuer.common, block);
    // The key field's 212 bytes: the 176-byte key, then BB.
    EXPECT_EQ(to_hex(Bytes(block.begin() + 15, block.begin() + 15 + 176)), kLongIssuerKey);
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
    const Bytes ssad_signed = from_hex(kLongSsad);
    ASSERT_EQ(emv_recover_ssad(issuer_key.data(), 176, given(kE3), given(ssad_signed), kNotGiven,
                               &ssad),
              EMV_RECOVER_OK);
    EXPECT_EQ(failed(ssad.common.checks), "");
    EXPECT_EQ(not_made(ssad.common.checks), "pk_algorithm key_length hash expiry pan");
    EXPECT_EQ(to_hex(bytes(ssad.data_authentication_code, 2)), "DAC0");
    EXPECT_EQ(to_hex(bytes(ssad.common.hash, 20)), kLongSsadHash);

    const Bytes icc_cert = from_hex(kLongIccCert);
    const Bytes icc_remainder = from_hex(kLongIccRemainder);
    const EmvIccCert icc = recover_icc(issuer_key, icc_cert, icc_remainder, kNotGiven,
                                       at(2022, 12, 31, "4761739001010119"));
    expect_fields(icc, {"4761739001010119FFFF", "1222", "000001", 176, kLongIccKey});
    EXPECT_EQ(not_made(icc.common.checks), "hash");
    EXPECT_EQ(to_hex(bytes(icc.common.hash, 20)), kLongIccHash);
    const Bytes icc_block = oracle_block(issuer_key, icc_cert);
    expect_common_matches(icc.common, icc_block);

    // The published remainder with its last byte changed: the lengths still
    // agree, so only the key differs (its hash needs the static data).
    Bytes bad_remainder = icc_remainder;
    bad_remainder.back() ^= 0x03;
    const EmvIccCert icc2 = recover_icc(issuer_key, icc_cert, bad_remainder, kNotGiven,
                                        at(2022, 12, 31, nullptr));
    EXPECT_EQ(failed(icc2.common.checks), "");
    EXPECT_NE(to_hex(modulus_of(icc2.key)), kLongIccKey);
}

}  // namespace
