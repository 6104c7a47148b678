// oda on cards made in the tests (tests/emv_support card builder): an SDA, a
// DDA and a CDA card pass, with every step object in the JSON; each failure
// of the list below is reported through the program with its step, TVR
// bits, the failing check and exit status 1. A changed ODA record, other
// DDOL data, a CA key the list lacks and an expired certificate are rows of
// oda_published_test.cpp (these cards' certificates expire 12/49, past any
// date YYMMDD can give).

#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

#include "tests/cli/run_cli.h"
#include "tests/emv_support/emv_card.h"
#include "tests/support/capk_list.h"

namespace {

using emv_card::Card;
using emv_card::CardSpec;
using emv_card::Method;
using emv_card::replace;
using emv_card::spec;
using emv_card::with;
using emv_chain::Bytes;
using emv_chain::from_hex;
using emv_chain::to_hex;
using json = nlohmann::json;

// A list file holding only the card's CA key, as A000000003_92.
std::string list_of(const Card& card)
{
    const support::ListKey key = {
        card.rid, 0x92, card.ca->modulus, card.ca->exponent == Bytes{0x03} ? 3 : 65537, {}};
    return write_temp_file("made_capk.txt", support::ListEntry(key));
}

CliRun run_oda(const Card& card, const std::vector<std::string>& more = {})
{
    std::vector<std::string> args = {"oda", "--json", "--capks", list_of(card),
                                     write_temp_file("made_trace.txt", emv_card::trace_text(card))};
    args.insert(args.end(), more.begin(), more.end());
    return run_cli(args);
}

TEST(CliOdaMade, SdaDdaAndCdaCardsPass)
{
    const struct {
        CardSpec spec;
        const char* method;
        const char* tvr;
        std::vector<std::string> steps;
    } cases[] = {
        {spec(Method::Sda, 1, 2, true), "SDA", "0200000000", {"issuer", "ssad"}},
        {spec(Method::Dda, 2, 1, false, true), "DDA", "0000000000", {"issuer", "icc", "sdad"}},
        {spec(Method::Cda, 1, 2, true, true),
         "CDA",
         "0000000000",
         {"issuer", "icc", "sdad", "cda"}},
    };
    for (const auto& k : cases) {
        const Card card = emv_card::make_card(k.spec);
        const CliRun run = run_oda(card);
        ASSERT_EQ(run.status, 0) << k.method << "\n" << run.err;
        // The builder's log holds an unanswered command: named, and ignored.
        EXPECT_NE(run.err.find(": a command without a response, ignored\n"), std::string::npos);
        const json doc = run.json();
        EXPECT_EQ(doc["method"], k.method);
        EXPECT_EQ(doc["result"], "passed");
        EXPECT_EQ(doc["tvr"], k.tvr);
        EXPECT_EQ(doc["static_data"], to_hex(card.static_data));
        EXPECT_EQ(doc["aip"], to_hex(card.aip));
        EXPECT_EQ(doc["date"], "261209");
        EXPECT_EQ(doc["date_source"], "transaction");
        std::vector<std::string> steps;
        for (const char* key : {"issuer", "icc", "ssad", "sdad", "cda"}) {
            if (doc.contains(key))
                steps.push_back(key);
        }
        EXPECT_EQ(steps, k.steps) << k.method;
        EXPECT_EQ(doc["issuer"]["modulus"], to_hex(card.issuer->modulus));
        EXPECT_EQ(doc["issuer"]["valid"], true);
    }
}

TEST(CliOdaMade, CdaObjectShowsTheSignedDynamicData)
{
    const Card card = emv_card::make_card(spec(Method::Cda));
    const CliRun run = run_oda(card);
    ASSERT_EQ(run.status, 0) << run.err;
    const json cda = run.json()["cda"];
    EXPECT_EQ(cda["icc_dynamic_number"], "B1B2B3B4B5B6B7B8");
    EXPECT_EQ(cda["cid"], "40");
    EXPECT_EQ(cda["application_cryptogram"], "C1C2C3C4C5C6C7C8");
    EXPECT_EQ(cda["unpredictable_number"], to_hex(card.unpredictable_number));
    EXPECT_EQ(cda["transaction_data_hash"].get<std::string>().size(), 40u);
    EXPECT_EQ(cda["checks"],
              json({{"response_template", true}, {"cid", true}, {"transaction_data_hash", true}}));
    EXPECT_TRUE(run.json()["sdad_second"].is_null());
    EXPECT_TRUE(run.json()["cda_second"].is_null());
}

// What a terminal refuses while reading the card, as the report names it:
// the two places of a data object returned twice (the lines of their
// READ RECORDs), a second GENERATE AC's objects, the DDOL checks a card
// without 9F49 leaves unmade.
TEST(CliOdaMade, ReportNamesWhatATerminalRefuses)
{
    Card twice = emv_card::make_card(spec(Method::Dda));
    replace(twice, "record 1 2", "5F2009434152442F54455354", "5A0847617390010101190000");
    const std::string text = emv_card::trace_text(twice);
    const auto line_of = [&](const char* where) {
        const std::string command = "> " + to_hex(twice.log.at(twice.at.at(where)).command);
        size_t at = text.find(command, text.find(command) + 1);  // after the directory's
        if (std::string(where) != "record 1 1")
            at = text.find(command);
        return std::to_string(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n') +
                              1);
    };
    const json doc = run_oda(twice).json();
    EXPECT_EQ(doc["failed_step"], "static_data");
    EXPECT_EQ(doc["static_data_problem"],
              "a data object returned twice: 5A in SFI 1 record 1 (line " + line_of("record 1 1") +
                  ") and in SFI 1 record 2 (line " + line_of("record 1 2") + ")");

    const Card second =
        emv_card::make_card(with(spec(Method::Cda), [](CardSpec& s) { s.second_ac = true; }));
    const json cda = run_oda(second).json();
    EXPECT_EQ(cda["result"], "passed");
    EXPECT_EQ(cda["sdad_second"]["valid"], true);
    EXPECT_EQ(cda["cda_second"]["unpredictable_number"], "99887766");
    EXPECT_EQ(cda["cda_second"]["checks"]["transaction_data_hash"], true);

    const Card no_ddol =
        emv_card::make_card(with(spec(Method::Dda), [](CardSpec& s) { s.ddol = ""; }));
    const CliRun plain =
        run_cli({"oda", "--capks", list_of(no_ddol),
                 write_temp_file("made_trace.txt", emv_card::trace_text(no_ddol))});
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_NE(plain.out.find("  Check DDOL unpredictable number: not checked\n"), std::string::npos)
        << plain.out;
    EXPECT_NE(plain.out.find("The card has no DDOL (9F49)"), std::string::npos);
}

struct FailCase {
    const char* name;
    CardSpec spec;
    std::function<void(Card&)> change;
    std::vector<std::string> more;
    const char* failed_step;
    const char* tvr;
    std::vector<std::string> missing;
    // The failing check: "step.check" in the JSON (false), or "" for none.
    const char* check;
};

const std::function<void(Card&)> kNoChange = [](Card&) {};

TEST(CliOdaMade, EachFailureNamesItsStepAndTvrBits)
{
    const FailCase cases[] = {
        {"8F missing",
         with(spec(Method::Cda), [](CardSpec& s) { s.with_ca_index = false; }),
         kNoChange,
         {},
         "ca_key",
         "2400000000",
         {"8F"},
         ""},
        {"PAN mismatch",
         spec(Method::Sda),
         [](Card& c) { replace(c, "record 1 1", "5A084761", "5A084861"); },
         {},
         "issuer",
         "4200000000",
         {},
         "issuer.pan"},
        {"CID mismatch",
         with(spec(Method::Cda), [](CardSpec& s) { s.signed_cid = 0x80; }),
         kNoChange,
         {},
         "cda",
         "0400000000",
         {},
         "cda.cid"},
        {"a changed byte in the GENERATE AC response",
         spec(Method::Cda),
         [](Card& c) { replace(c, "genac", "9F36020001", "9F36020002"); },
         {},
         "cda",
         "0400000000",
         {},
         "cda.transaction_data_hash"},
        {"9F4A listing another tag",
         spec(Method::Sda, 2, 2, true),
         [](Card& c) { replace(c, "record 1 1", "9F4A0182", "9F4A0195"); },
         {},
         "static_data",
         "4200000000",
         {},
         ""},
        {"the INTERNAL AUTHENTICATE answer with a second 9F4B",
         spec(Method::Dda),
         [](Card& c) {
             Bytes& r = c.log.at(c.at.at("ia")).response;
             const long n = static_cast<long>(c.icc->modulus.size());
             const Bytes sdad = emv_card::tlv(0x9F4B, Bytes(r.end() - 2 - n, r.end() - 2));
             Bytes both = sdad;
             both.insert(both.end(), sdad.begin(), sdad.end());
             r = emv_card::answer(emv_card::tlv(0x77, both));
         },
         {},
         "sdad",
         "0800000000",
         {},
         "sdad.response_template"},
        {"a DDOL without the unpredictable number",
         with(spec(Method::Dda), [](CardSpec& s) { s.ddol = "9F1A025F2A02"; }),
         kNoChange,
         {},
         "sdad",
         "0800000000",
         {},
         "sdad.ddol_unpredictable_number"},
        {"an SFI 1-10 record not a 70 template",
         spec(Method::Dda),
         [](Card& c) { c.log.at(c.at.at("record 1 1")).response[0] = 0x71; },
         {},
         "static_data",
         "0800000000",
         {},
         ""},
    };
    for (const FailCase& k : cases) {
        Card card = emv_card::make_card(k.spec);
        k.change(card);
        const CliRun run = run_oda(card, k.more);
        EXPECT_EQ(run.status, 1) << k.name << "\n" << run.err;
        const json doc = run.json();
        EXPECT_EQ(doc["result"], "failed") << k.name;
        EXPECT_EQ(doc["failed_step"], k.failed_step) << k.name;
        EXPECT_EQ(doc["tvr"], k.tvr) << k.name;
        EXPECT_EQ(doc["missing"], json(k.missing)) << k.name;
        const std::string check = k.check;
        if (!check.empty()) {
            const std::string step = check.substr(0, check.find('.'));
            const std::string name = check.substr(check.find('.') + 1);
            EXPECT_EQ(doc[step]["checks"][name], false) << k.name;
        }
        if (std::string(k.failed_step) == "static_data") {
            EXPECT_TRUE(doc["static_data"].is_null()) << k.name;
            EXPECT_TRUE(doc["static_data_problem"].is_string()) << k.name;
        }
    }
}

}  // namespace
