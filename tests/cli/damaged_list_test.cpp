// list and verify on list files with one damaged entry between two good
// keys: each damage the window's reader would drop, cut or misread silently
// is reported by its line, with the key's label when it is known, and the
// good keys are still listed. Damage the window reads correctly is not a
// problem.

#include <gtest/gtest.h>

#include <functional>

#include "tests/cli/run_cli.h"
#include "tests/support/capk_list.h"

namespace {

using support::ListEntry;
using support::ListKey;

const ListKey kFirst = {{0xA0, 0, 0, 0x09, 0x99}, 0xF1, support::Bytes(16, 0xC1), 3, {}};
const ListKey kDamaged = {{0xA0, 0, 0, 0x09, 0x99}, 0xF2, support::Bytes(24, 0x9B), 65537, {}};
const ListKey kLast = {{0xA0, 0, 0, 0x09, 0x99}, 0xF3, support::Bytes(32, 0xE4), 3, {}};

// The damaged key's lines, as ListEntry writes them: RID, INDEX, MODULUS,
// EXPONENT, CHECKSUM. In the file they are lines 8 to 12.
using Lines = std::vector<std::string>;

Lines lines_of(const std::string& text)
{
    Lines lines;
    size_t from = 0;
    while (from < text.size()) {
        const size_t end = text.find('\n', from);
        lines.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    return lines;
}

std::string list_file(const std::function<void(Lines&)>& damage)
{
    Lines middle = lines_of(ListEntry(kDamaged));
    damage(middle);
    std::string text = "Keys for tests\n" + ListEntry(kFirst) + "\n";
    for (const std::string& line : middle)
        text += line + "\n";
    return text + "\n" + ListEntry(kLast);
}

void set_value(Lines& lines, size_t at, const std::string& tag, const std::string& value)
{
    lines[at] = tag + value;
}

struct Row {
    const char* name;
    std::function<void(Lines&)> damage;
    int line;           // 0: no problem
    const char* label;  // "" when not known
    const char* reason;
    std::vector<std::string> listed;  // labels of the keys listed
};

const std::vector<std::string> kAllThree = {"A000000999_F1", "A000000999_F2", "A000000999_F3"};
const std::vector<std::string> kOuterTwo = {"A000000999_F1", "A000000999_F3"};
const std::string kChecksum40 = "0123456789ABCDEF0123456789ABCDEF01234567";

const Row kRows[] = {
    // Values that do not decode whole or have the wrong length.
    {"checksum of 19 bytes",
     [](Lines& l) { set_value(l, 4, "CHECKSUM : \"", kChecksum40.substr(0, 38) + "\""); }, 12,
     "A000000999_F2", "CHECKSUM: has 19 bytes, must be 20", kOuterTwo},
    {"checksum of 21 bytes",
     [](Lines& l) { set_value(l, 4, "CHECKSUM : \"", kChecksum40 + "89\""); }, 12, "A000000999_F2",
     "CHECKSUM: has 21 bytes, must be 20", kOuterTwo},
    {"G in the modulus", [](Lines& l) { l[2][20] = 'G'; }, 10, "A000000999_F2",
     "MODULUS: not a hex digit: 'G' at column 21", kOuterTwo},
    {"tab between modulus bytes", [](Lines& l) { l[2][13] = '\t'; }, 10, "A000000999_F2",
     "MODULUS: not a hex digit: a tab at column 14", kOuterTwo},
    {"odd digit in the RID", [](Lines& l) { set_value(l, 0, "RID : \"", "A0000009990\""); }, 8, "",
     "RID: odd number of hex digits: the digit at column 18 has no partner", kOuterTwo},
    {"RID of 4 bytes", [](Lines& l) { set_value(l, 0, "RID : \"", "A0000009\""); }, 8, "",
     "RID: has 4 bytes, must be 5", kOuterTwo},
    {"RID cut by letters", [](Lines& l) { set_value(l, 0, "RID : \"", "A000000999xyz\""); }, 8, "",
     "RID: not a hex digit: 'x' at column 18", kOuterTwo},
    {"blank inside the index byte", [](Lines& l) { set_value(l, 1, "INDEX : \"", "F 2\""); }, 9, "",
     "INDEX: blank inside a byte at column 11", kOuterTwo},
    {"index of 2 bytes", [](Lines& l) { set_value(l, 1, "INDEX : \"", "F2F2\""); }, 9, "",
     "INDEX: has 2 bytes, must be 1", kOuterTwo},
    {"modulus of 249 bytes",
     [](Lines& l) { set_value(l, 2, "MODULUS : \"", std::string(498, 'C') + "\""); }, 10,
     "A000000999_F2", "MODULUS: has 249 bytes, must be 1 to 248", kOuterTwo},
    {"empty modulus", [](Lines& l) { set_value(l, 2, "MODULUS : \"", "\""); }, 10, "A000000999_F2",
     "MODULUS: has 0 bytes, must be 1 to 248", kOuterTwo},
    // Exponents.
    {"exponent 2", [](Lines& l) { l[3] = "EXPONENT : 2"; }, 11, "A000000999_F2",
     "EXPONENT: '2' is not 3 or 65537", kOuterTwo},
    {"exponent 3x", [](Lines& l) { l[3] = "EXPONENT : 3x"; }, 11, "A000000999_F2",
     "EXPONENT: other characters after the number: '3x'", kOuterTwo},
    {"exponent in hex", [](Lines& l) { l[3] = "EXPONENT : 010001"; }, 11, "A000000999_F2",
     "EXPONENT: '010001' is not 3 or 65537", kOuterTwo},
    {"exponent missing", [](Lines& l) { l[3] = "EXPONENT : "; }, 11, "A000000999_F2",
     "EXPONENT: not a decimal number: ''", kOuterTwo},
    // Lines that look like tags but are not, and lines out of order.
    {"blank before the INDEX tag", [](Lines& l) { l[1] = " " + l[1]; }, 9, "", "", kOuterTwo},
    {"lower-case MODULUS tag", [](Lines& l) { l[2][0] = 'm'; }, 10, "A000000999_F2", "", kOuterTwo},
    {"CHECKSUM without its opening quote", [](Lines& l) { l[4] = "CHECKSUM : " + l[4].substr(12); },
     12, "A000000999_F2", "", kOuterTwo},
    {"RID tag without its blanks", [](Lines& l) { l[0] = "RID:\"A000000999\""; }, 8, "", "",
     kOuterTwo},
    {"EXPONENT before MODULUS", [](Lines& l) { std::swap(l[2], l[3]); }, 10, "A000000999_F2",
     "EXPONENT line where the MODULUS line belongs: the key's lines are out of order or one is "
     "missing",
     kOuterTwo},
    // The window would run this key and the next together.
    {"key of a RID line only", [](Lines& l) { l.resize(1); }, 8, "",
     "key without its INDEX line: the next key starts at line 10, the two keys would run together",
     kOuterTwo},
    {"CHECKSUM line missing", [](Lines& l) { l.resize(4); }, 8, "A000000999_F2",
     "key without its CHECKSUM line: the next key starts at line 13, the two keys would run "
     "together",
     kOuterTwo},
    {"a second CHECKSUM line", [](Lines& l) { l.push_back(l[4]); }, 13, "",
     "CHECKSUM line outside a key (no RID line before it)", kAllThree},
    // Lines the window reads in pieces.
    {"comment line of 2048 characters",
     [](Lines& l) { l.insert(l.begin(), std::string(2048, 'x')); }, 8, "",
     "line of 2048 characters, longer than the 2047 the window's reader takes at a time",
     kAllThree},
    // What the window reads right is no problem.
    {"comment line of 2047 characters",
     [](Lines& l) { l.insert(l.begin(), std::string(2047, 'x')); }, 0, "", "", kAllThree},
    {"CR LF line ends",
     [](Lines& l) {
         for (std::string& line : l)
             line += '\r';
     },
     0, "", "", kAllThree},
    {"modulus without its closing quote", [](Lines& l) { l[2].pop_back(); }, 0, "", "", kAllThree},
    {"text after the closing quote", [](Lines& l) { l[4] += " (published)"; }, 0, "", "",
     kAllThree},
    {"modulus in groups", [](Lines& l) { l[2].insert(27, " "); }, 0, "", "", kAllThree},
    {"exponent with leading zeros and blanks", [](Lines& l) { l[3] = "EXPONENT :  065537 "; }, 0,
     "", "", kAllThree},
};

std::vector<std::string> listed_labels(const nlohmann::json& doc)
{
    std::vector<std::string> labels;
    for (const auto& key : doc["keys"])
        labels.push_back(key["label"]);
    return labels;
}

TEST(CliDamagedList, EveryDamageReportedByLineTheGoodKeysListed)
{
    for (const Row& r : kRows) {
        SCOPED_TRACE(r.name);
        const std::string path = write_temp_file("damaged_rows.txt", list_file(r.damage));
        const CliRun run = run_cli({"list", "--json", path});
        const nlohmann::json doc = run.json();
        EXPECT_EQ(listed_labels(doc), r.listed);
        EXPECT_EQ(doc["count"], r.listed.size());
        if (r.line == 0) {
            EXPECT_EQ(run.status, 0);
            EXPECT_EQ(doc["problems"].size(), 0u) << doc["problems"];
            continue;
        }
        EXPECT_EQ(run.status, 1);
        ASSERT_EQ(doc["problems"].size(), 1u) << doc["problems"];
        const nlohmann::json& p = doc["problems"][0];
        EXPECT_EQ(p["line"], r.line);
        EXPECT_EQ(p.value("label", ""), r.label);
        const std::string reason = p["reason"];
        if (*r.reason != '\0')
            EXPECT_EQ(reason, r.reason);
        else
            EXPECT_NE(reason.find("looks like the"), std::string::npos) << reason;
        // verify fails on the damage alone: every listed key matches.
        const CliRun verify = run_cli({"verify", path});
        EXPECT_EQ(verify.status, 1);
        EXPECT_NE(verify.out.find(", 0 mismatches, 1 damaged entry\n"), std::string::npos)
            << verify.out;
    }
}

TEST(CliDamagedList, TextNamesTheLineAndTheKey)
{
    const std::string path =
        write_temp_file("damaged_text.txt", list_file([](Lines& l) { l[3] = "EXPONENT : 3x"; }));
    const CliRun verify = run_cli({"verify", path});
    EXPECT_EQ(verify.status, 1);
    EXPECT_EQ(verify.out, "A000000999_F1: OK\n"
                          "A000000999_F3: OK\n"
                          "Line 2: A000000999_F1: expiry_unknown: the list gives no expiry\n"
                          "Line 14: A000000999_F3: modulus_even: an RSA modulus is odd; this one "
                          "ends in E4\n"
                          "Line 14: A000000999_F3: expiry_unknown: the list gives no expiry\n"
                          "Line 11: A000000999_F2: EXPONENT: other characters after the number: "
                          "'3x'\n"
                          "Findings: 1 failure, 2 notes\n"
                          "Summary: 2 keys, 0 mismatches, 1 damaged entry\n");
    const CliRun list = run_cli({"list", path});
    EXPECT_EQ(list.lines().back(), "Problems: 1");
}

// A key cut off by the end of the file, and a damaged RID line whose key's
// other lines follow it: each one problem, nothing more.
TEST(CliDamagedList, KeyCutOffAndLinesOfADamagedKey)
{
    const std::string cut = ListEntry(kFirst) + "RID : \"A000000999\"\nINDEX : \"F2\"\n";
    const nlohmann::json doc = run_cli({"list", "--json", write_temp_file("cut.txt", cut)}).json();
    ASSERT_EQ(doc["problems"].size(), 1u) << doc;
    EXPECT_EQ(doc["problems"][0]["line"], 6);
    EXPECT_EQ(doc["problems"][0]["label"], "A000000999_F2");
    EXPECT_EQ(doc["problems"][0]["reason"], "key without its MODULUS line: the file ends first");
    EXPECT_EQ(doc["count"], 1);

    const std::string lower =
        "rid : \"A000000999\"\n" + ListEntry(kFirst).substr(19) + ListEntry(kLast);
    const nlohmann::json two =
        run_cli({"list", "--json", write_temp_file("lower.txt", lower)}).json();
    ASSERT_EQ(two["problems"].size(), 1u) << two;
    EXPECT_EQ(two["problems"][0]["line"], 1);
    EXPECT_EQ(listed_labels(two), std::vector<std::string>{"A000000999_F3"});
}

// The window's table holds 100 keys; the command-line reader has no limit.
TEST(CliDamagedList, EveryKeyOfALongListIsRead)
{
    std::string text;
    for (int i = 0; i < 300; ++i) {
        ListKey key = kFirst;
        key.index = static_cast<uint8_t>(i);
        key.rid[4] = static_cast<uint8_t>(i >> 8);
        // One modulus under two indexes would be a finding of its own.
        key.modulus[1] = static_cast<uint8_t>(i);
        key.modulus[2] = static_cast<uint8_t>(i >> 8);
        text += ListEntry(key);
    }
    const CliRun run = run_cli({"verify", write_temp_file("long.txt", text)});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines().back(), "Summary: 300 keys, 0 mismatches");
}

// rsa and recover issuer take no key from a damaged entry, even one whose
// label can be read: the line is named.
TEST(CliDamagedList, ADamagedKeyIsRefusedByLabel)
{
    const std::string path =
        write_temp_file("damaged_key.txt", list_file([](Lines& l) { l[2][20] = 'G'; }));
    const std::string block(48, '0');
    const CliRun rsa = run_cli({"rsa", "--capks", path, "--key", "a000000999_f2", block});
    EXPECT_EQ(rsa.status, 2);
    EXPECT_EQ(rsa.out, "");
    EXPECT_EQ(rsa.err, "tarvello-cli: --key: key A000000999_F2 at line 10 of '" + path +
                           "' has a problem: MODULUS: not a hex digit: 'G' at column 21\n");
    const CliRun recover = run_cli({"recover", "issuer", "--capks", path, "--key", "A000000999_F2",
                                    "--cert", block, "--exponent", "03"});
    EXPECT_EQ(recover.status, 2);
    EXPECT_NE(recover.err.find("--key: key A000000999_F2 at line 10 of"), std::string::npos)
        << recover.err;
    // The good keys of the same file are used.
    EXPECT_EQ(
        run_cli({"rsa", "--capks", path, "--key", "A000000999_F1", std::string(32, '0')}).status,
        0);
}

}  // namespace
