// fDDA over contactless logs made in the tests (tests/emv_support): the
// card signs in its GET PROCESSING OPTIONS answer or a record, the PDOL
// places the terminal data in any order, and each failure stops at sdad
// with its own check and the reader's action from the CTQ.
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
using emv_card::fdda;
using emv_card::Method;

struct Run {
    EmvOdaCard card;
    EmvOdaResult result;
};

std::unique_ptr<Run> run(const Card& c, EmvOdaMethod force = EMV_ODA_METHOD_NONE)
{
    const std::vector<EmvExchange> log = exchanges_of(c);
    auto r = std::make_unique<Run>();
    EXPECT_TRUE(emv_oda_collect(log.data(), static_cast<int32_t>(log.size()), &r->card));
    const EmvCaKey key = {given(c.ca->modulus), given(c.ca->exponent)};
    const EmvOdaOptions options = {kTransactionDate, nullptr, force};
    emv_oda_authenticate(&r->card, &key, &options, &r->result);
    return r;
}

// fDDA's own checks and the SDAD's with the given result, by name.
std::string fdda_checks(const EmvOdaResult& r, EmvCheckResult which)
{
    const EmvFddaResult& f = r.fdda;
    const std::pair<const char*, EmvCheckResult> all[] = {
        {"hash", f.hash},
        {"format", f.format_check},
        {"version", f.version},
        {"card_data_length", f.card_data_length},
        {"dynamic_number_atc", f.dynamic_number_atc}};
    std::string names;
    for (const auto& [name, result] : all) {
        if (result == which) {
            names += (names.empty() ? "" : " ") + std::string(name);
        }
    }
    return names;
}

std::string or_none(const char* name)
{
    return name != nullptr ? name : "none";
}

// An extended GET PROCESSING OPTIONS: 80 E0, the 83 object then a BF60
// template the PDOL data leave out.
void extended_gpo(Card& c)
{
    Bytes& command = c.log.at(c.at.at("gpo")).command;
    const Bytes data(command.begin() + 5, command.end() - 1);
    Bytes extended = data;
    const Bytes bf60 = emv_card::tlv(0xBF60, emv_card::tlv(0xDF01, {0x01, 0x02}));
    extended.insert(extended.end(), bf60.begin(), bf60.end());
    command = emv_card::apdu({0x80, 0xE0, 0x00, 0x00}, extended);
}

// One row: the card (an fDDA card changed by spec, its CTQ), the log's
// change, the method forced, then what is expected.
struct FddaCase {
    const char* name;
    std::function<void(CardSpec&)> spec;
    const char* ctq;  // 9F6C in hex; "" for none
    std::function<void(Card&)> change;
    EmvOdaMethod force;
    const char* method;
    const char* failed_step;
    const char* failed_checks;  // of fDDA's own
    const char* missing;
    const char* action;
};

const auto kAsMade = [](Card&) {};
const auto kFddaCard = [](CardSpec&) {};
constexpr EmvOdaMethod kChosen = EMV_ODA_METHOD_NONE;

const FddaCase kCases[] = {
    // Cards that pass, whatever the CTQ says.
    {"format05_no_cid", kFddaCard, "", kAsMade, kChosen, "fDDA", "none", "", "", "none"},
    {"format05_tc", [](CardSpec& s) { s.gpo_cid = 0x40; }, "", kAsMade, kChosen, "fDDA", "none", "",
     "", "none"},
    {"format95_arqc", [](CardSpec& s) { s.gpo_cid = 0x80, s.fdda_format = 0x95; }, "2000", kAsMade,
     kChosen, "fDDA", "none", "", "", "none"},
    {"format95_aac", [](CardSpec& s) { s.gpo_cid = 0x00, s.fdda_format = 0x95; }, "", kAsMade,
     kChosen, "fDDA", "none", "", "", "none"},
    {"sdad_in_a_record", [](CardSpec& s) { s.sdad_in_record = true; }, "", kAsMade, kChosen, "fDDA",
     "none", "", "", "none"},
    {"card_data_8_bytes", [](CardSpec& s) { s.card_data_length = 8; }, "", kAsMade, kChosen, "fDDA",
     "none", "", "", "none"},
    {"card_data_16_bytes", [](CardSpec& s) { s.card_data_length = 16; }, "", kAsMade, kChosen,
     "fDDA", "none", "", "", "none"},
    {"pdol_reversed_amount_8_bytes", [](CardSpec& s) { s.pdol = "9F37045F2A029F02089F6604"; }, "",
     kAsMade, kChosen, "fDDA", "none", "", "", "none"},
    {"pdol_names_9F37_twice", [](CardSpec& s) { s.pdol = "9F37049F66049F02065F2A029F3704"; }, "",
     kAsMade, kChosen, "fDDA", "none", "", "", "none"},
    {"union_pay_8_bytes", [](CardSpec& s) { s.aid = "A000000333010101", s.card_data_length = 8; },
     "", kAsMade, kChosen, "fDDA", "none", "", "", "none"},
    {"extended_gpo", kFddaCard, "", extended_gpo, kChosen, "fDDA", "none", "", "", "none"},
    // Each failure once, with each CTQ action.
    {"amount_byte_changed", kFddaCard, "2000",
     [](Card& c) { c.log.at(c.at.at("gpo")).command[15] ^= 0x01; }, kChosen, "fDDA", "sdad", "hash",
     "", "online"},
    {"format05_with_an_arqc", [](CardSpec& s) { s.gpo_cid = 0x80; }, "1000", kAsMade, kChosen,
     "fDDA", "sdad", "format", "", "try another interface"},
    {"version_00", [](CardSpec& s) { s.fdda_version = 0x00; }, "0000", kAsMade, kChosen, "fDDA",
     "sdad", "version", "", "decline"},
    {"online_before_another_interface", [](CardSpec& s) { s.fdda_version = 0x00; }, "3000", kAsMade,
     kChosen, "fDDA", "sdad", "version", "", "online"},
    {"card_data_missing", [](CardSpec& s) { s.card_data_length = 0; }, "", kAsMade, kChosen, "fDDA",
     "sdad", "", "9F69", "none"},
    {"pdol_without_amount", [](CardSpec& s) { s.pdol = "9F66049F37045F2A02"; }, "2000", kAsMade,
     kChosen, "fDDA", "sdad", "", "9F02", "online"},
    {"dynamic_number_not_the_atc",
     [](CardSpec& s) {
         s.signed_dynamic_number = {0x00, 0x02};
     },
     "0000", kAsMade, kChosen, "fDDA", "sdad", "dynamic_number_atc", "", "decline"},
    {"union_pay_5_bytes", [](CardSpec& s) { s.aid = "A000000333010101"; }, "", kAsMade, kChosen,
     "fDDA", "sdad", "card_data_length", "", "none"},
    // The method: fDDA only where the AIP has DDA, unless forced.
    {"aip_without_dda", kFddaCard, "",
     [](Card& c) { emv_card::replace(c, "gpo", "82022000", "82020000"); }, kChosen, "none", "none",
     "", "", "none"},
    {"forced_on_a_dda_card", [](CardSpec& s) { s.method = Method::Dda; }, "", kAsMade, EMV_ODA_FDDA,
     "fDDA", "sdad", "", "9F4B, 9F69, 5F2A", "none"},
};

void PrintTo(const FddaCase& c, std::ostream* os)
{
    *os << c.name;
}

class Fdda : public ::testing::TestWithParam<FddaCase> {};

TEST_P(Fdda, StepChecksTvrAndFailureAction)
{
    const FddaCase& p = GetParam();
    const CardSpec spec = fdda([&](CardSpec& s) {
        p.spec(s);
        s.ctq = from_hex(p.ctq);
    });
    Card c = emv_card::make_card(spec);
    p.change(c);
    const auto r = run(c, p.force);
    const EmvOdaResult& res = r->result;
    EXPECT_EQ(or_none(emv_oda_method_name(res.method)), p.method);
    EXPECT_EQ(or_none(emv_oda_step_name(res.failed_step)), p.failed_step);
    EXPECT_EQ(fdda_checks(res, EMV_CHECK_FAILED), p.failed_checks);
    EXPECT_EQ(missing_text(res), p.missing);
    EXPECT_EQ(or_none(emv_fdda_action_name(res.fdda.failure_action)), p.action);
    // The contactless kernels set no ODA bit: the TVR says nothing of fDDA.
    EXPECT_EQ(to_hex(bytes(res.tvr, 5)),
              res.method == EMV_ODA_METHOD_NONE ? "8000000000" : "0000000000");
    if (std::string(p.failed_step) == "none" && res.method == EMV_ODA_FDDA) {
        EXPECT_EQ(res.outcome, EMV_ODA_PASSED);
        EXPECT_EQ(failed(res.sdad.common.checks), "");
        EXPECT_EQ(fdda_checks(res, EMV_CHECK_PASSED),
                  "hash format version card_data_length dynamic_number_atc");
        EXPECT_EQ(res.fdda.format, spec.fdda_format);
        EXPECT_EQ(to_hex(bytes(res.fdda.unpredictable_number)), "55667788");
        EXPECT_EQ(bytes(res.fdda.card_data), c.card_data);
    }
}

INSTANTIATE_TEST_SUITE_P(Cards, Fdda, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FddaCase>& i) { return i.param.name; });

}  // namespace
