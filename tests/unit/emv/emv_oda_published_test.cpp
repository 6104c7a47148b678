// ODA over the chains published in the test suites of open-source EMV
// projects (tests/data/emv_published_chains.txt names where): their CA keys,
// certificates, signed data, static data and DDOL data as published, placed
// in records and responses laid out here. The published static data ends with
// the AIP its 9F4A lists, so the records hold the rest and GET PROCESSING
// OPTIONS returns that AIP.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "emv/emv_oda.h"
#include "tests/emv_support/emv_card.h"
#include "tests/emv_support/published_chains.h"
#include "tests/unit/emv/emv_test_support.h"

namespace {

using namespace emv_test;
using emv_card::answer;
using emv_card::apdu;
using emv_card::tlv;
using emv_chain::PublishedChain;

PublishedChain chain(const char* name)
{
    return PublishedChain(TARVELLO_TEST_DATA "/emv_published_chains.txt", name);
}

Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

// A log of command / response pairs, read by the library as exchanges.
struct Log {
    std::vector<std::pair<Bytes, Bytes>> pairs;

    void add(const Bytes& command, const Bytes& response_data)
    {
        pairs.push_back({command, answer(response_data)});
    }
    void read_record(uint8_t sfi, uint8_t number, const Bytes& value)
    {
        add({0x00, 0xB2, number, static_cast<uint8_t>(sfi << 3 | 4), 0x00}, tlv(0x70, value));
    }
};

struct Outcome {
    EmvOdaCard card;
    EmvOdaResult result;
};

std::unique_ptr<Outcome> authenticate(const Log& log, const PublishedChain& c)
{
    std::vector<EmvExchange> exchanges;
    for (size_t i = 0; i < log.pairs.size(); ++i) {
        exchanges.push_back(
            {given(log.pairs[i].first), given(log.pairs[i].second), static_cast<int32_t>(i + 1)});
    }
    auto out = std::make_unique<Outcome>();
    EXPECT_TRUE(
        emv_oda_collect(exchanges.data(), static_cast<int32_t>(exchanges.size()), &out->card));
    EXPECT_EQ(to_hex(bytes(out->card.rid)), c.text("ca_rid"));
    EXPECT_EQ(to_hex(bytes(out->card.ca_index)), c.text("ca_index"));
    // The terminal's date: the one the GENERATE AC data carries.
    EmvDate date = {};
    EXPECT_TRUE(emv_oda_transaction_date(&out->card, &date));
    const Bytes ca = c.bytes("ca_modulus");
    const Bytes e = c.bytes("ca_exponent");
    const EmvCaKey key = {given(ca), given(e)};
    const EmvOdaOptions options = {date, nullptr, EMV_ODA_METHOD_NONE};
    emv_oda_authenticate(&out->card, &key, &options, &out->result);
    return out;
}

TEST(OdaPublished, SdaCardPasses)
{
    const PublishedChain c = chain("sda");
    const Bytes static_data = c.bytes("static_data");
    const Bytes aip(static_data.end() - 2, static_data.end());
    const Bytes aid = cat({c.bytes("ca_rid"), {0x10, 0x10}});
    Log log;
    log.add(apdu({0x00, 0xA4, 0x04, 0x00}, aid), tlv(0x6F, tlv(0x84, aid)));
    // SFI 1 record 1 takes part in ODA; SFI 2 records 1-2 do not.
    log.add(apdu({0x80, 0xA8, 0x00, 0x00}, tlv(0x83, {})),
            tlv(0x77, cat({tlv(0x82, aip), tlv(0x94, from_hex("0801010110010200"))})));
    log.read_record(1, 1, Bytes(static_data.begin(), static_data.end() - 2));
    log.read_record(
        2, 1,
        cat({tlv(0x8F, c.bytes("ca_index")), tlv(0x90, c.bytes("issuer_cert")),
             tlv(0x92, c.bytes("issuer_remainder")), tlv(0x9F32, c.bytes("issuer_exponent"))}));
    log.read_record(
        2, 2,
        cat({tlv(0x93, c.bytes("ssad")), tlv(0x9F4A, {0x82}), tlv(0x8C, from_hex("9A039F3704"))}));
    log.add(apdu({0x80, 0xAE, 0x40, 0x00}, from_hex("091130"
                                                    "01020304")),
            tlv(0x77, cat({tlv(0x9F27, {0x40}), tlv(0x9F36, {0x00, 0x01})})));

    const auto r = authenticate(log, c);
    EXPECT_EQ(to_hex(bytes(r->card.pan)), c.text("pan"));
    EXPECT_EQ(r->result.method, EMV_ODA_SDA);
    EXPECT_EQ(r->result.outcome, EMV_ODA_PASSED) << emv_oda_step_name(r->result.failed_step);
    EXPECT_EQ(to_hex(bytes(r->result.tvr, 5)), "0200000000");
    EXPECT_EQ(bytes(r->result.static_data, static_cast<size_t>(r->result.static_data_length)),
              static_data);
    EXPECT_EQ(modulus_of(r->result.issuer.key), c.bytes("issuer_key"));
}

TEST(OdaPublished, DdaCardPasses)
{
    const PublishedChain c = chain("dda");
    const Bytes static_data = c.bytes("static_data");
    const Bytes aip(static_data.end() - 2, static_data.end());
    // The records: the static data up to its 9F4A, then from it on.
    const Bytes records(static_data.begin(), static_data.end() - 2);
    const Bytes list = from_hex("9F4A0182");
    const auto split = std::search(records.begin(), records.end(), list.begin(), list.end());
    ASSERT_NE(split, records.end());
    const Bytes aid = cat({c.bytes("ca_rid"), {0x10, 0x10}});
    // The published CDOL1 places 9A at offset 21 of the GENERATE AC data.
    Bytes cdol1_data(43, 0x00);
    cdol1_data[21] = 0x15;
    cdol1_data[22] = 0x06;
    cdol1_data[23] = 0x01;

    Log log;
    log.add(apdu({0x00, 0xA4, 0x04, 0x00}, aid), tlv(0x6F, tlv(0x84, aid)));
    // Format 1: AIP | AFL (SFI 2 records 1-2 for ODA, SFI 3 records 1-2 not).
    log.add(apdu({0x80, 0xA8, 0x00, 0x00}, tlv(0x83, {})),
            tlv(0x80, cat({aip, from_hex("1001020218010200")})));
    log.read_record(2, 1, Bytes(records.begin(), split));
    log.read_record(2, 2, Bytes(split, records.end()));
    log.read_record(
        3, 1,
        cat({tlv(0x8F, c.bytes("ca_index")), tlv(0x90, c.bytes("issuer_cert")),
             tlv(0x92, c.bytes("issuer_remainder")), tlv(0x9F32, c.bytes("issuer_exponent"))}));
    log.read_record(3, 2,
                    cat({tlv(0x9F46, c.bytes("icc_cert")), tlv(0x9F47, c.bytes("icc_exponent")),
                         tlv(0x9F49, from_hex("9F3704"))}));
    log.add(apdu({0x00, 0x88, 0x00, 0x00}, c.bytes("dynamic_data")), tlv(0x80, c.bytes("sdad")));
    log.add(apdu({0x80, 0xAE, 0x80, 0x00}, cdol1_data),
            tlv(0x77, cat({tlv(0x9F27, {0x80}), tlv(0x9F36, {0x00, 0x01})})));

    const auto r = authenticate(log, c);
    EXPECT_EQ(r->card.date_source, EMV_DATE_CDOL1);
    // The AIP supports CDA too, but the GENERATE AC did not ask for it.
    EXPECT_EQ(r->result.method, EMV_ODA_DDA);
    EXPECT_EQ(r->result.outcome, EMV_ODA_PASSED) << emv_oda_step_name(r->result.failed_step);
    EXPECT_EQ(to_hex(bytes(r->result.tvr, 5)), "0000000000");
    EXPECT_EQ(modulus_of(r->result.icc.key), c.bytes("icc_key"));
}

}  // namespace
