// The field decoders: one row per command, status word and bit a user acts
// on, checked against EMV Book 3 (commands, AIP, AUC, TVR, TSI, CID, CVM)
// and Book 4 (terminal capabilities and types) by hand.

#include <cstring>

#include <gtest/gtest.h>

#include "emv/emv_decode.h"
#include "tests/unit/emv/emv_test_support.h"

namespace {

using namespace emv_test;

struct CommandRow {
    const char* apdu;
    const char* name;
    uint8_t sfi, record;
    uint32_t tag;
    int cryptogram;  // -1: not a GENERATE AC
    bool cda;
    EmvPinBlock pin;
    EmvSelectTarget select;
};

TEST(EmvDecode, CommandsAreNamedWithWhatTheirParametersSay)
{
    const CommandRow rows[] = {
        {"00A404000E325041592E5359532E444446303100", "SELECT", 0, 0, 0, -1, false, EMV_PIN_NONE,
         EMV_SELECT_PPSE},
        {"00A404000E315041592E5359532E4444463031", "SELECT", 0, 0, 0, -1, false, EMV_PIN_NONE,
         EMV_SELECT_PSE},
        {"00A4040007A000000003101000", "SELECT", 0, 0, 0, -1, false, EMV_PIN_NONE, EMV_SELECT_AID},
        {"80A8000002830000", "GET PROCESSING OPTIONS", 0, 0, 0, -1, false, EMV_PIN_NONE,
         EMV_SELECT_NONE},
        {"00B2021C00", "READ RECORD", 3, 2, 0, -1, false, EMV_PIN_NONE, EMV_SELECT_NONE},
        {"80CA9F1700", "GET DATA", 0, 0, 0x9F17, -1, false, EMV_PIN_NONE, EMV_SELECT_NONE},
        {"80AE90001D", "GENERATE AC", 0, 0, 0, EMV_CRYPTOGRAM_ARQC, true, EMV_PIN_NONE,
         EMV_SELECT_NONE},
        {"80AE400000", "GENERATE AC", 0, 0, 0, EMV_CRYPTOGRAM_TC, false, EMV_PIN_NONE,
         EMV_SELECT_NONE},
        {"80AE000000", "GENERATE AC", 0, 0, 0, EMV_CRYPTOGRAM_AAC, false, EMV_PIN_NONE,
         EMV_SELECT_NONE},
        {"0020008008241234FFFFFFFFFF", "VERIFY", 0, 0, 0, -1, false, EMV_PIN_PLAINTEXT,
         EMV_SELECT_NONE},
        {"0020008803AABBCC", "VERIFY", 0, 0, 0, -1, false, EMV_PIN_ENCIPHERED, EMV_SELECT_NONE},
        {"00880000040123456700", "INTERNAL AUTHENTICATE", 0, 0, 0, -1, false, EMV_PIN_NONE,
         EMV_SELECT_NONE},
        {"04DA9F580501", "PUT DATA", 0, 0, 0x9F58, -1, false, EMV_PIN_NONE, EMV_SELECT_NONE},
        {"801E000008", "APPLICATION BLOCK", 0, 0, 0, -1, false, EMV_PIN_NONE, EMV_SELECT_NONE},
        {"8418000008", "APPLICATION UNBLOCK", 0, 0, 0, -1, false, EMV_PIN_NONE, EMV_SELECT_NONE},
        {"8416000008", "CARD BLOCK", 0, 0, 0, -1, false, EMV_PIN_NONE, EMV_SELECT_NONE},
        {"8424000008", "PIN CHANGE/UNBLOCK", 0, 0, 0, -1, false, EMV_PIN_NONE, EMV_SELECT_NONE},
        {"802A8E800400000001", "COMPUTE CRYPTOGRAPHIC CHECKSUM", 0, 0, 0, -1, false, EMV_PIN_NONE,
         EMV_SELECT_NONE},
        {"80EA000004DEADBEEF00", "EXCHANGE RELAY RESISTANCE DATA", 0, 0, 0, -1, false, EMV_PIN_NONE,
         EMV_SELECT_NONE},
        {"0084000008", "GET CHALLENGE", 0, 0, 0, -1, false, EMV_PIN_NONE, EMV_SELECT_NONE},
        {"0082000008", "EXTERNAL AUTHENTICATE", 0, 0, 0, -1, false, EMV_PIN_NONE, EMV_SELECT_NONE},
        {"00C000002E", "GET RESPONSE", 0, 0, 0, -1, false, EMV_PIN_NONE, EMV_SELECT_NONE},
        // A proprietary class where the command is interindustry, the
        // reader's own pseudo-class, a short header.
        {"80B2010C00", "UNKNOWN", 0, 0, 0, -1, false, EMV_PIN_NONE, EMV_SELECT_NONE},
        {"FFCA000000", "UNKNOWN", 0, 0, 0, -1, false, EMV_PIN_NONE, EMV_SELECT_NONE},
        {"00A4", "UNKNOWN", 0, 0, 0, -1, false, EMV_PIN_NONE, EMV_SELECT_NONE},
    };
    for (const CommandRow& r : rows) {
        const Bytes apdu = from_hex(r.apdu);
        EmvCommandInfo info;
        emv_decode_command(given(apdu), &info);
        EXPECT_STREQ(info.name, r.name) << r.apdu;
        EXPECT_EQ(info.sfi, r.sfi) << r.apdu;
        EXPECT_EQ(info.record, r.record) << r.apdu;
        EXPECT_EQ(info.tag, r.tag) << r.apdu;
        EXPECT_EQ(info.is_genac, r.cryptogram >= 0) << r.apdu;
        if (r.cryptogram >= 0) {
            EXPECT_EQ(info.cryptogram, r.cryptogram) << r.apdu;
        }
        EXPECT_EQ(info.cda, r.cda) << r.apdu;
        EXPECT_EQ(info.pin, r.pin) << r.apdu;
        EXPECT_EQ(info.select, r.select) << r.apdu;
    }
}

TEST(EmvDecode, CommandDataFollowsTheDolThatBuiltIt)
{
    const struct {
        const char* apdu;
        int genac_before;
        EmvDolKind kind;
    } rows[] = {
        {"80A8000002830000", 0, EMV_DOL_PDOL},    {"0088000004012345670000", 0, EMV_DOL_DDOL},
        {"80AE80000401020304", 0, EMV_DOL_CDOL1}, {"80AE40000401020304", 1, EMV_DOL_CDOL2},
        {"00B2010C00", 0, EMV_DOL_NONE},
    };
    for (const auto& r : rows) {
        const Bytes apdu = from_hex(r.apdu);
        EmvCommandInfo info;
        emv_decode_command(given(apdu), &info);
        EXPECT_EQ(emv_command_dol(&info, r.genac_before), r.kind) << r.apdu;
    }
}

TEST(EmvDecode, StatusWordsSayWhatHappened)
{
    const struct {
        uint16_t sw;
        const char* meaning;
    } rows[] = {
        {0x9000, "success"},
        {0x612E, "46 bytes of response data still available (GET RESPONSE)"},
        {0x6C08, "wrong Le: 8 bytes available (send the command again with Le)"},
        {0x63C2, "verification failed: 2 tries left"},
        {0x63C1, "verification failed: 1 try left"},
        {0x6283, "warning: selected file or application invalidated (blocked)"},
        {0x6700, "wrong length"},
        {0x6983, "authentication method blocked (PIN try limit exceeded)"},
        {0x6985, "conditions of use not satisfied"},
        {0x6A82, "file or application not found"},
        {0x6A83, "record not found"},
        {0x6A88, "referenced data (data objects) not found"},
        {0x6D00, "instruction code not supported or invalid"},
        {0x6E00, "class not supported"},
        {0x9F00, "unknown"},
    };
    for (const auto& r : rows) {
        char text[96];
        EXPECT_STREQ(emv_sw_meaning(r.sw, text, sizeof text), r.meaning) << std::hex << r.sw;
    }
    char small[8];
    emv_sw_meaning(0x6A82, small, sizeof small);
    EXPECT_EQ(strlen(small), 7u);  // cut, never past the buffer
}

TEST(EmvDecode, BitsAUserActsOn)
{
    const struct {
        uint32_t tag;
        int byte, bit;
        const char* meaning;
    } rows[] = {
        {0x82, 1, 7, "SDA supported"},
        {0x82, 1, 6, "DDA supported"},
        {0x82, 1, 1, "CDA supported"},
        {0x82, 1, 8, "RFU"},
        {0x95, 1, 8, "Offline data authentication was not performed"},
        {0x95, 1, 6, "ICC data missing"},
        {0x95, 1, 4, "DDA failed"},
        {0x95, 1, 3, "CDA failed"},
        {0x95, 2, 7, "Expired application"},
        {0x95, 3, 8, "Cardholder verification was not successful"},
        {0x95, 3, 6, "PIN Try Limit exceeded"},
        {0x95, 4, 8, "Transaction exceeds floor limit"},
        {0x95, 5, 7, "Issuer authentication failed"},
        {0x95, 1, 1, "RFU"},
        {0x9F0E, 1, 7, "SDA failed"},  // issuer action codes read as the TVR
        {0x9B, 1, 8, "Offline data authentication was performed"},
        {0x9B, 1, 7, "Cardholder verification was performed"},
        {0x9B, 2, 8, "RFU"},
        {0x9F07, 1, 2, "Valid at ATMs"},
        {0x9F07, 2, 7, "International cashback allowed"},
        {0x9F27, 1, 4, "Advice required"},
        {0x9F33, 2, 5, "CVM: enciphered PIN for offline verification"},
        {0x9F33, 3, 4, "Security: CDA"},
        {0x9F40, 1, 5, "Transaction type: cashback"},
        {0x9F40, 5, 1, "Code table 1"},
    };
    for (const auto& r : rows) {
        EXPECT_STREQ(emv_bit_meaning(r.tag, r.byte, r.bit), r.meaning)
            << std::hex << r.tag << " " << r.byte << "." << r.bit;
    }
    EXPECT_TRUE(emv_is_bit_field(0x9F0D));
    EXPECT_FALSE(emv_is_bit_field(0x9F34));
}

TEST(EmvDecode, CardholderVerificationRules)
{
    // 42 03: enciphered PIN online, apply next; 5E 03: signature, apply next.
    const EmvCvRule online = emv_cv_rule(0x42, 0x03);
    EXPECT_EQ(online.method, 0x02);
    EXPECT_TRUE(online.apply_next);
    EXPECT_STREQ(emv_cvm_method_name(online.method), "Enciphered PIN verified online");
    EXPECT_STREQ(emv_cvm_condition_name(online.condition), "If terminal supports the CVM");
    const EmvCvRule signature = emv_cv_rule(0x5E, 0x03);
    EXPECT_EQ(signature.method, 0x1E);
    EXPECT_STREQ(emv_cvm_method_name(0x1F), "No CVM required");
    EXPECT_STREQ(emv_cvm_method_name(0x3F), "No CVM performed");
    EXPECT_STREQ(emv_cvm_method_name(0x10), "RFU");
    EXPECT_STREQ(emv_cvm_condition_name(0x06),
                 "If transaction is in the application currency and is under X value");
    EXPECT_STREQ(emv_cvm_condition_name(0x0A), "RFU");
    EXPECT_STREQ(emv_cvm_result_name(0x02), "Successful");
    EXPECT_STREQ(emv_cvm_result_name(0x01), "Failed");
}

TEST(EmvDecode, TerminalAndTransactionTypes)
{
    char text[96];
    emv_terminal_type_text(0x22, text, sizeof text);
    EXPECT_STREQ(text, "Merchant, attended, offline with online capability");
    emv_terminal_type_text(0x14, text, sizeof text);
    EXPECT_STREQ(text, "Financial institution, unattended, online only");
    emv_terminal_type_text(0x31, text, sizeof text);  // a cardholder's terminal is unattended
    EXPECT_STREQ(text, "");
    EXPECT_STREQ(emv_transaction_type_name(0x09), "Purchase with cashback");
    EXPECT_EQ(emv_transaction_type_name(0x99), nullptr);
}

TEST(EmvDecode, CurrenciesAndCountriesByNumericCode)
{
    const uint8_t eur[] = {0x09, 0x78};
    EXPECT_EQ(emv_bcd_code({eur, 2}), 978);
    const uint8_t bad[] = {0x09, 0x7A};
    EXPECT_EQ(emv_bcd_code({bad, 2}), -1);
    const struct {
        uint16_t numeric;
        const char* alpha;
        int exponent;
    } currencies[] = {{978, "EUR", 2}, {840, "USD", 2}, {392, "JPY", 0}, {48, "BHD", 3},
                      {826, "GBP", 2}, {986, "BRL", 2}, {356, "INR", 2}};
    for (const auto& c : currencies) {
        const EmvCurrency* entry = emv_currency(c.numeric);
        ASSERT_NE(entry, nullptr) << c.numeric;
        EXPECT_STREQ(entry->alpha, c.alpha);
        EXPECT_EQ(entry->exponent, c.exponent) << c.alpha;
    }
    EXPECT_EQ(emv_currency(1), nullptr);
    const struct {
        uint16_t numeric;
        const char* alpha3;
    } countries[] = {{246, "FIN"}, {840, "USA"}, {826, "GBR"},
                     {276, "DEU"}, {4, "AFG"},   {894, "ZMB"}};
    for (const auto& c : countries) {
        const EmvCountry* entry = emv_country(c.numeric);
        ASSERT_NE(entry, nullptr) << c.numeric;
        EXPECT_STREQ(entry->alpha3, c.alpha3);
    }
    EXPECT_EQ(emv_country(999), nullptr);
}

}  // namespace
