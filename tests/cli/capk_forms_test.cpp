// list, verify and convert on real published lists in every form: the
// faults those lists really have, found with their lines; one list checked
// against another; convert refusing a broken list and writing a sound one.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>

#include "tests/cli/run_cli.h"

namespace {

const char kPm3[] = "capk_pm3_published.txt";
const char kTsv[] = "capk_tsv_published.txt";
const char kTlv[] = "capk_tlv_published.txt";

// "line finding" of every finding with the given key label.
std::set<std::string> findings_of(const nlohmann::json& doc, const std::string& key)
{
    std::set<std::string> found;
    for (const auto& f : doc["findings"])
        if (f["key"] == key)
            found.insert(std::to_string(f["line"].get<int>()) + " " +
                         f["finding"].get<std::string>());
    return found;
}

TEST(CliCapkForms, EveryPublishedListReadWhole)
{
    const struct {
        const char* file;
        const char* format;
        size_t keys;
    } lists[] = {{kPm3, "pm3", 32}, {kTsv, "tsv", 144}, {kTlv, "tlv", 17}};
    for (const auto& l : lists) {
        const CliRun run = run_cli({"list", "--json", test_data(l.file)});
        EXPECT_EQ(run.status, 0) << l.file << run.err;
        const nlohmann::json doc = run.json();
        EXPECT_EQ(doc["format"], l.format);
        EXPECT_EQ(doc["keys"].size(), l.keys) << l.file;
        EXPECT_TRUE(doc["problems"].empty()) << doc["problems"];
    }
}

TEST(CliCapkForms, TheFaultsOfThePublishedLists)
{
    const CliRun pm3 = run_cli({"verify", "--json", "--date", "261209", test_data(kPm3)});
    EXPECT_EQ(pm3.status, 1);
    const nlohmann::json p = pm3.json();
    // The second Mastercard 05 is the F8 key, its checksum made for index 05.
    EXPECT_EQ(
        findings_of(p, "A000000004_05"),
        (std::set<std::string>{"14 conflict", "18 conflict", "18 same_index_modulus",
                               "18 shared_modulus", "14 expiry_unknown", "18 expiry_unknown"}));
    EXPECT_EQ(
        findings_of(p, "A000000004_F8"),
        (std::set<std::string>{"25 same_index_modulus", "25 shared_modulus", "25 expiry_unknown"}));
    EXPECT_EQ(p["mismatches"], 0);
    EXPECT_EQ(findings_of(p, "A000000003_01"), (std::set<std::string>{"5 expired"}));

    const CliRun tsv = run_cli({"verify", "--json", test_data(kTsv)});
    EXPECT_EQ(tsv.status, 1);
    const nlohmann::json t = tsv.json();
    EXPECT_EQ(
        findings_of(t, "A000000004_06"),
        (std::set<std::string>{"100 conflict", "101 conflict", "101 modulus_too_long",
                               "101 modulus_even", "100 expiry_unknown", "101 expiry_unknown"}));
    EXPECT_EQ(findings_of(t, "A000000004_FC"),
              (std::set<std::string>{"85 checksum_mismatch", "85 exponent_not_allowed",
                                     "85 shared_modulus", "85 expiry_unknown"}));
    EXPECT_EQ(findings_of(t, "A000000004_00").count("87 conflict"), 1u);
    EXPECT_EQ(t["mismatches"], 3);

    const CliRun text = run_cli({"verify", test_data(kTsv)});
    EXPECT_NE(text.out.find("Line 101: A000000004_06 (MasterCard): modulus_too_long: 256 bytes, "
                            "at most 248\n"),
              std::string::npos);
}

TEST(CliCapkForms, VerifyAgainstAReference)
{
    // The terminal SDK's list checked against the hobby tool's.
    const CliRun run = run_cli(
        {"verify", "--json", "--date", "261209", test_data(kTlv), "--reference", test_data(kPm3)});
    EXPECT_EQ(run.status, 1) << run.err;
    const nlohmann::json doc = run.json();
    std::set<std::string> details;
    for (const auto& f : doc["findings"])
        if (f["key"] == "A000000004_05")
            details.insert(f["finding"].get<std::string>() + ": " + f["detail"].get<std::string>());
    EXPECT_EQ(details, (std::set<std::string>{
                           "differs_from_reference: the reference's A000000004_05 at line 18 "
                           "has another modulus"}));
    EXPECT_EQ(findings_of(doc, "A000000065_09"), (std::set<std::string>{"6 not_in_reference"}));
}

TEST(CliCapkForms, ConvertRefusesABrokenList)
{
    const std::string out = write_temp_file("refused.tlv", "");
    std::remove(out.c_str());
    const CliRun run = run_cli({"convert", test_data(kPm3), "--to", "tlv", "-o", out});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Line 18: A000000004_05: same_index_modulus: "), std::string::npos);
    EXPECT_NE(run.err.find("not converted"), std::string::npos);
    EXPECT_FALSE(std::ifstream(out).good());
}

TEST(CliCapkForms, ConvertWritesWhatReadsBack)
{
    // A key without a checksum gets the computed one, named on standard error.
    const std::string text = read_file(test_data(kTsv));
    std::string sound;
    for (const char* label : {"\tA1\tA000000025\t", "\t50\tA000000003\t", "\t07\tA000000003\t"}) {
        const size_t at = text.find(label);
        const size_t start = text.rfind('\n', at) + 1;
        sound += text.substr(start, text.find('\n', at) + 1 - start);
    }
    const std::string in = write_temp_file("sound.tsv", sound);
    const std::string out = write_temp_file("sound.pm3", "");
    const CliRun run = run_cli({"convert", in, "--to", "pm3", "-o", out});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("1 key without a stored checksum: the computed one written"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("A000000025_A1 (line 1): name 'AMEX': the pm3 form cannot hold it"),
              std::string::npos)
        << run.err;
    const nlohmann::json said =
        run_cli({"convert", "--json", in, "--to", "tlv", "-o", out + ".tlv"}).json();
    EXPECT_EQ(said["count"], 3);
    EXPECT_EQ(said["checksums_computed"], 1);
    const CliRun back = run_cli({"verify", out});
    EXPECT_EQ(back.status, 0) << back.out;
    EXPECT_NE(back.out.find("Findings: 3 notes\nSummary: 3 keys, 0 mismatches\n"),
              std::string::npos);
}

TEST(CliCapkForms, KeysOfEveryFormServeRsa)
{
    const std::string pm3 = write_temp_file("public.pm3", "");
    ASSERT_EQ(run_cli({"convert", test_data("capk_public.txt"), "--to", "pm3", "-o", pm3}).status,
              0);
    const std::string block(2 * 176, '1');
    const CliRun from_tarvello =
        run_cli({"rsa", "--capks", test_data("capk_public.txt"), "--key", "A000000003_08", block});
    const CliRun from_pm3 = run_cli({"rsa", "--capks", pm3, "--key", "A000000003_08", block});
    EXPECT_EQ(from_pm3.status, from_tarvello.status);
    EXPECT_EQ(from_pm3.out, from_tarvello.out);
    EXPECT_NE(from_pm3.out, "");
}

TEST(CliCapkForms, AFormThatCannotBeToldIsAnInputError)
{
    const std::string path = write_temp_file("what.txt", "A000000003 09 0123456789ABCDEF\n");
    const CliRun run = run_cli({"verify", path});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(path + ": cannot tell the list's format: expected one of: tarvello"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run_cli({"verify", "--format", "pm3", path}).status, 1);
}

}  // namespace
