// Exit 0 only for what was verified whole: each situation in which the
// program once answered 0 ("verified") after verifying nothing, or only part
// of its input, with the status and message it gives now.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "tests/cli/run_cli.h"
#include "tests/emv_support/emv_chain.h"
#include "tests/support/capk_list.h"
#include "tests/support/oracles.h"

namespace {

using emv_chain::Bytes;
using emv_chain::to_hex;

// A list of count keys; key number wrong (1-based, 0 for none) has a stored
// checksum that does not match.
std::string list_of(int count, int wrong)
{
    std::string text;
    for (int i = 1; i <= count; ++i) {
        support::ListKey key = {{0xA0, 0, 0, 0x09, static_cast<uint8_t>(i >> 8)},
                                static_cast<uint8_t>(i),
                                Bytes(16, 0xC1),
                                3,
                                {}};
        if (i == wrong)
            key.checksum = Bytes(20, 0x00);
        text += support::ListEntry(key);
    }
    return text;
}

// The published list with its first occurrence of from replaced by to.
std::string published_with(const std::string& from, const std::string& to)
{
    std::string text = read_file(test_data("capk_public.txt"));
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

std::string first_modulus_line()
{
    const std::string text = read_file(test_data("capk_public.txt"));
    const size_t at = text.find("MODULUS : \"");
    return text.substr(at, text.find('\n', at) - at);
}

// Issuer key longer than the CA key, or ICC key longer than the issuer key:
// chains laid out and signed in the test, valid in every other way.
const emv_chain::Chain& long_issuer_chain()
{
    static const emv_chain::Chain c = emv_chain::make_chain(1152, 3, 1408, 3, 1024, 3);
    return c;
}

const emv_chain::Chain& long_icc_chain()
{
    static const emv_chain::Chain c = emv_chain::make_chain(1152, 3, 1024, 3, 1152, 3);
    return c;
}

std::vector<std::string> issuer_args(const emv_chain::Chain& c)
{
    return {"recover",       "issuer",
            "--ca-modulus",  to_hex(c.ca->modulus),
            "--ca-exponent", "03",
            "--cert",        to_hex(c.issuer_cert_signed),
            "--remainder",   to_hex(c.issuer_cert.remainder),
            "--exponent",    "3",
            "--date",        "261209"};
}

std::vector<std::string> icc_args(const emv_chain::Chain& c)
{
    return {"recover",
            "icc",
            "--issuer-modulus",
            to_hex(c.issuer->modulus),
            "--issuer-exponent",
            "3",
            "--cert",
            to_hex(c.icc_cert_signed),
            "--remainder",
            to_hex(c.icc_cert.remainder),
            "--exponent",
            "03",
            "--date",
            "261209"};
}

// Signed dynamic data whose recovered hash is twenty zero bytes.
std::vector<std::string> zero_hash_sdad_args()
{
    const emv_chain::Chain& c = long_icc_chain();
    Bytes block = emv_chain::sdad_block(c.icc->modulus.size(), {0x01, 0x02}, {0x11});
    std::fill(block.end() - 21, block.end() - 1, 0x00);
    return {"recover",        "sdad", "--icc-modulus", to_hex(c.icc->modulus),
            "--icc-exponent", "3",    "--sdad",        to_hex(emv_chain::sign(*c.icc, block))};
}

struct WhyCase {
    const char* name;
    std::function<std::vector<std::string>()> args;
    int status;
    const char* out;  // a line standard output must hold ("" for none)
    const char* err;  // standard error, whole ("" for nothing)
};

const WhyCase kWhy[] = {
    {"10,000 keys, key 5,001 with a wrong checksum",
     [] {
         return std::vector<std::string>{"verify",
                                         write_temp_file("many.txt", list_of(10000, 5001))};
     },
     1, "Summary: 10000 keys, 1 mismatch", ""},
    {"a 19-byte checksum",
     [] {
         return std::vector<std::string>{
             "verify",
             write_temp_file(
                 "c19.txt",
                 published_with("CHECKSUM : \"20D213126955DE205ADC2FD2822BD22DE21CF9A8\"",
                                "CHECKSUM : \"20D213126955DE205ADC2FD2822BD22DE21CF9\""))};
     },
     1, "Line 10: A000000003_08: CHECKSUM: has 19 bytes, must be 20", ""},
    {"EXPONENT : 2",
     [] {
         return std::vector<std::string>{
             "verify", write_temp_file("e2.txt", published_with("EXPONENT : 3", "EXPONENT : 2"))};
     },
     1, "Line 9: A000000003_08: EXPONENT: '2' is not 3 or 65537", ""},
    {"EXPONENT : 3x",
     [] {
         return std::vector<std::string>{
             "verify", write_temp_file("e3x.txt", published_with("EXPONENT : 3", "EXPONENT : 3x"))};
     },
     1, "Summary: 16 keys, 0 mismatches, 1 damaged entry", ""},
    {"a G in a modulus: list",
     [] {
         const std::string line = first_modulus_line();
         return std::vector<std::string>{
             "list", write_temp_file("g.txt", published_with(line, line.substr(0, 15) + "G" +
                                                                       line.substr(16)))};
     },
     1, "Line 8: A000000003_08: MODULUS: not a hex digit: 'G' at column 16", ""},
    {"a G in a modulus: rsa --key",
     [] {
         const std::string line = first_modulus_line();
         const std::string path = write_temp_file(
             "g.txt", published_with(line, line.substr(0, 15) + "G" + line.substr(16)));
         return std::vector<std::string>{"rsa",   "--capks",       path,
                                         "--key", "A000000003_08", std::string(352, '0')};
     },
     2, "", "key A000000003_08 at line 8 of"},
    {"recover sdad without --dynamic-data, hash of zeros", zero_hash_sdad_args, 3,
     "Valid: not determined (hash not checked: no --dynamic-data given)", ""},
    {"recover icc without --static-data", [] { return icc_args(long_issuer_chain()); }, 3,
     "Valid: not determined (hash not checked: no --static-data given)", ""},
    {"a 176-byte issuer key under a 144-byte CA key",
     [] { return issuer_args(long_issuer_chain()); }, 1, "Check key length: FAILED", ""},
    {"an ICC key longer than its issuer key", [] { return icc_args(long_icc_chain()); }, 1,
     "Check key length: FAILED", ""},
    {"verify > /dev/full", nullptr, 2, "",
     "tarvello-cli: standard output: No space left on device\n"},
    {"list /tmp",
     [] {
         return std::vector<std::string>{"list", "/tmp"};
     },
     2, "", "tarvello-cli: /tmp: Is a directory\n"},
};

TEST(CliVerdicts, NothingPassesThatWasNotVerifiedWhole)
{
    for (const WhyCase& w : kWhy) {
        SCOPED_TRACE(w.name);
        const CliRun run = w.args
                               ? run_cli(w.args())
                               : run_cli_to({"verify", test_data("capk_public.txt")}, "/dev/full");
        EXPECT_EQ(run.status, w.status) << run.out << run.err;
        if (*w.out != '\0') {
            const std::vector<std::string> lines = run.lines();
            EXPECT_NE(std::find(lines.begin(), lines.end(), w.out), lines.end()) << run.out;
        }
        if (w.status == 2) {
            EXPECT_EQ(run.out, "");
            EXPECT_NE(run.err.find(w.err), std::string::npos) << run.err;
            EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
        } else {
            EXPECT_EQ(run.err, w.err);
        }
    }
}

// Without --static-data nothing is proven; with it every check passes. A
// key longer than its signer's fails whatever else is given.
TEST(CliVerdicts, NotDeterminedBecomesValidWithTheData)
{
    for (const emv_chain::Chain* c : {&long_issuer_chain(), &long_icc_chain()}) {
        const bool icc_too_long = c == &long_icc_chain();
        SCOPED_TRACE(icc_too_long ? "ICC key longer than the issuer key" : "ICC key fits");
        std::vector<std::string> args = icc_args(*c);
        args.insert(args.begin() + 2, "--json");
        const CliRun without = run_cli(args);
        EXPECT_EQ(without.status, icc_too_long ? 1 : 3);
        if (!icc_too_long) {
            EXPECT_TRUE(without.json()["valid"].is_null());
            EXPECT_EQ(without.json()["reason"], "hash not checked: no --static-data given");
        }
        args.push_back("--static-data");
        args.push_back(to_hex(c->static_data));
        const CliRun with = run_cli(args);
        EXPECT_EQ(with.status, icc_too_long ? 1 : 0);
        EXPECT_EQ(with.json()["valid"], !icc_too_long);
        EXPECT_EQ(with.json()["checks"]["key_length"], !icc_too_long);
        EXPECT_EQ(with.json()["checks"]["hash"], true);
        EXPECT_FALSE(with.json().contains("reason"));
    }
    // The 128-byte issuer key under the 144-byte CA key.
    EXPECT_EQ(run_cli(issuer_args(long_icc_chain())).status, 0);
}

// Tag 5A as the card gives it: an odd-length PAN padded with F.
TEST(CliVerdicts, PanWithItsPaddingAndTheIdentifierForm)
{
    const emv_chain::Chain& c = long_icc_chain();
    std::vector<std::string> args = issuer_args(c);
    args.insert(args.begin() + 2, "--json");
    for (const std::string& pan : {c.pan, c.pan + "FFFF", std::string("476173900101011F")}) {
        std::vector<std::string> with_pan = args;
        with_pan.push_back("--pan");
        with_pan.push_back(pan);
        const nlohmann::json doc = run_cli(with_pan).json();
        EXPECT_EQ(doc["checks"]["pan"], true) << pan;
        EXPECT_EQ(doc["checks"]["pan_form"], true) << pan;
    }
    // Without a PAN the PAN is not compared, but the identifier's form is.
    const nlohmann::json doc = run_cli(args).json();
    EXPECT_FALSE(doc["checks"].contains("pan"));
    EXPECT_EQ(doc["checks"]["pan_form"], true);
}

// Standard input is hashed as it comes: bytes that straddle the reader's
// pieces, and a bad character far into the input named by its position.
TEST(CliVerdicts, HashStreamsStandardInput)
{
    const std::string hex(2 * 100001, 'A');
    const CliRun run = run_cli({"hash", "--json"}, hex);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.json()["length"], 100001);
    EXPECT_EQ(run.json()["hash"], support::Hex(support::Sha1(Bytes(100001, 0xAA))));
    const CliRun bad = run_cli({"hash"}, std::string(70000, '0') + "G0");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "tarvello-cli: standard input: not a hex digit: 'G' at position 70001\n");
}

}  // namespace
