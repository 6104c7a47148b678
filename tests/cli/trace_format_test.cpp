// APDU trace files as users' logs write them: every accepted form reads to
// the same exchanges (the published card still passes, with the same static
// data), every bad line is refused with its line number, exit status 2.

#include <cctype>

#include <gtest/gtest.h>

#include "tests/cli/oda_trace_support.h"
#include "tests/cli/run_cli.h"

namespace {

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string without_blanks(std::string text)
{
    std::string out;
    for (char c : text) {
        if (c != ' ')
            out += c;
    }
    return out;
}

struct FormCase {
    const char* name;
    std::function<std::string(bool, const std::string&)> rewrite;
    const char* start = "";  // what the file begins with
};

TEST(CliTraceFormat, EveryLogFormReadsTheSameExchanges)
{
    const FormCase cases[] = {
        {"as stored", [](bool c, const std::string& h) { return (c ? "> " : "< ") + h + "\n"; }},
        {"bracketed prefixes, doubled markers, annotations",
         [](bool c, const std::string& h) {
             return (c ? "[+] >> " : "[+] << ") + h + (c ? "  (command)\n" : " (answer)\n");
         }},
        {"time stamps and C-APDU/R-APDU, CR LF",
         [](bool c, const std::string& h) {
             return "[2026-12-09 14:00:01.250] [TTL] " + std::string(c ? "C-APDU: " : "R-APDU:") +
                    h + "\r\n";
         }},
        {"lower case, no blanks, marker against the hex",
         [](bool c, const std::string& h) {
             return (c ? ">" : "<<<") + lower(without_blanks(h)) + "\n";
         }},
        {"lower-case markers, blank lines and comments between",
         [](bool c, const std::string& h) {
             return std::string("\n   # note\n\t") + (c ? "c-apdu: " : "r-apdu: ") + h + "\n";
         }},
        {"UTF-8 byte order mark, CR alone as the line end",
         [](bool c, const std::string& h) { return (c ? "> " : "< ") + h + "\r"; }, "\xEF\xBB\xBF"},
    };
    const CliRun reference = run_cli(oda_args(write_temp_file("as_stored.txt", published_trace())));
    ASSERT_EQ(reference.status, 0) << reference.err;
    for (const FormCase& k : cases) {
        const std::string path = write_temp_file("form.txt", k.start + rewritten_trace(k.rewrite));
        const CliRun run = run_cli(oda_args(path));
        EXPECT_EQ(run.status, 0) << k.name << "\n" << run.err;
        EXPECT_EQ(run.err, "") << k.name;
        EXPECT_EQ(run.json()["static_data"], reference.json()["static_data"]) << k.name;
        EXPECT_EQ(run.json()["result"], "passed") << k.name;
    }
}

struct BadLine {
    const char* trace;
    const char* message;  // after "tarvello-cli: PATH: "
};

TEST(CliTraceFormat, BadLinesAreRefusedWithTheirLineNumbers)
{
    const BadLine cases[] = {
        {"> 00A4040007A0000000031010\n< 6F0G9000\n", "line 2: not a hex digit: 'G' at position 6"},
        {"# a log\n\n< 9000\n", "line 3: a response without its command"},
        {"> 00B2010C00\n< 9000\n< 9000\n", "line 3: a response without its command"},
        {"> 00A40400\r\n> 00A4\r\n",
         "line 2: a command has at least CLA INS P1 P2, this one 2 bytes"},
        {"> 00A40400\n<\n", "line 2: a response has at least SW1 SW2, this one 0 bytes"},
        {"> 00A40400\n< 90\n", "line 2: a response has at least SW1 SW2, this one 1 byte"},
        {"> 00A40400\nSW 9000\n",
         "line 2: neither a command ('>' or C-APDU:) nor a response ('<' or R-APDU:)"},
        {"[+ > 00A40400\n", "line 1: '[' at position 1 is not closed"},
        {"> 00 A4 0 4 00\n", "line 1: blank inside a byte at position 10"},
        {"> 00A40400 (SELECT\n", "line 1: not a hex digit: '(' at position 12"},
        {"> 00A4040\n", "line 1: odd number of hex digits: the digit at position 9 has no partner"},
        {"> 00A40400\n< 9000 (ok) 00\n", "line 2: not a hex digit: '(' at position 8"},
        {"", "no command in the trace"},
        {"\xEF\xBB\xBF# a log\r\r", "no command in the trace"},
        {"> 00A40400\n", "no command in the trace has a response"},
        // A response the transaction needs as BER-TLV, named by its line.
        {"> 00A4040007A0000000031010\n< 6F05840300 9000\n",
         "line 2: response data is not well-formed BER-TLV: a value runs past the end of its "
         "data at offset 1"},
    };
    for (const BadLine& k : cases) {
        const std::string path = write_temp_file("bad.txt", k.trace);
        const CliRun run = run_cli(oda_args(path));
        EXPECT_EQ(run.status, 2) << k.trace;
        EXPECT_EQ(run.err, "tarvello-cli: " + path + ": " + k.message + "\n") << k.trace;
        EXPECT_EQ(run.out, "") << k.trace;
    }
}

TEST(CliTraceFormat, UnansweredCommandsAreNamedAndIgnored)
{
    // A GET DATA the log ends with, and a SELECT followed at once by another
    // command, take no part.
    std::string text = published_trace();
    const std::string select = "> 00 A4 04 00 07 AF FF FF FF FF 12 34\n";
    const size_t at = text.find(select);
    ASSERT_NE(at, std::string::npos);
    text.insert(at, "> 00 A4 04 00 07 A0 00 00 00 03 10 10\n");
    text += "> 80 CA 9F 36 00\n";
    const std::string path = write_temp_file("unanswered.txt", text);
    const CliRun run = run_cli(oda_args(path));
    EXPECT_EQ(run.status, 0) << run.err;
    const int select_line = static_cast<int>(std::count(text.begin(), text.begin() + at, '\n')) + 1;
    const int last_line = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    EXPECT_EQ(run.err, "tarvello-cli: " + path + ": line " + std::to_string(select_line) +
                           ": a command without a response, ignored\ntarvello-cli: " + path +
                           ": line " + std::to_string(last_line) +
                           ": a command without a response, ignored\n");
    EXPECT_EQ(run.json()["aid"], "AFFFFFFFFF1234");
}

TEST(CliTraceFormat, StandardInputAndUnreadableFiles)
{
    const CliRun piped = run_cli(oda_args("-"), published_trace());
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.json()["result"], "passed");

    const CliRun bad = run_cli(oda_args("-"), "> 00A40400\nx\n");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "tarvello-cli: standard input: line 2: neither a command ('>' or "
                       "C-APDU:) nor a response ('<' or R-APDU:)\n");

    const CliRun missing = run_cli(oda_args("/nonexistent/trace.txt"));
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "tarvello-cli: /nonexistent/trace.txt: No such file or directory\n");
    const CliRun directory = run_cli(oda_args(testing::TempDir()));
    EXPECT_EQ(directory.status, 2);
    EXPECT_NE(directory.err.find("Is a directory"), std::string::npos) << directory.err;
}

}  // namespace
