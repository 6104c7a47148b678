// oda on contactless cards that authenticate by fDDA: the published Visa
// test card's transaction (tests/data/trace_visa_fdda.txt) passes at the
// date its source gives, and fails at sdad when a signed byte changes;
// cards made in the tests show the reader's action on failure in JSON and
// text; tlv decodes the qualifiers bit by bit.

#include <gtest/gtest.h>

#include "tests/cli/run_cli.h"
#include "tests/emv_support/emv_card.h"
#include "tests/support/capk_list.h"

namespace {

using emv_card::Card;
using emv_card::CardSpec;
using emv_card::fdda;
using emv_chain::Bytes;
using emv_chain::to_hex;
using json = nlohmann::json;

std::vector<std::string> visa_args(const std::string& trace, std::vector<std::string> more = {})
{
    std::vector<std::string> args = {"oda",    "--json", "--capks", test_data("capk_public.txt"),
                                     "--date", "190819", trace};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

std::string visa_trace()
{
    return read_file(test_data("trace_visa_fdda.txt"));
}

TEST(CliOdaFdda, PublishedVisaCardPasses)
{
    const CliRun run = run_cli(visa_args(test_data("trace_visa_fdda.txt")));
    ASSERT_EQ(run.status, 0) << run.err;
    const json doc = run.json();
    EXPECT_EQ(doc["method"], "fDDA");
    EXPECT_EQ(doc["result"], "passed");
    EXPECT_EQ(doc["tvr"], "0000000000");
    EXPECT_EQ(doc["static_data"], "5A0847617390010100105F24031912315F340101");
    EXPECT_EQ(doc["sdad"]["icc_dynamic_data"], "020015");
    EXPECT_EQ(doc["sdad"]["valid"], true);
    EXPECT_EQ(doc["fdda"], json({{"unpredictable_number", "ABABABAB"},
                                 {"amount", "000000000200"},
                                 {"currency", "0840"},
                                 {"card_authentication_data", "0169C16C99"},
                                 {"ctq", "0000"},
                                 {"version", "01"},
                                 {"format", "05"},
                                 {"checks",
                                  {{"hash", true},
                                   {"format", true},
                                   {"version", true},
                                   {"card_data_length", true},
                                   {"dynamic_number_atc", true}}},
                                 {"failure_action", nullptr}}));
}

TEST(CliOdaFdda, PublishedVisaCardChangedOrForced)
{
    // The amount the card signed, changed in the GET PROCESSING OPTIONS data.
    std::string text = visa_trace();
    const std::string amount = "00 00 00 00 02 00 08 40 AB";
    ASSERT_NE(text.find(amount), std::string::npos);
    text.replace(text.find(amount), amount.size(), "00 00 00 00 03 00 08 40 AB");
    const CliRun changed = run_cli(visa_args(write_temp_file("fdda_changed.txt", text)));
    EXPECT_EQ(changed.status, 1) << changed.err;
    const json doc = changed.json();
    EXPECT_EQ(doc["failed_step"], "sdad");
    EXPECT_EQ(doc["tvr"], "0000000000");
    EXPECT_EQ(doc["fdda"]["checks"]["hash"], false);
    EXPECT_EQ(doc["fdda"]["failure_action"], "decline");  // CTQ 0000

    // DDA forced: no INTERNAL AUTHENTICATE, so its 9F4B is missing.
    const CliRun dda = run_cli(visa_args(test_data("trace_visa_fdda.txt"), {"--method", "dda"}));
    EXPECT_EQ(dda.status, 1);
    EXPECT_EQ(dda.json()["method"], "DDA");
    EXPECT_EQ(dda.json()["tvr"], "2800000000");
    EXPECT_FALSE(dda.json().contains("fdda"));
}

CliRun run_made(const Card& card, bool as_json)
{
    const support::ListKey key = {card.rid, 0x92, card.ca->modulus, 3, {}};
    std::vector<std::string> args = {"oda", "--capks",
                                     write_temp_file("fdda_capk.txt", support::ListEntry(key)),
                                     write_temp_file("fdda_trace.txt", emv_card::trace_text(card))};
    if (as_json)
        args.insert(args.begin() + 1, "--json");
    return run_cli(args);
}

TEST(CliOdaFdda, MadeCardsShowTheReadersActionOnFailure)
{
    const struct {
        const char* name;
        CardSpec spec;
        int status;
        json action;
        const char* text;  // the last line of the text output
    } cases[] = {
        {"ARQC signed with 95", fdda([](CardSpec& s) {
             s.gpo_cid = 0x80, s.fdda_format = 0x95, s.ctq = {0x20, 0x00};
         }),
         0, nullptr, "TVR: 0000000000"},
        {"go online", fdda([](CardSpec& s) {
             s.fdda_version = 0x02, s.ctq = {0x20, 0x00};
         }),
         1, "online", "On failure: online"},
        {"no CTQ", fdda([](CardSpec& s) { s.fdda_version = 0x02; }), 1, nullptr,
         "On failure: decline (the card returns no CTQ 9F6C: the default)"},
    };
    for (const auto& k : cases) {
        const Card card = emv_card::make_card(k.spec);
        const CliRun run = run_made(card, true);
        EXPECT_EQ(run.status, k.status) << k.name << "\n" << run.err;
        EXPECT_EQ(run.json()["fdda"]["failure_action"], k.action) << k.name;
        // The sdad step is valid only when fDDA's own checks pass too.
        EXPECT_EQ(run.json()["sdad"]["valid"], k.status == 0) << k.name;
        const CliRun text = run_made(card, false);
        ASSERT_FALSE(text.lines().empty()) << k.name;
        EXPECT_EQ(text.lines().back(), k.text) << k.name;
        EXPECT_NE(text.out.find("\n  Card authentication data: " + to_hex(card.card_data) +
                                "\n    version "),
                  std::string::npos)
            << k.name;
    }
}

TEST(CliTlvQualifiers, DecodedBitByBit)
{
    const CliRun run = run_cli({"tlv", "9F6604B60040009F6C0230009F69070169C16C990000"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = run.lines();
    ASSERT_EQ(lines.size(), 15u) << run.out;
    EXPECT_EQ(lines[1], "  byte 1 bit 8: magnetic stripe mode supported");
    EXPECT_EQ(lines[6], "  byte 3 bit 7: consumer device CVM supported");
    EXPECT_EQ(lines[9], "  byte 1 bit 5: switch interface if offline data authentication fails");
    const std::vector<std::string> card_data(lines.begin() + 11, lines.end());
    EXPECT_EQ(card_data,
              (std::vector<std::string>{"  version 01", "  card unpredictable number 69C16C99",
                                        "  CTQ 0000", "    no bit set"}));
}

}  // namespace
