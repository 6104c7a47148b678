// recover with chains made in the tests: each kind opened, exit 0 when valid,
// exit 1 with the one check that fails named, hash_ok null when the data the
// hash covers is not given.

#include <gtest/gtest.h>

#include "tests/cli/run_cli.h"
#include "tests/emv_support/emv_chain.h"

namespace {

using emv_chain::Bytes;
using emv_chain::to_hex;
using nlohmann::json;

// CA 1152 bits, issuer 1024 bits, ICC 1024 bits: both keys longer than
// their certificate's field, so both certificates have a remainder.
const emv_chain::Chain& chain()
{
    static const emv_chain::Chain c = emv_chain::make_chain(1152, 3, 1024, 65537, 1024, 3);
    return c;
}

std::vector<std::string> issuer_args(const Bytes& signed_cert)
{
    const emv_chain::Chain& c = chain();
    return {"recover",
            "issuer",
            "--json",
            "--ca-modulus",
            to_hex(c.ca->modulus),
            "--ca-exponent",
            "3",
            "--cert",
            to_hex(signed_cert),
            "--remainder",
            to_hex(c.issuer_cert.remainder),
            "--exponent",
            to_hex(c.issuer->exponent),
            "--date",
            "261209"};
}

std::vector<std::string> icc_args()
{
    const emv_chain::Chain& c = chain();
    return {"recover",
            "icc",
            "--json",
            "--issuer-modulus",
            to_hex(c.issuer->modulus),
            "--issuer-exponent",
            to_hex(c.issuer->exponent),
            "--cert",
            to_hex(c.icc_cert_signed),
            "--remainder",
            to_hex(c.icc_cert.remainder),
            "--exponent",
            to_hex(c.icc->exponent),
            "--pan",
            c.pan};
}

std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& more)
{
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// The names of the checks that failed.
std::vector<std::string> failed_checks(const json& doc)
{
    std::vector<std::string> names;
    for (const auto& check : doc["checks"].items()) {
        if (check.value() == false)
            names.push_back(check.key());
    }
    return names;
}

// The issuer certificate with one change, sealed again and signed.
Bytes issuer_cert_changed(size_t at, uint8_t value)
{
    const emv_chain::Chain& c = chain();
    Bytes block = c.issuer_cert.block;
    block[at] = value;
    emv_chain::seal(block, {c.issuer_cert.remainder, c.issuer_cert.exponent});
    return emv_chain::sign(*c.ca, block);
}

TEST(CliRecover, ValidIssuerCertificateGivesTheIssuerKey)
{
    const emv_chain::Chain& c = chain();
    const CliRun run = run_cli(with(issuer_args(c.issuer_cert_signed), {"--pan", c.pan}));
    ASSERT_EQ(run.status, 0) << run.err << run.out;
    const json doc = run.json();
    EXPECT_EQ(doc["format"], "02");
    EXPECT_EQ(doc["issuer_identifier"], "476173FF");
    EXPECT_EQ(doc["expiry"], "1249");
    EXPECT_EQ(doc["pk_length"], 128);
    EXPECT_EQ(doc["modulus"], to_hex(c.issuer->modulus));
    EXPECT_EQ(doc["exponent"], "010001");
    EXPECT_EQ(doc["hash_ok"], true);
    EXPECT_EQ(doc["valid"], true);
    EXPECT_EQ(doc["checks"].size(), 11u);
    EXPECT_TRUE(failed_checks(doc).empty());
    // A PAN short enough to be kept inside its string object.
    const CliRun short_pan = run_cli(with(issuer_args(c.issuer_cert_signed), {"--pan", "476173"}));
    EXPECT_EQ(short_pan.status, 0) << short_pan.out;
    EXPECT_EQ(short_pan.json()["checks"]["pan"], true);
}

// The value of "name value" in the published chain "long" of tests/data:
// its CA key is one of capk_public.txt.
std::string long_chain(const std::string& name)
{
    const std::string text = read_file(test_data("emv_published_chains.txt"));
    const size_t chain = text.find("\nchain long\n");
    const size_t at = text.find("\n" + name + " ", chain);
    EXPECT_TRUE(chain != std::string::npos && at != std::string::npos) << name;
    const size_t from = at + name.size() + 2;
    return text.substr(from, text.find('\n', from) - from);
}

TEST(CliRecover, PublishedIssuerCertificateUnderAListedKey)
{
    const CliRun run =
        run_cli({"recover", "issuer", "--json", "--capks", test_data("capk_public.txt"), "--key",
                 long_chain("ca_rid") + "_" + long_chain("ca_index"), "--cert",
                 long_chain("issuer_cert"), "--exponent", long_chain("issuer_exponent"), "--pan",
                 long_chain("pan"), "--date", "261209"});
    ASSERT_EQ(run.status, 0) << run.err;
    const json doc = run.json();
    EXPECT_EQ(doc["issuer_identifier"], "476173FF");
    EXPECT_EQ(doc["expiry"], "1231");
    EXPECT_EQ(doc["modulus"], long_chain("issuer_key"));
    EXPECT_EQ(doc["hash_ok"], true);
    EXPECT_EQ(doc["checks"].size(), 11u);
    EXPECT_EQ(doc["valid"], true);
}

TEST(CliRecover, EachDamageFailsItsOwnCheck)
{
    const emv_chain::Chain& c = chain();
    Bytes short_cert = c.issuer_cert_signed;
    short_cert.pop_back();
    Bytes flipped = c.issuer_cert_signed;
    flipped[40] ^= 0x01;
    std::vector<std::string> no_remainder = issuer_args(c.issuer_cert_signed);
    no_remainder.erase(no_remainder.begin() + 9, no_remainder.begin() + 11);
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::vector<std::string> failed;
    };
    const Case cases[] = {
        {"expired", issuer_args(issuer_cert_changed(7, 0x25)), {"expiry"}},
        {"other PAN",
         with(issuer_args(c.issuer_cert_signed), {"--pan", "5413330089020011"}),
         {"pan"}},
        {"format", issuer_args(issuer_cert_changed(1, 0x04)), {"format"}},
        {"hash algorithm", issuer_args(issuer_cert_changed(11, 0x02)), {"hash_algorithm"}},
        // The hash covers a remainder that is not given: not checked.
        {"no remainder", no_remainder, {"key_length"}},
        {"one byte short", issuer_args(short_cert), {"length"}},
        {"bit flipped", issuer_args(flipped), {}},
    };
    for (const Case& k : cases) {
        const CliRun run = run_cli(k.args);
        EXPECT_EQ(run.status, 1) << k.name << run.err;
        const json doc = run.json();
        EXPECT_EQ(doc["valid"], false) << k.name;
        if (!k.failed.empty()) {
            EXPECT_EQ(failed_checks(doc), k.failed) << k.name;
        }
    }
    // Nothing can be read from a block of the wrong length.
    const json doc = run_cli(issuer_args(short_cert)).json();
    EXPECT_TRUE(doc["format"].is_null());
    EXPECT_TRUE(doc["hash_ok"].is_null());
}

TEST(CliRecover, IccCertificateHashOnlyCheckedWithStaticData)
{
    const emv_chain::Chain& c = chain();
    // Without the data the hash covers nothing failed, but nothing is proven.
    const CliRun without = run_cli(icc_args());
    EXPECT_EQ(without.status, 3) << without.err;
    const json doc = without.json();
    EXPECT_TRUE(doc["hash_ok"].is_null());
    EXPECT_FALSE(doc["checks"].contains("hash"));
    EXPECT_TRUE(doc["valid"].is_null());
    EXPECT_EQ(doc["reason"], "hash not checked: no --static-data given");
    EXPECT_EQ(doc["pan"], "4761739001010119FFFF");
    EXPECT_EQ(doc["modulus"], to_hex(c.icc->modulus));

    const CliRun with_data = run_cli(with(icc_args(), {"--static-data", to_hex(c.static_data)}));
    EXPECT_EQ(with_data.status, 0) << with_data.err;
    EXPECT_EQ(with_data.json()["hash_ok"], true);
    EXPECT_EQ(with_data.json()["valid"], true);
    EXPECT_FALSE(with_data.json().contains("reason"));

    const CliRun wrong_data = run_cli(with(icc_args(), {"--static-data", "00"}));
    EXPECT_EQ(wrong_data.status, 1);
    EXPECT_EQ(failed_checks(wrong_data.json()), std::vector<std::string>{"hash"});
}

TEST(CliRecover, SignedStaticAndDynamicData)
{
    const emv_chain::Chain& c = chain();
    const std::vector<std::string> ssad = {"recover",
                                           "ssad",
                                           "--json",
                                           "--issuer-modulus",
                                           to_hex(c.issuer->modulus),
                                           "--issuer-exponent",
                                           to_hex(c.issuer->exponent),
                                           "--ssad",
                                           to_hex(c.ssad_signed),
                                           "--static-data"};
    const CliRun good = run_cli(with(ssad, {to_hex(c.static_data)}));
    EXPECT_EQ(good.status, 0) << good.err;
    EXPECT_EQ(good.json()["data_authentication_code"], "DAC0");
    EXPECT_EQ(run_cli(with(ssad, {"00"})).status, 1);

    const std::vector<std::string> sdad = {"recover",
                                           "sdad",
                                           "--json",
                                           "--icc-modulus",
                                           to_hex(c.icc->modulus),
                                           "--icc-exponent",
                                           to_hex(c.icc->exponent),
                                           "--sdad",
                                           to_hex(c.sdad_signed)};
    const CliRun checked = run_cli(with(sdad, {"--dynamic-data", to_hex(c.terminal_dynamic_data)}));
    EXPECT_EQ(checked.status, 0) << checked.err;
    EXPECT_EQ(checked.json()["icc_dynamic_data"], to_hex(c.icc_dynamic_data));
    EXPECT_EQ(checked.json()["hash_ok"], true);
    const CliRun unchecked = run_cli(sdad);
    EXPECT_EQ(unchecked.status, 3) << unchecked.err;
    EXPECT_TRUE(unchecked.json()["hash_ok"].is_null());
    EXPECT_TRUE(unchecked.json()["valid"].is_null());
    EXPECT_EQ(unchecked.json()["reason"], "hash not checked: no --dynamic-data given");
    // Empty terminal data is data: checked, and here wrong.
    const CliRun empty = run_cli(with(sdad, {"--dynamic-data", ""}));
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.json()["hash_ok"], false);
}

TEST(CliRecover, TextShowsEveryCheckAndValidLast)
{
    std::vector<std::string> args = icc_args();
    args.erase(args.begin() + 2);  // --json
    const CliRun run = run_cli(args);
    EXPECT_EQ(run.status, 3) << run.err;
    const std::vector<std::string> lines = run.lines();
    ASSERT_GE(lines.size(), 13u);
    EXPECT_EQ(lines[0], "Header: 6A");
    EXPECT_EQ(lines[1], "Format: 04");
    EXPECT_EQ(lines.back(), "Valid: not determined (hash not checked: no --static-data given)");
    const CliRun checked = run_cli(with(args, {"--static-data", to_hex(chain().static_data)}));
    EXPECT_EQ(checked.status, 0) << checked.err;
    EXPECT_EQ(checked.lines().back(), "Valid: yes");
    const std::vector<std::string> checks(lines.end() - 13, lines.end() - 1);
    EXPECT_EQ(checks[0], "Check length: passed");
    EXPECT_EQ(checks[7], "Check hash: not checked");
    EXPECT_EQ(checks[9], "Check PAN: passed");
}

}  // namespace
