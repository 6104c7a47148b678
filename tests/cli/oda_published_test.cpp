// oda on the published whole transaction of tests/data (a DDA card, T=0):
// it passes as published; each option and each change below makes it fail
// at its own step with the TVR bits a terminal sets; its CAPK list is read
// strictly.

#include <algorithm>
#include <ctime>

#include <gtest/gtest.h>

#include "tests/cli/oda_trace_support.h"
#include "tests/cli/run_cli.h"

namespace {

using json = nlohmann::json;

// The published trace with from replaced by to in the line that starts with
// line_start (its marker included).
std::string changed(const std::string& line_start, const std::string& from, const std::string& to)
{
    std::string text = published_trace();
    const size_t line = text.find("\n" + line_start);
    const size_t at = text.find(from, line);
    EXPECT_TRUE(line != std::string::npos && at < text.find('\n', line + 1)) << from;
    return text.replace(at, from.size(), to);
}

std::string today_yymmdd()
{
    const time_t now = time(nullptr);
    char text[8];
    strftime(text, sizeof text, "%y%m%d", localtime(&now));
    return text;
}

TEST(CliOdaPublished, PassesAsPublished)
{
    const CliRun run = run_cli(oda_args(test_data("trace_emvpt_dda.txt")));
    ASSERT_EQ(run.status, 0) << run.err;
    const json doc = run.json();
    EXPECT_EQ(doc["aid"], "AFFFFFFFFF1234");
    EXPECT_EQ(doc["rid"], "AFFFFFFFFF");
    EXPECT_EQ(doc["ca_index"], "92");
    EXPECT_EQ(doc["pan"], "1234560012345608");
    EXPECT_EQ(doc["aip"], "3C00");
    EXPECT_EQ(doc["afl"].size(), 3u);
    EXPECT_EQ(doc["afl"][2], json({{"sfi", 3}, {"first", 1}, {"last", 2}, {"oda_records", 1}}));
    ASSERT_EQ(doc["records"].size(), 5u);
    EXPECT_EQ(doc["records"][3],
              json({{"sfi", 3}, {"record", 1}, {"oda", true}, {"in_afl", true}}));
    EXPECT_EQ(doc["records"][4]["oda"], false);
    // The one ODA record's value inside its 70 template, then the AIP that 9F4A lists.
    const std::string static_data = doc["static_data"];
    EXPECT_EQ(static_data.substr(0, 12), "5F2403181130");
    EXPECT_EQ(static_data.size(), 2u * (80 + 2));
    EXPECT_EQ(static_data.substr(static_data.size() - 12), "9F4A01823C00");
    EXPECT_EQ(doc["date"], "200724");
    EXPECT_EQ(doc["date_source"], "transaction");
    EXPECT_EQ(doc["method"], "DDA");
    EXPECT_EQ(doc["result"], "passed");
    EXPECT_TRUE(doc["failed_step"].is_null());
    EXPECT_EQ(doc["tvr"], "0000000000");
    EXPECT_TRUE(doc["missing"].empty());
    EXPECT_EQ(doc["issuer"]["valid"], true);
    for (const auto& check : doc["issuer"]["checks"].items())
        EXPECT_EQ(check.value(), true) << check.key();
    EXPECT_EQ(doc["issuer"]["checks"]["pan"], true);
    EXPECT_EQ(doc["icc"]["valid"], true);
    EXPECT_EQ(doc["icc"]["hash_ok"], true);
    EXPECT_EQ(doc["sdad"]["icc_dynamic_data"], "02002C");
    EXPECT_EQ(doc["sdad"]["hash_ok"], true);
    EXPECT_FALSE(doc.contains("ssad"));
    EXPECT_FALSE(doc.contains("cda"));
}

TEST(CliOdaPublished, TextEndsWithTheOutcome)
{
    std::vector<std::string> args = oda_args(test_data("trace_emvpt_dda.txt"));
    args.erase(args.begin() + 1);  // --json
    const CliRun run = run_cli(args);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = run.lines();
    ASSERT_GT(lines.size(), 20u);
    EXPECT_EQ(lines[0], "AID: AFFFFFFFFF1234");
    EXPECT_EQ(lines[4], "AIP: 3C00 (ODA methods supported: DDA)");
    const std::vector<std::string> outcome(lines.end() - 4, lines.end());
    EXPECT_EQ(outcome, (std::vector<std::string>{"Method: DDA", "Result: passed",
                                                 "Failed step: none", "TVR: 0000000000"}));
    EXPECT_NE(run.out.find("\nDate: 200724 (transaction)\n"), std::string::npos);
    EXPECT_NE(run.out.find("\nICC certificate:\n  Header: 6A\n  Format: 04\n"), std::string::npos);
    EXPECT_NE(run.out.find("\n  SFI 3 record 1: for ODA\n"), std::string::npos);
}

struct Outcome {
    const char* name;
    std::string trace;  // empty: the published file
    std::vector<std::string> more;
    int status;
    const char* method;
    const char* failed_step;  // "" for none
    const char* tvr;
    std::vector<std::string> missing;
};

TEST(CliOdaPublished, EachChangeFailsItsOwnStep)
{
    const Outcome cases[] = {
        {"expired ICC certificate (12/29) at the date given",
         "",
         {"--date", "300101"},
         1,
         "DDA",
         "icc",
         "0800000000",
         {}},
        {"SDA forced: no SSAD", "", {"--method", "sda"}, 1, "SDA", "ssad", "6200000000", {"93"}},
        {"CDA forced: no 9F4B", "", {"--method", "cda"}, 1, "CDA", "sdad", "2400000000", {"9F4B"}},
        {"a byte of the ODA record changed",
         changed("< 70 50 5F 24", "5F 28 02 02 46", "5F 28 02 02 47"),
         {},
         1,
         "DDA",
         "icc",
         "0800000000",
         {}},
        {"a byte of a record outside ODA changed",
         changed("< 70 4D 57 13", "4F 4B 33 31", "4F 4C 33 31"),
         {},
         0,
         "DDA",
         "",
         "0000000000",
         {}},
        {"a byte of the SDAD changed",
         changed("< 80 81 80 4E", "80 81 80 4E 82", "80 81 80 4E 83"),
         {},
         1,
         "DDA",
         "sdad",
         "0800000000",
         {}},
        {"other DDOL data in INTERNAL AUTHENTICATE",
         changed("> 00 88 00 00 04", "01 23 45 67", "01 23 45 68"),
         {},
         1,
         "DDA",
         "sdad",
         "0800000000",
         {}},
        {"no GENERATE AC: judged today",
         trace_before("# GENERATE AC"),
         {},
         0,
         "DDA",
         "",
         "0000000000",
         {}},
    };
    for (const Outcome& k : cases) {
        const std::string path = k.trace.empty() ? test_data("trace_emvpt_dda.txt")
                                                 : write_temp_file("changed.txt", k.trace);
        const CliRun run = run_cli(oda_args(path, k.more));
        EXPECT_EQ(run.status, k.status) << k.name << "\n" << run.err;
        const json doc = run.json();
        EXPECT_EQ(doc["method"], k.method) << k.name;
        EXPECT_EQ(doc["failed_step"], *k.failed_step ? json(k.failed_step) : json(nullptr))
            << k.name;
        EXPECT_EQ(doc["result"], k.status == 0 ? "passed" : "failed") << k.name;
        EXPECT_EQ(doc["tvr"], k.tvr) << k.name;
        EXPECT_EQ(doc["missing"], json(k.missing)) << k.name;
    }
}

TEST(CliOdaPublished, DateFromOptionTransactionOrToday)
{
    const std::string published = test_data("trace_emvpt_dda.txt");
    const json option = run_cli(oda_args(published, {"--date", "251231"})).json();
    EXPECT_EQ(option["date"], "251231");
    EXPECT_EQ(option["date_source"], "option");
    const json today =
        run_cli(oda_args(write_temp_file("no_genac.txt", trace_before("# GENERATE AC")))).json();
    EXPECT_EQ(today["date_source"], "today");
    EXPECT_EQ(today["date"], today_yymmdd());
}

TEST(CliOdaPublished, CaKeyNotInTheListFailsAtCaKey)
{
    const CliRun run = run_cli({"oda", "--json", "--capks", test_data("capk_public.txt"),
                                test_data("trace_emvpt_dda.txt")});
    EXPECT_EQ(run.status, 1) << run.err;
    const json doc = run.json();
    EXPECT_EQ(doc["failed_step"], "ca_key");
    // The method's own failed bit, not ICC data missing: the card named its key.
    EXPECT_EQ(doc["tvr"], "0800000000");
    EXPECT_FALSE(doc.contains("issuer"));
}

TEST(CliOdaPublished, CapkListReadStrictly)
{
    const std::string key_file = read_file(test_data("capk_emvpt_test.txt"));
    const size_t exponent = key_file.find("EXPONENT : 3\n");
    ASSERT_NE(exponent, std::string::npos);
    const int exponent_line =
        static_cast<int>(std::count(key_file.begin(), key_file.begin() + exponent, '\n')) + 1;

    // The card's own key damaged: never authenticated without it, exit 2.
    std::string damaged = key_file;
    damaged.insert(exponent + 12, "x");
    const std::string damaged_path = write_temp_file("damaged_key.txt", damaged);
    const CliRun refused =
        run_cli({"oda", "--capks", damaged_path, test_data("trace_emvpt_dda.txt")});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "tarvello-cli: --capks: " + damaged_path + ": line " +
                               std::to_string(exponent_line) +
                               ": the card's key AFFFFFFFFF_92: EXPONENT: other characters after "
                               "the number: '3x'\n");

    // Another key damaged: named, and the verdict stands.
    const std::string other = key_file + "\nRID : \"A000000003\"\nINDEX : \"08\"\n";
    const std::string other_path = write_temp_file("other_key.txt", other);
    const CliRun noted = run_cli({"oda", "--capks", other_path, test_data("trace_emvpt_dda.txt")});
    EXPECT_EQ(noted.status, 0) << noted.err;
    EXPECT_NE(noted.err.find("tarvello-cli: --capks: " + other_path + ": line "),
              std::string::npos);
    EXPECT_NE(noted.err.find("(not the card's key)\n"), std::string::npos) << noted.err;
}

// The card's key must be one the list vouches for: its stored checksum
// matches, and no other entry gives it another modulus.
TEST(CliOdaPublished, CardKeyWithAWrongChecksumOrGivenTwiceIsRefused)
{
    const std::string key_file = read_file(test_data("capk_emvpt_test.txt"));
    const size_t rid = key_file.find("RID : ");
    const size_t sum = key_file.find("CHECKSUM : \"") + 12;
    const size_t modulus = key_file.find("MODULUS : \"") + 11;
    ASSERT_NE(rid, std::string::npos);
    const int rid_line =
        static_cast<int>(std::count(key_file.begin(), key_file.begin() + rid, '\n')) + 1;
    std::string wrong_sum = key_file;
    wrong_sum[sum] = wrong_sum[sum] == '0' ? '1' : '0';
    std::string twice = key_file + "\n" + key_file.substr(rid);
    twice[key_file.size() + 1 + (modulus - rid)] ^= 1;  // the second copy's modulus
    const size_t second = twice.find("RID : ", key_file.size());
    const int second_line =
        static_cast<int>(std::count(twice.begin(), twice.begin() + second, '\n')) + 1;
    const struct {
        const char* name;
        std::string list;
        std::string message;
    } cases[] = {
        {"checksum", wrong_sum,
         ": line " + std::to_string(rid_line) +
             ": the card's key AFFFFFFFFF_92: checksum does not match the key\n"},
        {"twice", twice,
         ": lines " + std::to_string(rid_line) + " and " + std::to_string(second_line) +
             ": the card's key AFFFFFFFFF_92 is given twice with different keys\n"},
    };
    for (const auto& k : cases) {
        const std::string path = write_temp_file("card_key.txt", k.list);
        const CliRun run = run_cli({"oda", "--capks", path, test_data("trace_emvpt_dda.txt")});
        EXPECT_EQ(run.status, 2) << k.name;
        EXPECT_EQ(run.out, "") << k.name;
        EXPECT_EQ(run.err, "tarvello-cli: --capks: " + path + k.message) << k.name;
    }
    // A form that stores no checksum vouches for the key alone: it is used.
    const CliRun tsv = run_cli({"convert", test_data("capk_emvpt_test.txt"), "--to", "tsv"});
    ASSERT_EQ(tsv.status, 0) << tsv.err;
    std::string columns = tsv.out;  // NAME EXPONENT INDEX RID MODULUS BITS SHA1
    size_t fifth = 0;
    for (int tab = 0; tab < 5; ++tab)
        fifth = columns.find('\t', fifth + 1);
    ASSERT_NE(fifth, std::string::npos);
    columns.erase(fifth);
    const std::string path = write_temp_file("card_key.tsv", columns + "\n");
    const CliRun used = run_cli({"oda", "--capks", path, test_data("trace_emvpt_dda.txt")});
    EXPECT_EQ(used.status, 0) << used.err;
}

}  // namespace
