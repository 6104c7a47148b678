// Every kind of bad argument is refused with exit status 2 and one line on
// standard error naming the argument and the problem; nothing on standard
// output.

#include <gtest/gtest.h>

#include "tests/cli/run_cli.h"

namespace {

struct BadCase {
    std::vector<std::string> args;
    std::string message;  // the whole line after "tarvello-cli: "
};

const std::string kList = TARVELLO_TEST_DATA "/capk_public.txt";
const std::string kMod = "C1D2E3F5";  // a 4-byte modulus typed in

const BadCase kBadCases[] = {
    // The parser's own refusals.
    {{"frobnicate"}, "frobnicate: unknown subcommand"},
    {{"recover", "purse"}, "purse: unknown subcommand"},
    {{"list", "--bogus", kList}, "--bogus: unknown option"},
    {{"list", "--bogus", "/nonexistent"}, "--bogus: unknown option"},
    {{"recover", "issuer", "--foo"}, "--foo: unknown option"},
    {{"list", "/nonexistent/capks.txt"}, "/nonexistent/capks.txt: No such file or directory"},
    {{"verify", "/"}, "/: Is a directory"},
    {{"hash", "00", "11"}, "The following argument was not expected: 11"},
    {{"verify"}, "FILE is required"},
    {{"convert", kList}, "--to is required"},
    {{"convert", kList, "--to", "xml"}, "--to: xml not in {tarvello,pm3,tsv,tlv,json}"},
    {{"convert", kList, "--to", "pm3", "--json"},
     "--json: needs -o: standard output carries the converted list"},
    {{"convert", kList, "--to", "pm3", "-o", "/nonexistent/x.txt"},
     "/nonexistent/x.txt: No such file or directory"},
    {{"verify", "--format", "foo", kList}, "--format: foo not in {tarvello,pm3,tsv,tlv,json}"},
    {{"verify", kList, "--reference", "/nonexistent"}, "/nonexistent: No such file or directory"},
    {{"verify", kList, "--date", "991399"}, "--date: no month 13"},
    {{"rsa", "--modulus", kMod, "00"}, "--modulus requires --exponent"},
    {{"rsa", "--capks", kList, "--key", "A000000003_08", "--modulus", kMod, "--exponent", "3",
      "00"},
     "--capks excludes --modulus"},
    // Strict hex.
    {{"hash", "0G"}, "HEX: not a hex digit: 'G' at position 2"},
    {{"hash", "00 11 2"}, "HEX: odd number of hex digits: the digit at position 7 has no partner"},
    {{"hash", "00 1 1"}, "HEX: blank inside a byte at position 5"},
    {{"hash", "0x11"}, "HEX: not a hex digit: 'x' at position 2"},
    {{"hash", "11,22"}, "HEX: not a hex digit: ',' at position 3"},
    {{"hash"}, "standard input: not a hex digit: byte 0x00 at position 3"},
    {{"checksum", "A0000000", "01", "C1", "3"}, "RID: 4 bytes, must be 5"},
    {{"checksum", "A000000003", "", "C1", "3"}, "INDEX: 0 bytes, must be 1"},
    {{"checksum", "A000000003", "01", "C1", "5"},
     "EXPONENT: exponent must be 3 or 65537 (in hex 03 or 010001), not '5'"},
    {{"checksum", "A000000003", "01", "C1", "0x03"},
     "EXPONENT: exponent must be 3 or 65537 (in hex 03 or 010001), not '0x03'"},
    {{"checksum", "A000000003", "01", std::string(498, 'C'), "3"},
     "MODULUS: 249 bytes, must be 1 to 248"},
    // Keys.
    {{"rsa", "--capks", "/nonexistent", "--key", "A000000003_08", "00"},
     "/nonexistent: No such file or directory"},
    {{"rsa", "--capks", "/tmp", "--key", "A000000003_08", "00"}, "/tmp: Is a directory"},
    {{"rsa", "--capks", kList, "--key", "A000000003_77", "00"},
     "--key: no key labelled 'A000000003_77' in '" + kList + "'"},
    {{"rsa", "00"}, "--capks/--key or --modulus/--exponent: a key is required"},
    {{"rsa", "--modulus", "00C1D2", "--exponent", "3", "001122"},
     "--modulus: the modulus starts with a zero byte"},
    {{"rsa", "--modulus", std::string(586, 'C'), "--exponent", "3", "00"},
     "--modulus: the modulus has 293 bytes, at most 292 are supported"},
    {{"rsa", "--modulus", kMod, "--exponent", "3", "0011"}, "DATA: 2 bytes, the modulus has 4"},
    {{"rsa", "--modulus", kMod, "--exponent", "010001", "C1D2E3F5"},
     "DATA: the block is not below the modulus"},
    {{"rsa", "--modulus", kMod, "--exponent", "3", "FFFFFFFF"},
     "DATA: the block is not below the modulus"},
    // recover's own values.
    {{"recover", "issuer", "--ca-modulus", kMod, "--ca-exponent", "3", "--cert", "00", "--exponent",
      "02"},
     "--exponent: exponent must be 3 or 65537 (in hex 03 or 010001), not '02'"},
    {{"recover", "issuer", "--ca-modulus", kMod, "--ca-exponent", "3", "--cert", "00", "--exponent",
      ""},
     "--exponent: exponent must be 3 or 65537 (in hex 03 or 010001), not ''"},
    {{"recover", "issuer", "--ca-modulus", kMod, "--ca-exponent", "3", "--cert", "00", "--exponent",
      "03", "--pan", "4761-7390"},
     "--pan: a PAN is 1 to 19 decimal digits, then F padding at most"},
    {{"recover", "issuer", "--ca-modulus", kMod, "--ca-exponent", "3", "--cert", "00", "--exponent",
      "03", "--pan", "4761F739"},
     "--pan: a PAN is 1 to 19 decimal digits, then F padding at most"},
    {{"recover", "issuer", "--ca-modulus", kMod, "--ca-exponent", "3", "--cert", "00", "--exponent",
      "03", "--pan", "FFFF"},
     "--pan: a PAN is 1 to 19 decimal digits, then F padding at most"},
    {{"recover", "issuer", "--ca-modulus", kMod, "--ca-exponent", "3", "--cert", "00", "--exponent",
      "03", "--date", "261301"},
     "--date: no month 13"},
    {{"recover", "issuer", "--ca-modulus", kMod, "--ca-exponent", "3", "--cert", "00", "--exponent",
      "03", "--date", "270229"},
     "--date: no day 29 in month 02"},
    {{"recover", "icc", "--issuer-modulus", kMod, "--issuer-exponent", "5", "--cert", "00",
      "--exponent", "03"},
     "--issuer-exponent: exponent must be 3 or 65537 (in hex 03 or 010001), not '5'"},
    {{"recover", "ssad", "--issuer-modulus", kMod, "--issuer-exponent", "03", "--ssad", "00"},
     "--static-data is required"},
    {{"recover", "sdad", "--icc-modulus", kMod, "--icc-exponent", "03", "--sdad", "C1D2E3F5"},
     "--icc-modulus: the modulus has 4 bytes, this format needs at least 25"},
    {{"recover", "sdad", "--icc-modulus", std::string(50, 'C'), "--icc-exponent", "03", "--sdad",
      std::string(50, 'C')},
     "--sdad: the signed data is not below the modulus"},
    {{"recover", "issuer", "--ca-modulus", std::string(70, 'C'), "--ca-exponent", "3", "--cert",
      std::string(70, '1'), "--exponent", "03"},
     "--ca-modulus: the modulus has 35 bytes, this format needs at least 36"},
    {{"recover", "sdad", "--icc-modulus", "", "--icc-exponent", "03", "--sdad", "00"},
     "--icc-modulus: the modulus is empty"},
    {{"recover", "sdad", "--icc-modulus", kMod, "--icc-exponent", "03", "--sdad", "00",
      "--dynamic-data", "1 2"},
     "--dynamic-data: blank inside a byte at position 2"},
};

TEST(CliBadArguments, RefusedWithOneLineNamingTheArgument)
{
    for (const BadCase& c : kBadCases) {
        std::string shown;
        for (const std::string& a : c.args)
            shown += a.substr(0, 20) + " ";
        // Standard input for "hash" without data: a NUL in the middle.
        const CliRun run = run_cli(c.args, std::string("00\0 11", 6));
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_EQ(run.err, "tarvello-cli: " + c.message + "\n") << shown;
        EXPECT_EQ(run.out, "") << shown;
    }
}

// Without an argument the program says which subcommands it has, as a
// usage error: nothing on standard output.
TEST(CliHelp, NoArgumentShowsTheSubcommands)
{
    const CliRun run = run_cli({});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    for (const char* sub : {"list", "verify", "checksum", "hash", "rsa", "recover"})
        EXPECT_NE(run.err.find("\n  " + std::string(sub) + " "), std::string::npos) << sub;
}

// Help lines fit 80 columns, broken between words, and the four exit
// statuses are listed.
TEST(CliHelp, WrapsAtWordsAndListsTheExitStatuses)
{
    const std::string help = run_cli({"--help"}).out;
    for (const char* status :
         {"0 every check", "1 a check failed", "2 a usage", "3 nothing failed"})
        EXPECT_NE(help.find(status), std::string::npos) << status;
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--help"}, {"verify", "--help"}, {"recover", "icc", "--help"}}) {
        const CliRun run = run_cli(args);
        size_t from = 0;
        while (from < run.out.size()) {
            const size_t end = run.out.find('\n', from);
            const std::string line = run.out.substr(from, end - from);
            EXPECT_LE(line.size(), 80u) << line;
            EXPECT_TRUE(line.empty() || line.back() != ' ') << line;
            from = end == std::string::npos ? run.out.size() : end + 1;
        }
    }
}

TEST(CliHelp, ProgramAndEverySubcommand)
{
    const CliRun version = run_cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "tarvello-cli " TARVELLO_VERSION "\n");

    const std::vector<std::vector<std::string>> helps = {{"--help"},
                                                         {"list", "--help"},
                                                         {"verify", "--help"},
                                                         {"checksum", "--help"},
                                                         {"hash", "--help"},
                                                         {"rsa", "--help"},
                                                         {"recover", "--help"},
                                                         {"recover", "issuer", "--help"},
                                                         {"recover", "icc", "--help"},
                                                         {"recover", "ssad", "--help"},
                                                         {"recover", "sdad", "--help"}};
    for (const auto& args : helps) {
        const CliRun run = run_cli(args);
        EXPECT_EQ(run.status, 0) << args[0];
        EXPECT_NE(run.out.find("--help"), std::string::npos) << args[0];
        EXPECT_EQ(run.err, "");
    }
    EXPECT_NE(run_cli({"recover", "icc", "--help"}).out.find("--static-data"), std::string::npos);
    EXPECT_NE(run_cli({"--help"}).out.find("verify"), std::string::npos);
}

}  // namespace
