// Offline data authentication over logs made in the tests (tests/emv_support
// card builder, keys from the chain builder): SDA, DDA and CDA cards that
// pass in every log form, then each failure once with the step and TVR bits
// a terminal would report, and the collection's errors by line.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "emv/emv_oda.h"
#include "tests/emv_support/emv_card.h"
#include "tests/unit/emv/emv_oda_run.h"
#include "tests/unit/emv/emv_test_support.h"

namespace {

using namespace emv_test;
using emv_card::Card;
using emv_card::CardSpec;
using emv_card::Method;
using emv_card::replace;
using emv_card::spec;
using emv_card::with;

// --- Cards that pass ---------------------------------------------------------

struct PassCase {
    const char* name;
    CardSpec spec;
    const char* method;
    const char* tvr;
};

const PassCase kPassing[] = {
    {"sda", spec(Method::Sda), "SDA", "0200000000"},
    {"sda_gpo1_tag_list", spec(Method::Sda, 1, 2, true), "SDA", "0200000000"},
    {"sda_t0", spec(Method::Sda, 2, 2, false, true), "SDA", "0200000000"},
    {"dda", spec(Method::Dda), "DDA", "0000000000"},
    {"dda_gpo1_ia1", spec(Method::Dda, 1, 1), "DDA", "0000000000"},
    {"dda_t0_tag_list", spec(Method::Dda, 2, 1, true, true), "DDA", "0000000000"},
    {"cda", spec(Method::Cda), "CDA", "0000000000"},
    {"cda_gpo1_t0_tag_list", spec(Method::Cda, 1, 2, true, true), "CDA", "0000000000"},
    // SFI 11-30: the record is signed as read, whatever follows its template.
    {"dda_sfi11_record_with_trailing_bytes",
     with(spec(Method::Dda), [](CardSpec& s) { s.sfi11_record = from_hex("7003DF0100DF8101FF"); }),
     "DDA", "0000000000"},
};

void PrintTo(const PassCase& c, std::ostream* os)
{
    *os << c.name;
}

class OdaPasses : public ::testing::TestWithParam<PassCase> {};

TEST_P(OdaPasses, EveryStepPassesAndTheCardIsReadAsLogged)
{
    const PassCase& p = GetParam();
    const Card c = emv_card::make_card(p.spec);
    const auto r = run(c);
    const EmvOdaCard& card = r->card;
    const EmvOdaResult& res = r->result;
    ASSERT_TRUE(r->collected) << card.errors[0].kind << " at line " << card.errors[0].line;
    EXPECT_EQ(bytes(card.aid), c.aid);
    EXPECT_EQ(bytes(card.rid), c.rid);
    EXPECT_EQ(to_hex(bytes(card.pan)), "4761739001010119");
    EXPECT_EQ(bytes(card.afl), c.afl);
    EXPECT_EQ(bytes(card.aip, 2), c.aip);
    EXPECT_EQ(card.gpo_format, p.spec.gpo_format);
    EXPECT_EQ(bytes(card.pdol_data), c.pdol_data);
    EXPECT_EQ(bytes(card.cdol1_data), c.cdol1_data);
    // The directory record before the SELECT, the second read and the
    // second transaction do not count: five records, two for ODA.
    ASSERT_EQ(card.record_count, 5);
    std::string oda;
    for (int32_t i = 0; i < card.record_count; ++i) {
        const EmvOdaRecord& rec = card.records[i];
        oda += std::to_string(rec.sfi) + "." + std::to_string(rec.number) + (rec.oda ? "+ " : " ");
    }
    EXPECT_EQ(oda, "1.1+ 1.2 2.1 2.2 11.1+ ");
    EmvDate date = {};
    ASSERT_TRUE(emv_oda_transaction_date(&card, &date));
    EXPECT_EQ(card.date_source, EMV_DATE_CDOL1);
    EXPECT_EQ(date.year * 10000 + date.month * 100 + date.day, 20261209);

    EXPECT_EQ(method(res), p.method);
    EXPECT_EQ(res.outcome, EMV_ODA_PASSED);
    EXPECT_EQ(step(res), "none");
    EXPECT_EQ(to_hex(bytes(res.tvr, 5)), p.tvr);
    EXPECT_EQ(missing_text(res), "");
    EXPECT_EQ(bytes(res.static_data, static_cast<size_t>(res.static_data_length)), c.static_data);
    ASSERT_TRUE(res.issuer_made);
    EXPECT_EQ(failed(res.issuer.common.checks), "");
    EXPECT_EQ(not_made(res.issuer.common.checks), "dynamic_data_length");
    EXPECT_EQ(modulus_of(res.issuer.key), c.issuer->modulus);
    if (p.spec.method == Method::Sda) {
        ASSERT_TRUE(res.ssad_made);
        EXPECT_EQ(to_hex(bytes(res.ssad.data_authentication_code, 2)), "DAC0");
        EXPECT_FALSE(res.icc_made);
        return;
    }
    ASSERT_TRUE(res.icc_made && res.sdad_made);
    EXPECT_EQ(failed(res.icc.common.checks), "");
    EXPECT_EQ(not_made(res.icc.common.checks), "dynamic_data_length");
    EXPECT_EQ(modulus_of(res.icc.key), c.icc->modulus);
    EXPECT_EQ(failed(res.sdad.common.checks), "");
    EXPECT_EQ(res.cda_made, p.spec.method == Method::Cda);
    if (res.cda_made) {
        EXPECT_EQ(to_hex(bytes(res.cda.icc_dynamic_number, 8)), "B1B2B3B4B5B6B7B8");
        EXPECT_EQ(res.cda.cid, 0x40);
        EXPECT_EQ(to_hex(bytes(res.cda.application_cryptogram, 8)), "C1C2C3C4C5C6C7C8");
        EXPECT_EQ(to_hex(bytes(res.cda.unpredictable_number, 4)), "11223344");
        EXPECT_EQ(bytes(res.cda.computed_hash, 20), bytes(res.cda.transaction_data_hash, 20));
    }
}

INSTANTIATE_TEST_SUITE_P(Cards, OdaPasses, ::testing::ValuesIn(kPassing),
                         [](const ::testing::TestParamInfo<PassCase>& i) { return i.param.name; });

// --- Each failure once -------------------------------------------------------

struct FailCase {
    const char* name;
    CardSpec spec;
    std::function<void(Card&)> change;  // applied to the log
    EmvDate date;
    EmvOdaMethod force;
    const char* method;
    const char* failed_step;
    const char* tvr;
    const char* missing;
};

const std::function<void(Card&)> kNoChange = [](Card&) {};

const FailCase kFailing[] = {
    {"oda_record_byte", spec(Method::Sda),
     [](Card& c) { replace(c, "record 1 1", "9F0702FF00", "9F0702FF01"); }, kTransactionDate,
     EMV_ODA_METHOD_NONE, "SDA", "ssad", "4200000000", ""},
    {"non_oda_record_byte_still_passes", spec(Method::Dda),
     [](Card& c) { replace(c, "record 1 2", "434152442F", "434152442E"); }, kTransactionDate,
     EMV_ODA_METHOD_NONE, "DDA", "none", "0000000000", ""},
    {"unknown_ca_index", with(spec(Method::Dda), [](CardSpec& s) { s.ca_index = 0x93; }), kNoChange,
     kTransactionDate, EMV_ODA_METHOD_NONE, "DDA", "ca_key", "0800000000", ""},
    {"ca_index_missing", with(spec(Method::Cda), [](CardSpec& s) { s.with_ca_index = false; }),
     kNoChange, kTransactionDate, EMV_ODA_METHOD_NONE, "CDA", "ca_key", "2400000000", "8F"},
    {"expired_certificate",
     spec(Method::Cda),
     kNoChange,
     {2050, 1, 1},
     EMV_ODA_METHOD_NONE,
     "CDA",
     "issuer",
     "0400000000",
     ""},
    {"pan_mismatch", spec(Method::Sda),
     [](Card& c) { replace(c, "record 1 1", "5A084761", "5A084861"); }, kTransactionDate,
     EMV_ODA_METHOD_NONE, "SDA", "issuer", "4200000000", ""},
    {"wrong_ddol_data", spec(Method::Dda),
     [](Card& c) { c.log.at(c.at.at("ia")).command[5] ^= 0x01; }, kTransactionDate,
     EMV_ODA_METHOD_NONE, "DDA", "sdad", "0800000000", ""},
    {"cid_mismatch", with(spec(Method::Cda), [](CardSpec& s) { s.signed_cid = 0x80; }), kNoChange,
     kTransactionDate, EMV_ODA_METHOD_NONE, "CDA", "cda", "0400000000", ""},
    {"genac_response_byte", spec(Method::Cda),
     [](Card& c) { replace(c, "genac", "9F36020001", "9F36020002"); }, kTransactionDate,
     EMV_ODA_METHOD_NONE, "CDA", "cda", "0400000000", ""},
    {"tag_list_names_another_tag", spec(Method::Sda, 2, 2, true),
     [](Card& c) { replace(c, "record 1 1", "9F4A0182", "9F4A0195"); }, kTransactionDate,
     EMV_ODA_METHOD_NONE, "SDA", "static_data", "4200000000", ""},
    {"sfi1_record_not_70", spec(Method::Dda),
     [](Card& c) { c.log.at(c.at.at("record 1 1")).response[0] = 0x71; }, kTransactionDate,
     EMV_ODA_METHOD_NONE, "DDA", "static_data", "0800000000", ""},
    {"oda_record_not_read", spec(Method::Dda),
     [](Card& c) { c.log.erase(c.log.begin() + static_cast<long>(c.at.at("record 11 1"))); },
     kTransactionDate, EMV_ODA_METHOD_NONE, "DDA", "static_data", "2800000000", "SFI 11 record 1"},
    {"sda_forced_on_a_dda_card", spec(Method::Dda), kNoChange, kTransactionDate, EMV_ODA_SDA, "SDA",
     "ssad", "6200000000", "93"},
    {"cda_forced_without_cda_response", spec(Method::Dda), kNoChange, kTransactionDate, EMV_ODA_CDA,
     "CDA", "sdad", "2400000000", "9F4B"},
    {"cda_card_without_cda_request_takes_dda", spec(Method::Cda),
     [](Card& c) { c.log.at(c.at.at("genac")).command[2] = 0x40; }, kTransactionDate,
     EMV_ODA_METHOD_NONE, "DDA", "sdad", "2800000000", "9F4B"},
};

void PrintTo(const FailCase& c, std::ostream* os)
{
    *os << c.name;
}

class OdaFails : public ::testing::TestWithParam<FailCase> {};

TEST_P(OdaFails, NamesTheStepAndTheTvrBits)
{
    const FailCase& p = GetParam();
    Card c = emv_card::make_card(p.spec);
    p.change(c);
    const auto r = run(c, p.date, p.force);
    ASSERT_TRUE(r->collected);
    const EmvOdaResult& res = r->result;
    EXPECT_EQ(method(res), p.method);
    EXPECT_EQ(step(res), p.failed_step);
    EXPECT_EQ(res.outcome, std::string(p.failed_step) == "none" ? EMV_ODA_PASSED : EMV_ODA_FAILED);
    EXPECT_EQ(to_hex(bytes(res.tvr, 5)), p.tvr);
    EXPECT_EQ(missing_text(res), p.missing);
}

INSTANTIATE_TEST_SUITE_P(Cards, OdaFails, ::testing::ValuesIn(kFailing),
                         [](const ::testing::TestParamInfo<FailCase>& i) { return i.param.name; });

// The failing check itself, where a step has several.
TEST(OdaFailingCheck, IsTheOneThatWasBroken)
{
    Card expired = emv_card::make_card(spec(Method::Cda));
    EXPECT_EQ(failed(run(expired, {2050, 1, 1})->result.issuer.common.checks), "expiry");

    Card pan = emv_card::make_card(spec(Method::Sda));
    replace(pan, "record 1 1", "5A084761", "5A084861");
    EXPECT_EQ(failed(run(pan)->result.issuer.common.checks), "pan");

    Card ddol = emv_card::make_card(spec(Method::Dda));
    ddol.log.at(ddol.at.at("ia")).command[5] ^= 0x01;
    EXPECT_EQ(failed(run(ddol)->result.sdad.common.checks), "hash");

    const auto cid =
        run(emv_card::make_card(with(spec(Method::Cda), [](CardSpec& s) { s.signed_cid = 0x80; })));
    EXPECT_EQ(cid->result.cda.cid_check, EMV_CHECK_FAILED);
    EXPECT_EQ(cid->result.cda.transaction_data_hash_check, EMV_CHECK_PASSED);

    Card genac = emv_card::make_card(spec(Method::Cda));
    replace(genac, "genac", "9F36020001", "9F36020002");
    const auto hash = run(genac);
    EXPECT_EQ(hash->result.cda.cid_check, EMV_CHECK_PASSED);
    EXPECT_EQ(hash->result.cda.transaction_data_hash_check, EMV_CHECK_FAILED);
    EXPECT_EQ(failed(hash->result.sdad.common.checks), "");
}

TEST(OdaCaKey, TooShortForTheIssuerCertificateFailsAtTheCaKey)
{
    const Card c = emv_card::make_card(spec(Method::Dda));
    const std::vector<EmvExchange> log = exchanges_of(c);
    auto r = std::make_unique<OdaRun>();
    ASSERT_TRUE(emv_oda_collect(log.data(), static_cast<int32_t>(log.size()), &r->card));
    const Bytes short_modulus(c.ca->modulus.begin(), c.ca->modulus.begin() + 32);
    const EmvCaKey key = {given(short_modulus), given(c.ca->exponent)};
    const EmvOdaOptions options = {kTransactionDate, nullptr, EMV_ODA_METHOD_NONE};
    emv_oda_authenticate(&r->card, &key, &options, &r->result);
    EXPECT_EQ(r->result.issuer_status, EMV_RECOVER_SHORT_MODULUS);
    EXPECT_EQ(step(r->result), "ca_key");
    EXPECT_EQ(to_hex(bytes(r->result.tvr, 5)), "0800000000");
}

TEST(OdaNotPerformed, WhenTheAipSupportsNoMethod)
{
    Card c = emv_card::make_card(spec(Method::Sda));
    replace(c, "gpo", "82024000", "82020000");
    const auto r = run(c);
    EXPECT_EQ(r->result.outcome, EMV_ODA_NOT_PERFORMED);
    EXPECT_EQ(method(r->result), "none");
    EXPECT_EQ(to_hex(bytes(r->result.tvr, 5)), "8000000000");
    EXPECT_FALSE(r->result.issuer_made);
}

// --- What the log could not give --------------------------------------------

struct ErrorCase {
    const char* name;
    std::function<void(Card&)> change;
    EmvOdaErrorKind kind;
    const char* where;  // the exchange the error names
    EmvTlvError tlv;
};

const ErrorCase kErrors[] = {
    {"record_not_tlv",
     [](Card& c) { c.log.at(c.at.at("record 1 2")).response[1] = 0x7F; },
     EMV_ODA_ERROR_NOT_TLV,
     "record 1 2",
     {EMV_TLV_VALUE_CUT, 1}},
    {"gpo_not_a_response_template",
     [](Card& c) { c.log.at(c.at.at("gpo")).response[0] = 0x78; },
     EMV_ODA_ERROR_BAD_RESPONSE,
     "gpo",
     {EMV_TLV_OK, 0}},
    {"genac_without_status_word",
     [](Card& c) { c.log.at(c.at.at("genac")).response = {0x90}; },
     EMV_ODA_ERROR_SHORT_RESPONSE,
     "genac",
     {EMV_TLV_OK, 0}},
    {"gpo_command_length_wrong",
     [](Card& c) { c.log.at(c.at.at("gpo")).command[4] += 2; },
     EMV_ODA_ERROR_BAD_COMMAND,
     "gpo",
     {EMV_TLV_OK, 0}},
};

void PrintTo(const ErrorCase& c, std::ostream* os)
{
    *os << c.name;
}

class OdaCollectErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(OdaCollectErrors, NameTheExchangeLine)
{
    const ErrorCase& p = GetParam();
    Card c = emv_card::make_card(spec(Method::Dda));
    p.change(c);
    const std::vector<EmvExchange> log = exchanges_of(c);
    auto card = std::make_unique<EmvOdaCard>();
    EXPECT_FALSE(emv_oda_collect(log.data(), static_cast<int32_t>(log.size()), card.get()));
    ASSERT_EQ(card->error_count, 1);
    EXPECT_EQ(card->errors[0].kind, p.kind);
    EXPECT_EQ(card->errors[0].line, static_cast<int32_t>(2 * c.at.at(p.where) + 1));
    EXPECT_EQ(card->errors[0].tlv.status, p.tlv.status);
    EXPECT_EQ(card->errors[0].tlv.offset, p.tlv.offset);
}

INSTANTIATE_TEST_SUITE_P(Logs, OdaCollectErrors, ::testing::ValuesIn(kErrors),
                         [](const ::testing::TestParamInfo<ErrorCase>& i) { return i.param.name; });

TEST(OdaCollect, GetResponseAnsweredWith61AgainIsRefused)
{
    Card c = emv_card::make_card(spec(Method::Sda, 2, 2, false, true));
    // Under T=0 the GPO's answer is the GET RESPONSE right after 61XX.
    c.log.at(c.at.at("gpo")).response = {0x61, 0x10};
    const std::vector<EmvExchange> log = exchanges_of(c);
    auto card = std::make_unique<EmvOdaCard>();
    EXPECT_FALSE(emv_oda_collect(log.data(), static_cast<int32_t>(log.size()), card.get()));
    ASSERT_GE(card->error_count, 1);
    EXPECT_EQ(card->errors[0].kind, EMV_ODA_ERROR_CHAINED);
    EXPECT_EQ(card->errors[0].line, static_cast<int32_t>(2 * c.at.at("gpo") + 1));
}

TEST(OdaCollect, RecordsTheAflDoesNotListMakeRoomForThoseItDoes)
{
    Card c = emv_card::make_card(spec(Method::Sda));
    // Records of SFI 12 the AFL does not list fill the card's storage first.
    const auto after_gpo = c.log.begin() + static_cast<long>(c.at.at("gpo") + 1);
    std::vector<emv_card::Exchange> extra;
    for (int n = 1; n <= kEmvOdaMaxRecords; ++n) {
        extra.push_back({{0x00, 0xB2, static_cast<uint8_t>(n), 0x64, 0x00},
                         emv_card::answer(emv_card::tlv(0x70, {}))});
    }
    c.log.insert(after_gpo, extra.begin(), extra.end());
    const auto r = run(c);
    EXPECT_TRUE(r->collected);
    EXPECT_EQ(r->result.outcome, EMV_ODA_PASSED);
    EXPECT_EQ(r->card.record_count, kEmvOdaMaxRecords);
    EXPECT_EQ(r->card.records_not_kept, 5);  // one for each of the AFL's records
    const EmvOdaRecord& last = r->card.records[kEmvOdaMaxRecords - 1];
    EXPECT_EQ(last.sfi * 100 + last.number, 1101);
    EXPECT_TRUE(last.in_afl);
}

TEST(OdaCollect, DateFromThePdolDataWhenCdol1CarriesNone)
{
    Card c = emv_card::make_card(spec(Method::Sda));
    // 9A in CDOL1 becomes 9B (transaction status, 2 bytes): no date there.
    replace(c, "record 1 1", "9A039C01", "9B029C02");
    const auto r = run(c);
    EmvDate date = {};
    ASSERT_TRUE(emv_oda_transaction_date(&r->card, &date));
    EXPECT_EQ(r->card.date_source, EMV_DATE_PDOL);
    EXPECT_EQ(date.year * 10000 + date.month * 100 + date.day, 20261208);
}

}  // namespace
