// tlv on real card data (the FCI and records of the published transaction
// of tests/data) and on malformed data.

#include <gtest/gtest.h>

#include "tests/cli/oda_trace_support.h"
#include "tests/cli/run_cli.h"

namespace {

using json = nlohmann::json;

// The published FCI of the application and two of its records.
const char kFci[] = "6F 39 84 07";
const char kRecordSfi3[] = "70 50 5F 24";  // SFI 3 record 1: dates, PAN, 9F4A
const char kRecordDols[] = "70 3E 9F 42";  // SFI 3 record 2: CDOL1, CDOL2

TEST(CliTlv, RealFciAsATreeWithNames)
{
    const std::string fci = published_response(kFci);
    ASSERT_FALSE(fci.empty());
    const CliRun run = run_cli({"tlv", fci.substr(0, fci.size() - 6)});  // SW 90 00 left out
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = run.lines();
    ASSERT_EQ(lines.size(), 8u) << run.out;
    EXPECT_EQ(lines[0], "6F File Control Information (FCI) Template, 57 bytes");
    EXPECT_EQ(lines[1], "  84 Dedicated File (DF) Name, 7 bytes: AFFFFFFFFF1234");
    EXPECT_EQ(lines[3], "    50 Application Label, 13 bytes: 5645534120454C454354524F4E "
                        "\"VESA ELECTRON\"");

    const CliRun as_json = run_cli({"tlv", "--json", fci.substr(0, fci.size() - 6)});
    ASSERT_EQ(as_json.status, 0);
    const json doc = as_json.json();
    ASSERT_EQ(doc.size(), 1u);
    EXPECT_EQ(doc[0]["tag"], "6F");
    EXPECT_EQ(doc[0]["length"], 57);
    const json& proprietary = doc[0]["children"][1];
    EXPECT_EQ(proprietary["tag"], "A5");
    EXPECT_EQ(proprietary["name"], "File Control Information (FCI) Proprietary Template");
    EXPECT_EQ(proprietary["children"].size(), 5u);
    EXPECT_EQ(proprietary["children"][0]["value"], "5645534120454C454354524F4E");
    EXPECT_FALSE(proprietary["children"][0].contains("children"));
}

TEST(CliTlv, RealRecordsWithDatesAndDolsDecoded)
{
    std::string record = published_response(kRecordSfi3);
    record.resize(record.size() - 6);
    const CliRun dates = run_cli({"tlv"}, record);  // from standard input
    ASSERT_EQ(dates.status, 0) << dates.err;
    const std::vector<std::string> lines = dates.lines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[1], "  5F24 Application Expiration Date, 3 bytes: 181130");
    EXPECT_EQ(lines[2], "    2018-11-30");
    EXPECT_EQ(lines[3], "  5A Application Primary Account Number (PAN), 8 bytes: "
                        "1234560012345608");

    std::string dols = published_response(kRecordDols);
    dols.resize(dols.size() - 6);
    const CliRun decoded = run_cli({"tlv", "-"}, dols);
    ASSERT_EQ(decoded.status, 0) << decoded.err;
    const std::string& out = decoded.out;
    EXPECT_NE(out.find("  8C Card Risk Management Data Object List 1 (CDOL1), 21 bytes: "
                       "9F02069F03069F1A0295055F2A029A039C019F3704\n"
                       "    9F02, 6 bytes: Amount, Authorised (Numeric)\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("    9F37, 4 bytes: Unpredictable Number\n  8D "), std::string::npos);
}

TEST(CliTlv, AflAndAipDecoded)
{
    // The published GET PROCESSING OPTIONS answer (format 1: AIP | AFL)
    // taken apart into 82 and 94.
    const CliRun run = run_cli({"tlv", "82023C00 940C080202001001020018010201"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> expected = {
        "82 Application Interchange Profile, 2 bytes: 3C00",
        "  ODA methods supported: DDA",
        "  byte 1 bit 6: DDA supported",
        "  byte 1 bit 5: Cardholder verification is supported",
        "  byte 1 bit 4: Terminal risk management is to be performed",
        "  byte 1 bit 3: Issuer authentication is supported",
        "94 Application File Locator (AFL), 12 bytes: 080202001001020018010201",
        "  SFI 1: records 2-2, 0 for ODA",
        "  SFI 2: records 1-2, 0 for ODA",
        "  SFI 3: records 1-2, 1 for ODA",
    };
    EXPECT_EQ(run.lines(), expected);
    const CliRun all = run_cli({"tlv", "820279019403080202"});
    EXPECT_NE(all.out.find("  ODA methods supported: SDA, DDA, CDA\n"), std::string::npos);
    EXPECT_NE(all.out.find("  not an AFL: 3 bytes, not a multiple of 4\n"), std::string::npos);
}

TEST(CliTlv, MalformedDataNamesTheOffset)
{
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"tlv", "5F24031811"},
         "HEX: not well-formed BER-TLV: a value runs past the end of its data at offset 2"},
        {{"tlv", "5F2483010203"},
         "HEX: not well-formed BER-TLV: a length form other than 1 byte, 81 or 82 at offset 2"},
        {{"tlv", "70 04 5A 08 12 34"},
         "HEX: not well-formed BER-TLV: a value runs past the end of its data at offset 3"},
        {{"tlv", "9F"}, "HEX: not well-formed BER-TLV: the data ends inside a tag at offset 0"},
        {{"tlv", "70 0"}, "HEX: odd number of hex digits: the digit at position 4 has no partner"},
    };
    for (const auto& k : cases) {
        const CliRun run = run_cli(k.args);
        EXPECT_EQ(run.status, 2) << k.args[1];
        EXPECT_EQ(run.err, "tarvello-cli: " + k.message + "\n");
        EXPECT_EQ(run.out, "");
    }
    const CliRun piped = run_cli({"tlv"}, "5F2403");
    EXPECT_EQ(piped.err, "tarvello-cli: standard input: not well-formed BER-TLV: a value runs "
                         "past the end of its data at offset 2\n");
}

}  // namespace
