// list and verify on the published keys of tests/data, and on a copy with
// one stored checksum changed.

#include <gtest/gtest.h>

#include "tests/cli/run_cli.h"

namespace {

const char kListFile[] = "capk_public.txt";
const char kChecksum09[] = "1FF80A40173F52D7D27E0F26A146A1C8CCB29046";

// The published list with the stored checksum of key A000000003_09 changed
// in its last digit.
std::string list_with_bad_checksum()
{
    std::string text = read_file(test_data(kListFile));
    const size_t at = text.find(kChecksum09);
    EXPECT_NE(at, std::string::npos);
    text[at + 39] = '7';
    return write_temp_file("bad_checksum.txt", text);
}

TEST(CliVerify, EveryPublishedKeyMatches)
{
    const CliRun run = run_cli({"verify", test_data(kListFile)});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = run.lines();
    // Each key OK, then a note on each: the form carries no expiry.
    ASSERT_EQ(lines.size(), 36u) << run.out;
    for (size_t i = 0; i < 17; ++i) {
        EXPECT_EQ(lines[i].substr(13), ": OK") << lines[i];
        EXPECT_NE(lines[17 + i].find(": expiry_unknown: the list gives no expiry"),
                  std::string::npos)
            << lines[17 + i];
    }
    EXPECT_EQ(lines[34], "Findings: 17 notes");
    EXPECT_EQ(lines[35], "Summary: 17 keys, 0 mismatches");
    EXPECT_EQ(run.err, "");

    const nlohmann::json doc = run_cli({"verify", "--json", test_data(kListFile)}).json();
    EXPECT_EQ(doc["count"], 17);
    EXPECT_EQ(doc["mismatches"], 0);
    ASSERT_EQ(doc["keys"].size(), 17u);
    for (const auto& key : doc["keys"]) {
        EXPECT_EQ(key["ok"], true) << key;
        EXPECT_EQ(key["computed"], key["checksum"]) << key;
    }
}

TEST(CliVerify, ChangedChecksumIsAMismatch)
{
    const std::string path = list_with_bad_checksum();
    const CliRun run = run_cli({"verify", path});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("A000000003_09: MISMATCH, stored 1FF80A40173F52D7D27E0F26A146A1C8CCB2"
                           "9047, computed 1FF80A40173F52D7D27E0F26A146A1C8CCB29046\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Summary: 17 keys, 1 mismatch\n"), std::string::npos) << run.out;

    const CliRun json_run = run_cli({"verify", "--json", path});
    EXPECT_EQ(json_run.status, 1);
    const nlohmann::json doc = json_run.json();
    EXPECT_EQ(doc["mismatches"], 1);
    int failed = 0;
    for (const auto& key : doc["keys"]) {
        if (key["ok"] == false) {
            ++failed;
            EXPECT_EQ(key["label"], "A000000003_09");
            EXPECT_EQ(key["computed"], kChecksum09);
        }
    }
    EXPECT_EQ(failed, 1);
}

TEST(CliVerify, FileWithoutKeysFails)
{
    const std::string path = write_temp_file("no_keys.txt", "A list without keys\n");
    const CliRun run = run_cli({"verify", path});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Summary: no key loaded\n");
}

TEST(CliList, EveryKeyWithItsFields)
{
    const CliRun run = run_cli({"list", "--json", test_data(kListFile)});
    EXPECT_EQ(run.status, 0) << run.err;
    const nlohmann::json doc = run.json();
    EXPECT_EQ(doc["count"], 17);
    ASSERT_EQ(doc["keys"].size(), 17u);
    const nlohmann::json& key = doc["keys"][1];
    EXPECT_EQ(key["label"], "A000000003_09");
    EXPECT_EQ(key["rid"], "A000000003");
    EXPECT_EQ(key["index"], "09");
    EXPECT_EQ(key["modulus_length"], 248);
    EXPECT_EQ(key["exponent"], 3);
    EXPECT_EQ(key["checksum"], kChecksum09);
    EXPECT_FALSE(key.contains("ok"));
    int e65537 = 0;
    for (const auto& k : doc["keys"])
        e65537 += k["exponent"] == 65537 ? 1 : 0;
    EXPECT_GT(e65537, 0);

    const CliRun text = run_cli({"list", test_data(kListFile)});
    EXPECT_EQ(text.lines().at(0), "Format: tarvello");
    EXPECT_EQ(text.lines().at(2), std::string("A000000003_09: RID A000000003, index 09, modulus "
                                              "length 248, exponent 3, checksum ") +
                                      kChecksum09 + ", expiry none, algorithms 01/01");
    EXPECT_EQ(text.lines().back(), "Count: 17");
}

TEST(CliChecksum, PublishedKeyGivesItsStoredChecksum)
{
    const nlohmann::json keys = run_cli({"list", "--json", test_data(kListFile)}).json();
    // The modulus is not in list's output: take it from the file itself.
    const std::string text = read_file(test_data(kListFile));
    const size_t at = text.find("MODULUS : \"", text.find("INDEX : \"09\"")) + 11;
    const std::string modulus = text.substr(at, text.find('"', at) - at);
    const CliRun run = run_cli({"checksum", "--json", "a000000003", "09", modulus, "3"});
    EXPECT_EQ(run.status, 0) << run.err;
    const nlohmann::json doc = run.json();
    EXPECT_EQ(doc["label"], "A000000003_09");
    EXPECT_EQ(doc["checksum"], keys["keys"][1]["checksum"]);
    EXPECT_EQ(doc["input"], "A00000000309" + modulus + "03");

    const CliRun e65537 = run_cli({"checksum", "A000000003", "F1", "C1 D2", "65537"});
    EXPECT_EQ(e65537.lines().at(1), "Checksum input: A000000003F1C1D2010001");
}

}  // namespace
