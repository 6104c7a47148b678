// oda's diagnosis as a user reads it: the Diagnosis section that ends the
// text and diagnosis in JSON, on the published trace with a record changed
// (nothing matched) and on cards made in the tests signed the wrong way on
// purpose; the exit status stays that of the verdict.

#include <gtest/gtest.h>

#include "tests/cli/oda_trace_support.h"
#include "tests/cli/run_cli.h"
#include "tests/emv_support/emv_card.h"
#include "tests/support/capk_list.h"

namespace {

using emv_card::Card;
using emv_chain::Bytes;
using json = nlohmann::json;

// A list with `key` under A000000003 92 and, when given, `other` under 94.
std::string list_of(const emv_chain::TestKey& key, const emv_chain::TestKey* other = nullptr)
{
    const Bytes rid = {0xA0, 0x00, 0x00, 0x00, 0x03};
    std::string text = support::ListEntry({rid, 0x92, key.modulus, 3, {}});
    if (other != nullptr)
        text += support::ListEntry({rid, 0x94, other->modulus, 3, {}});
    return write_temp_file("diagnosis_capk.txt", text);
}

CliRun oda(const std::string& list, const std::string& trace, bool json_output)
{
    std::vector<std::string> args = {"oda", "--capks", list, "--date", "261209", trace};
    if (json_output)
        args.insert(args.begin() + 1, "--json");
    return run_cli(args);
}

std::string text_from(const std::string& out, const std::string& start)
{
    const size_t at = out.find(start);
    return at == std::string::npos ? "" : out.substr(at);
}

TEST(CliOdaDiagnosis, PublishedTraceWithAChangedRecordMatchesNothing)
{
    std::string text = published_trace();
    const size_t at = text.find("9F 07 02 FF 80");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 14, "9F 07 02 FF 00");
    const std::string trace = write_temp_file("diagnosis_published.txt", text);
    CliRun run = run_cli(oda_args(trace));
    ASSERT_EQ(run.status, 1) << run.err;
    const json d = run.json()["diagnosis"];
    EXPECT_EQ(d["step"], "icc");
    EXPECT_EQ(d["check"], "hash");
    EXPECT_GT(d["tried"].get<int>(), 10);
    EXPECT_EQ(d["cut"], false);
    EXPECT_TRUE(d["matches"].empty());
    std::vector<std::string> args = oda_args(trace);
    args.erase(args.begin() + 1);  // --json
    run = run_cli(args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(text_from(run.out, "Diagnosis:"),
              "Diagnosis:\n  Failed check: icc hash\n  Variants tried: " +
                  std::to_string(d["tried"].get<int>()) +
                  "\n  Nothing matched: the card signed other data than the trace holds (a "
                  "record changed after personalisation, a different card, a transmission "
                  "error)\n");
    // The HTML report tells it in the same words; as published the card
    // passes: no diagnosis anywhere.
    const std::string failed_html = testing::TempDir() + "diagnosis-failed.html";
    const std::string passed_html = testing::TempDir() + "diagnosis-passed.html";
    EXPECT_EQ(run_cli(oda_args(trace, {"--html", failed_html})).status, 1);
    EXPECT_NE(read_file(failed_html).find("Nothing matched: the card signed other data"),
              std::string::npos);
    run = run_cli(oda_args(test_data("trace_emvpt_dda.txt"), {"--html", passed_html}));
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.json()["diagnosis"].is_null());
    EXPECT_EQ(run.out.find("Diagnosis"), std::string::npos);
    EXPECT_EQ(read_file(passed_html).find("class=\"diagnosis\""), std::string::npos);
}

TEST(CliOdaDiagnosis, NamesTheRecordsAndCounts)
{
    const struct {
        bool counts;
        const char* variants;
        const char* afl;
        const char* sentence;
    } rows[] = {
        {false, R"(["records_with_template"])", nullptr,
         "  Match: the signed static data's hash matches the static data with SFI 1 record 1 "
         "taken whole, 70 tag and length included\n"},
        {true, R"(["records_with_template","oda_counts"])", "080102021001020058010101",
         "  Match: the signed static data's hash matches the static data with ODA record counts "
         "2, 0, 1 in the AFL's entries (AFL 080102021001020058010101) instead of 1, 0, 1 and SFI "
         "1 record 1, SFI 1 record 2 taken whole, 70 tag and length included\n"},
    };
    for (const auto& row : rows) {
        emv_card::CardSpec spec = emv_card::spec(emv_card::Method::Sda);
        const bool counts = row.counts;
        spec.signed_static = [counts](const emv_card::CardRecords& r) {
            Bytes data = r.sfi1_rec1;
            if (counts)
                data.insert(data.end(), r.sfi1_rec2.begin(), r.sfi1_rec2.end());
            data.insert(data.end(), r.sfi11_rec1.begin(), r.sfi11_rec1.end());
            return data;
        };
        const Card card = emv_card::make_card(spec);
        const std::string list = list_of(*card.ca);
        const std::string trace =
            write_temp_file("diagnosis_trace.txt", emv_card::trace_text(card));
        CliRun run = oda(list, trace, true);
        ASSERT_EQ(run.status, 1) << run.err;
        const json d = run.json()["diagnosis"];
        EXPECT_EQ(d["step"], "ssad");
        ASSERT_EQ(d["matches"].size(), 1u);
        EXPECT_EQ(d["matches"][0]["variants"], json::parse(row.variants));
        EXPECT_EQ(d["matches"][0].contains("afl"), row.afl != nullptr);
        if (row.afl != nullptr) {
            EXPECT_EQ(d["matches"][0]["afl"], row.afl);
        }
        run = oda(list, trace, false);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.out.find(row.sentence), std::string::npos) << run.out;
    }
}

TEST(CliOdaDiagnosis, NamesTheKeyThatOpensTheIssuerCertificate)
{
    const Card card = emv_card::make_card(emv_card::spec(emv_card::Method::Dda));
    const emv_chain::TestKey& wrong = emv_chain::test_key(1152, 3, 1);
    const std::string list = list_of(wrong, card.ca);
    const std::string trace = write_temp_file("diagnosis_trace.txt", emv_card::trace_text(card));
    CliRun run = oda(list, trace, true);
    ASSERT_EQ(run.status, 1) << run.err;
    const json doc = run.json();
    EXPECT_EQ(doc["failed_step"], "issuer");
    const std::string sentence =
        "the issuer certificate opens with CA key A000000003 94, not with the list's A000000003 92";
    const json match = {{"variants", {"other_ca_key"}},
                        {"description", sentence},
                        {"rid", "A000000003"},
                        {"index", "94"}};
    EXPECT_EQ(doc["diagnosis"], json({{"step", "issuer"},
                                      {"check", "recovery"},
                                      {"tried", 1},
                                      {"cut", false},
                                      {"matches", {match}}}));
    run = oda(list, trace, false);
    EXPECT_NE(run.out.find("  Match: the issuer certificate opens with CA key A000000003 94, not "
                           "with the list's A000000003 92\n"),
              std::string::npos)
        << run.out;
}

}  // namespace
