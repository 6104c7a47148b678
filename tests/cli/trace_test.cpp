// trace over the published transaction (tests/data/trace_emvpt_dda.txt):
// every exchange named, the fields a user reads decoded as EMV Book 3
// codes them (checked by hand), the PIN never shown unless asked, several
// transactions in one log, answers that are not BER-TLV.

#include <algorithm>
#include <map>

#include <gtest/gtest.h>

#include "tests/cli/oda_trace_support.h"
#include "tests/cli/run_cli.h"

namespace {

using nlohmann::json;

json exchange_at(const json& doc, int line)
{
    for (const json& e : doc["exchanges"]) {
        if (e["line"] == line)
            return e;
    }
    ADD_FAILURE() << "no exchange at line " << line;
    return json();
}

TEST(CliTrace, EveryExchangeOfThePublishedLogNamed)
{
    const CliRun run = run_cli({"trace", "--json", test_data("trace_emvpt_dda.txt")});
    ASSERT_EQ(run.status, 0) << run.err;
    const json doc = run.json();
    std::vector<std::string> names;
    for (const json& e : doc["exchanges"])
        names.push_back(e["command"]["name"]);
    const std::vector<std::string> expected = {"SELECT",
                                               "GET RESPONSE",
                                               "READ RECORD",
                                               "READ RECORD",
                                               "READ RECORD",
                                               "SELECT",
                                               "GET RESPONSE",
                                               "GET DATA",
                                               "GET PROCESSING OPTIONS",
                                               "GET RESPONSE",
                                               "READ RECORD",
                                               "READ RECORD",
                                               "READ RECORD",
                                               "READ RECORD",
                                               "READ RECORD",
                                               "READ RECORD",
                                               "READ RECORD",
                                               "READ RECORD",
                                               "READ RECORD",
                                               "READ RECORD",
                                               "INTERNAL AUTHENTICATE",
                                               "GET RESPONSE",
                                               "VERIFY",
                                               "GET CHALLENGE",
                                               "GET CHALLENGE",
                                               "VERIFY",
                                               "GENERATE AC",
                                               "GET RESPONSE",
                                               "EXTERNAL AUTHENTICATE",
                                               "GENERATE AC"};
    EXPECT_EQ(names, expected);
    EXPECT_TRUE(doc["oda"].is_null());

    const json pse = exchange_at(doc, 11);
    EXPECT_EQ(pse["command"]["aid"], "315041592E5359532E4444463031");
    EXPECT_EQ(pse["status"]["meaning"], "46 bytes of response data still available (GET RESPONSE)");
    const json record = exchange_at(doc, 53);
    EXPECT_EQ(record["command"]["sfi"], 3);
    EXPECT_EQ(record["command"]["record"], 1);
    EXPECT_EQ(exchange_at(doc, 51)["status"]["meaning"],
              "wrong Le: 82 bytes available (send the command again with Le)");
    EXPECT_EQ(exchange_at(doc, 19)["status"]["meaning"], "record not found");
    EXPECT_EQ(exchange_at(doc, 29)["command"]["tag"], "9F36");
    // GET CHALLENGE answers 8 bytes that are no BER-TLV: hex, never an error.
    const json challenge = exchange_at(doc, 71);
    EXPECT_TRUE(challenge["response"].is_null());
    EXPECT_EQ(challenge["response_data"], "B34571E839F2E14F");
    EXPECT_EQ(exchange_at(doc, 81)["response"], json::array());
}

TEST(CliTrace, FieldsAUserReadsAreDecoded)
{
    const CliRun run = run_cli({"trace", "--json", test_data("trace_emvpt_dda.txt")});
    ASSERT_EQ(run.status, 0) << run.err;
    const json doc = run.json();
    // GET PROCESSING OPTIONS format 1 (after GET RESPONSE): AIP 3C00, AFL.
    const json gpo = exchange_at(doc, 35)["response"][0];
    ASSERT_EQ(gpo["tag"], "80");
    const json& objects = gpo["decoded"]["objects"];
    EXPECT_EQ(objects[0]["tag"], "82");
    EXPECT_EQ(objects[0]["decoded"]["bits"][0],
              json({{"byte", 1}, {"bit", 6}, {"meaning", "DDA supported"}}));
    EXPECT_EQ(objects[1]["decoded"]["entries"][2],
              json({{"sfi", 3}, {"first", 1}, {"last", 2}, {"oda_records", 1}}));

    // The first GENERATE AC: ARQC asked, no CDA; CDOL1 data split.
    const json genac = exchange_at(doc, 77)["command"];
    EXPECT_EQ(genac["cryptogram"], "ARQC");
    EXPECT_EQ(genac["cda"], false);
    EXPECT_EQ(genac["dol"], "CDOL1");
    std::map<std::string, json> fields;
    for (const json& f : genac["fields"])
        fields[f["tag"]] = f;
    EXPECT_EQ(fields["9F02"]["decoded"]["value"], "0.01");
    EXPECT_EQ(fields["5F2A"]["decoded"],
              json({{"numeric", "978"}, {"alpha", "EUR"}, {"name", "Euro"}}));
    EXPECT_EQ(fields["9F1A"]["decoded"]["alpha"], "FIN");
    EXPECT_EQ(fields["9A"]["decoded"]["date"], "2020-07-24");
    EXPECT_EQ(fields["95"]["decoded"]["bits"], json::array());
    EXPECT_EQ(exchange_at(doc, 83)["command"]["dol"], "CDOL2");

    // Its answer: CID 80, an ARQC; the second answer a TC.
    const json cid = exchange_at(doc, 79)["response"][0]["decoded"]["objects"][0];
    EXPECT_EQ(cid["tag"], "9F27");
    EXPECT_EQ(cid["decoded"]["cryptogram"], "ARQC");
    EXPECT_EQ(exchange_at(doc, 83)["response"][0]["decoded"]["objects"][0]["decoded"]["cryptogram"],
              "TC");

    // The CVM list of SFI 3 record 1: 1E03 signature if supported.
    const json record = exchange_at(doc, 53)["response"][0]["children"];
    json cvm;
    for (const json& o : record) {
        if (o["tag"] == "8E")
            cvm = o["decoded"];
    }
    ASSERT_EQ(cvm["rules"].size(), 6u);
    EXPECT_EQ(cvm["rules"][3], json({{"method", "1E"},
                                     {"condition", "03"},
                                     {"method_name", "Signature (paper)"},
                                     {"condition_name", "If terminal supports the CVM"},
                                     {"apply_next", false}}));
    EXPECT_EQ(cvm["rules"][1]["apply_next"], true);

    // tlv shows the same decodes: TVR bits, CVM results.
    const CliRun tlv = run_cli({"tlv", "--json", "950584000000009F3403420302"});
    ASSERT_EQ(tlv.status, 0) << tlv.err;
    EXPECT_EQ(tlv.json()[0]["decoded"]["bits"][1]["meaning"], "CDA failed");
    EXPECT_EQ(tlv.json()[1]["decoded"]["result_name"], "Successful");
    EXPECT_EQ(tlv.json()[1]["decoded"]["method"], "02");
}

TEST(CliTrace, ThePinBlockIsShownOnlyWhenAsked)
{
    const std::string trace = test_data("trace_emvpt_dda.txt");
    const std::string pin = "241234FFFFFFFFFF";
    const std::string html = testing::TempDir() + "pin-report.html";
    const std::string oda_html = testing::TempDir() + "pin-oda-report.html";
    const CliRun text = run_cli({"trace", trace, "--html", html});
    const CliRun doc = run_cli({"trace", "--json", trace});
    const CliRun oda = run_cli(oda_args(trace, {"--html", oda_html}));
    ASSERT_EQ(text.status, 0) << text.err;
    ASSERT_EQ(oda.status, 0) << oda.err;
    EXPECT_EQ(text.out.find(pin), std::string::npos);
    EXPECT_NE(text.out.find("00200080 PIN block (masked)"), std::string::npos);
    EXPECT_TRUE(exchange_at(doc.json(), 67)["command"]["data"].is_null());
    EXPECT_EQ(exchange_at(doc.json(), 67)["command"]["pin"], "plaintext");
    EXPECT_EQ(exchange_at(doc.json(), 73)["command"]["pin"], "enciphered");
    EXPECT_EQ(read_file(html).find(pin), std::string::npos);
    EXPECT_EQ(read_file(oda_html).find(pin), std::string::npos);
    EXPECT_NE(read_file(oda_html).find("PIN block (masked)"), std::string::npos);

    const CliRun shown = run_cli({"trace", "--json", "--show-pin", trace, "--html", html});
    EXPECT_EQ(exchange_at(shown.json(), 67)["command"]["data"], pin);
    EXPECT_NE(read_file(html).find(pin), std::string::npos);
    const CliRun oda_shown = run_cli(oda_args(trace, {"--html", oda_html, "--show-pin"}));
    EXPECT_NE(read_file(oda_html).find(pin), std::string::npos);
}

TEST(CliTrace, SeveralTransactionsInOneLog)
{
    // Two taps: the published transaction, then its application selected
    // and authenticated again.
    const std::string first = published_trace();
    const std::string again = first.substr(first.find("# SELECT the application"));
    const std::string path = write_temp_file("two.txt", first + "\n" + again);
    const int second_line = static_cast<int>(std::count(first.begin(), first.end(), '\n')) + 3;

    const CliRun both =
        run_cli({"trace", "--json", path, "--capks", test_data("capk_emvpt_test.txt")});
    ASSERT_EQ(both.status, 0) << both.err;
    const json doc = both.json();
    ASSERT_EQ(doc["transactions"].size(), 2u);
    EXPECT_EQ(doc["transactions"][1]["line"], second_line);
    EXPECT_EQ(doc["transactions"][0]["oda"]["result"], "passed");
    EXPECT_EQ(doc["transactions"][1]["oda"]["result"], "passed");
    EXPECT_EQ(doc["exchanges"].back()["transaction"], 2);

    const CliRun text = run_cli({"trace", path});
    EXPECT_NE(text.out.find("Transaction 2 (from line " + std::to_string(second_line) + ")"),
              std::string::npos);

    const CliRun second = run_cli({"trace", "--json", "--transaction", "2", path});
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.json()["exchanges"][0]["line"], second_line);
    EXPECT_EQ(second.json()["exchanges"][0]["command"]["name"], "SELECT");
    const CliRun oda = run_cli(oda_args(path, {"--transaction", "2"}));
    EXPECT_EQ(oda.status, 0) << oda.err;
    EXPECT_EQ(oda.json()["aid"], "AFFFFFFFFF1234");

    const CliRun none = run_cli({"trace", "--transaction", "3", path});
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.err, "tarvello-cli: --transaction: 3: the trace holds 2 transactions\n");
}

TEST(CliTrace, ReportThatCannotBeWrittenIsAnInputError)
{
    const CliRun run =
        run_cli({"trace", test_data("trace_emvpt_dda.txt"), "--html", "/nonexistent/r.html"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "tarvello-cli: --html: /nonexistent/r.html: No such file or directory\n");
}

TEST(CliTrace, AnOdaFailureIsExitOneWithItsStep)
{
    // The published log with the issuer certificate's last byte changed.
    std::string text = published_trace();
    const size_t at = text.find("88 EA 90 00");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 2, "89");
    const std::string path = write_temp_file("damaged.txt", text);
    const CliRun run =
        run_cli({"trace", "--json", path, "--capks", test_data("capk_emvpt_test.txt")});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.json()["oda"]["result"], "failed");
    EXPECT_EQ(run.json()["oda"]["failed_step"], "issuer");
}

}  // namespace
