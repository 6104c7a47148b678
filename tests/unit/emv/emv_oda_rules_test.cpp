// What a terminal reads and refuses while it reads the card, made into
// cards that a lax reading would pass (or fail): the PAN read whole, only
// the AFL's records, no object twice, whole response templates, the second
// GENERATE AC, the DDOL, records as read, the AFL required, a spare
// remainder, and T=0's 6CXX to a GET RESPONSE.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>

#include "tests/unit/emv/emv_oda_run.h"

namespace {

using namespace emv_test;
using emv_card::answer;
using emv_card::Card;
using emv_card::CardSpec;
using emv_card::Method;
using emv_card::replace;
using emv_card::spec;
using emv_card::tlv;
using emv_card::with;

Bytes cat(const Bytes& a, const Bytes& b)
{
    Bytes out = a;
    out.insert(out.end(), b.begin(), b.end());
    return out;
}

using Named = std::pair<const char*, EmvCheckResult>;

// The names of the checks with the result wanted, joined by blanks.
std::string names_of(std::initializer_list<Named> all, EmvCheckResult wanted)
{
    std::string out;
    for (const auto& [name, result] : all) {
        if (result == wanted)
            out += (out.empty() ? "" : " ") + std::string(name);
    }
    return out;
}

std::string dda_checks(const EmvDdaChecks& k, EmvCheckResult wanted)
{
    return names_of({{"response_template", k.response_template},
                     {"ddol_unpredictable_number", k.ddol_unpredictable_number},
                     {"ddol_data_length", k.ddol_data_length}},
                    wanted);
}

std::string cda_failed(const EmvCdaResult& k)
{
    return names_of({{"response_template", k.response_template},
                     {"layout", k.layout},
                     {"cid", k.cid_check},
                     {"transaction_data_hash", k.transaction_data_hash_check}},
                    EMV_CHECK_FAILED);
}

// Why the step failed, in the terms of its checks; for a card that passed,
// what was left unchecked or checked beyond the first GENERATE AC.
std::string why(const OdaRun& r)
{
    const EmvOdaResult& res = r.result;
    switch (res.failed_step) {
        case EMV_ODA_STEP_CA_KEY:
            return "missing " + missing_text(res);
        case EMV_ODA_STEP_ISSUER:
            return failed(res.issuer.common.checks);
        case EMV_ODA_STEP_STATIC_DATA:
            return emv_static_data_text(res.static_data_status);
        case EMV_ODA_STEP_SDAD:
            return failed(res.sdad.common.checks) + dda_checks(res.sdad_checks, EMV_CHECK_FAILED);
        case EMV_ODA_STEP_CDA:
            return cda_failed(res.cda) + (res.cda_second_made || res.sdad_second_made
                                              ? "; second: " + cda_failed(res.cda_second) +
                                                    failed(res.sdad_second.common.checks)
                                              : "");
        default:
            break;
    }
    const std::string unmade = dda_checks(res.sdad_checks, EMV_CHECK_NOT_MADE);
    if (res.method == EMV_ODA_DDA && !unmade.empty())
        return "not checked: " + unmade;
    return res.cda_second_made ? "second checked" : "";
}

void set_response(Card& c, const char* where, const Bytes& data)
{
    c.log.at(c.at.at(where)).response = answer(data);
}

Bytes gpo_template(const Card& c, const Bytes& more = {})
{
    return tlv(0x77, cat(cat(tlv(0x82, c.aip), tlv(0x94, c.afl)), more));
}

// The SDAD of INTERNAL AUTHENTICATE as the card signed it.
Bytes ia_signature(const Card& c)
{
    const Bytes& r = c.log.at(c.at.at("ia")).response;
    return Bytes(r.end() - 2 - static_cast<long>(c.icc->modulus.size()), r.end() - 2);
}

// A READ RECORD and its answer, put right after the GET PROCESSING OPTIONS.
void read_after_gpo(Card& c, uint8_t sfi, uint8_t number, const Bytes& data)
{
    const emv_card::Exchange e = {{0x00, 0xB2, number, static_cast<uint8_t>(sfi << 3 | 4), 0x00},
                                  answer(data)};
    c.log.insert(c.log.begin() + static_cast<long>(c.at.at("gpo") + 1), e);
    for (auto& [name, at] : c.at) {
        if (at > c.at.at("gpo"))
            ++at;
    }
}

// Under T=0 the GET RESPONSE after 61XX (where the builder's "gpo" points)
// is answered 6CXX and sent again.
void get_response_twice(Card& c)
{
    const size_t at = c.at.at("gpo");
    emv_card::Exchange again = c.log.at(at);
    const uint8_t length = again.command.back();
    c.log.at(at) = {{0x00, 0xC0, 0x00, 0x00, 0x00}, {0x6C, length}};
    c.log.insert(c.log.begin() + static_cast<long>(at + 1), again);
}

struct RuleCase {
    const char* name;
    CardSpec spec;
    std::function<void(Card&)> change;
    const char* method;
    const char* failed_step;
    const char* tvr;
    const char* why;
};

const std::function<void(Card&)> kAsMade = [](Card&) {};

const RuleCase kRules[] = {
    // The PAN read whole: a digit after the F padding.
    {"pan_digit_after_padding",
     with(spec(Method::Sda), [](CardSpec& s) { s.pan = "47617390010101F1"; }), kAsMade, "SDA",
     "issuer", "4200000000", "pan pan_form"},
    // Only the AFL's records.
    {"pan_in_a_record_outside_the_afl_is_not_used", spec(Method::Sda),
     [](Card& c) { read_after_gpo(c, 3, 1, tlv(0x70, tlv(0x5A, from_hex("5413330089020011")))); },
     "SDA", "none", "0200000000", ""},
    {"certificates_in_a_record_outside_the_afl", spec(Method::Dda),
     [](Card& c) { c.log.at(c.at.at("record 2 1")).command[3] = 3 << 3 | 4; }, "DDA", "ca_key",
     "2800000000", "missing 8F, 90, 9F32"},
    // No object twice among the GPO answer and the AFL's records.
    {"pan_in_two_records", spec(Method::Dda),
     [](Card& c) {
         replace(c, "record 1 2", "5F2009434152442F54455354", "5A0847617390010101190000");
     },
     "DDA", "static_data", "0800000000", "a data object returned twice"},
    {"ca_index_in_the_gpo_answer_and_a_record", spec(Method::Sda),
     [](Card& c) { set_response(c, "gpo", gpo_template(c, tlv(0x8F, {0x92}))); }, "SDA",
     "static_data", "4200000000", "a data object returned twice"},
    {"pan_twice_in_one_record", spec(Method::Sda),
     [](Card& c) { replace(c, "record 1 1", "9F0702FF00", "5A02476100"); }, "SDA", "static_data",
     "4200000000", "a data object returned twice"},
    // Whole response templates.
    {"object_after_the_gpo_template", spec(Method::Sda),
     [](Card& c) {
         set_response(c, "gpo", cat(gpo_template(c), tlv(0x9F36, {0x00, 0x01})));
     },
     "SDA", "static_data", "4200000000",
     "the GET PROCESSING OPTIONS answer is not one 77 template"},
    {"second_signature_in_the_ia_answer", spec(Method::Dda),
     [](Card& c) {
         const Bytes sdad = tlv(0x9F4B, ia_signature(c));
         set_response(c, "ia", tlv(0x77, cat(sdad, sdad)));
     },
     "DDA", "sdad", "0800000000", "response_template"},
    {"object_after_the_generate_ac_template", spec(Method::Cda),
     [](Card& c) {
         Bytes& r = c.log.at(c.at.at("genac")).response;
         r.insert(r.end() - 2, {0x9F, 0x36, 0x02, 0x00, 0x01});
     },
     "CDA", "cda", "0400000000", "response_template"},
    // The second GENERATE AC.
    {"second_generate_ac_signed", with(spec(Method::Cda), [](CardSpec& s) { s.second_ac = true; }),
     kAsMade, "CDA", "none", "0000000000", "second checked"},
    {"second_generate_ac_data_changed",
     with(spec(Method::Cda), [](CardSpec& s) { s.second_ac = true; }),
     [](Card& c) { replace(c, "genac2", "9F36020001", "9F36020002"); }, "CDA", "cda", "0400000000",
     "; second: transaction_data_hash"},
    // The DDOL.
    {"ddol_without_unpredictable_number",
     with(spec(Method::Dda), [](CardSpec& s) { s.ddol = "9F1A025F2A02"; }), kAsMade, "DDA", "sdad",
     "0800000000", "ddol_unpredictable_number"},
    {"ddol_longer_than_the_data_sent",
     with(spec(Method::Dda), [](CardSpec& s) { s.ddol = "9F3708"; }), kAsMade, "DDA", "sdad",
     "0800000000", "ddol_data_length"},
    {"no_ddol_leaves_its_checks_unmade", with(spec(Method::Dda), [](CardSpec& s) { s.ddol = ""; }),
     kAsMade, "DDA", "none", "0000000000",
     "not checked: ddol_unpredictable_number ddol_data_length"},
    // Records as read.
    {"bytes_after_the_template_signed_as_read",
     with(spec(Method::Sda),
          [](CardSpec& s) {
              s.sfi1_trailer = {0x00, 0x00};
          }),
     kAsMade, "SDA", "none", "0200000000", ""},
    {"sfi11_record_not_a_template",
     with(spec(Method::Dda), [](CardSpec& s) { s.sfi11_record = from_hex("DF8101FF"); }), kAsMade,
     "DDA", "static_data", "0800000000",
     "an ODA record does not start with a 70 template that fits it"},
    // An AFL is required.
    {"gpo_answer_without_afl", spec(Method::Sda),
     [](Card& c) { set_response(c, "gpo", tlv(0x77, tlv(0x82, c.aip))); }, "SDA", "static_data",
     "4200000000", "no AFL"},
    {"format_1_answer_aip_only", spec(Method::Dda, 1),
     [](Card& c) { set_response(c, "gpo", tlv(0x80, c.aip)); }, "DDA", "static_data", "0800000000",
     "no AFL"},
    // A remainder the issuer key does not need, hashed as returned.
    {"spare_issuer_remainder",
     with(spec(Method::Dda),
          [](CardSpec& s) {
              s.ca_bits = 1408;
              s.spare_remainder = {0xAA, 0xBB};
          }),
     kAsMade, "DDA", "none", "0000000000", ""},
    // T=0: 6CXX to the GET RESPONSE.
    {"t0_get_response_sent_again", spec(Method::Sda, 2, 2, false, true), get_response_twice, "SDA",
     "none", "0200000000", ""},
};

void PrintTo(const RuleCase& c, std::ostream* os)
{
    *os << c.name;
}

class OdaRules : public ::testing::TestWithParam<RuleCase> {};

TEST_P(OdaRules, DecideAsATerminalReadingTheCard)
{
    const RuleCase& p = GetParam();
    Card c = emv_card::make_card(p.spec);
    p.change(c);
    const auto r = run(c);
    ASSERT_TRUE(r->collected) << r->card.errors[0].kind << " at line " << r->card.errors[0].line;
    EXPECT_EQ(method(r->result), p.method);
    EXPECT_EQ(step(r->result), p.failed_step);
    EXPECT_EQ(to_hex(bytes(r->result.tvr, 5)), p.tvr);
    EXPECT_EQ(why(*r), p.why);
}

INSTANTIATE_TEST_SUITE_P(Cards, OdaRules, ::testing::ValuesIn(kRules),
                         [](const ::testing::TestParamInfo<RuleCase>& i) { return i.param.name; });

// The redundant object's places, and the records the AFL does not list.
TEST(OdaRulesDetail, PlacesAndRecordsAreKeptForTheReport)
{
    Card c = emv_card::make_card(spec(Method::Sda));
    replace(c, "record 1 2", "5F2009434152442F54455354", "5A0847617390010101190000");
    read_after_gpo(c, 3, 1, tlv(0x70, tlv(0x8F, {0x92})));
    const auto r = run(c);
    const EmvRedundantObject& red = r->card.redundant;
    EXPECT_EQ(red.tag, 0x5Au);
    EXPECT_EQ(red.first.source, EMV_SOURCE_RECORD);
    EXPECT_EQ(red.first.sfi * 100 + red.first.record, 101);
    EXPECT_EQ(red.second.sfi * 100 + red.second.record, 102);
    EXPECT_EQ(red.second.line, static_cast<int32_t>(2 * c.at.at("record 1 2") + 1));
    std::string listed;
    for (int32_t i = 0; i < r->card.record_count; ++i) {
        const EmvOdaRecord& rec = r->card.records[i];
        listed +=
            std::to_string(rec.sfi) + "." + std::to_string(rec.number) + (rec.in_afl ? " " : "- ");
    }
    EXPECT_EQ(listed, "3.1- 1.1 1.2 2.1 2.2 11.1 ");
}

}  // namespace
