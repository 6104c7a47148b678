// hash and rsa against OpenSSL.

#include <openssl/bn.h>
#include <openssl/sha.h>

#include <random>

#include <gtest/gtest.h>

#include "tests/cli/run_cli.h"
#include "tests/emv_support/emv_chain.h"

namespace {

const auto hex = emv_chain::to_hex;

std::string sha1_hex(const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> digest(SHA_DIGEST_LENGTH);
    SHA1(data.data(), data.size(), digest.data());
    return hex(digest);
}

// base^e mod n, as many bytes as n.
std::vector<uint8_t> mod_exp(const std::vector<uint8_t>& base, unsigned e,
                             const std::vector<uint8_t>& n)
{
    BN_CTX* ctx = BN_CTX_new();
    BIGNUM* b = BN_bin2bn(base.data(), static_cast<int>(base.size()), nullptr);
    BIGNUM* m = BN_bin2bn(n.data(), static_cast<int>(n.size()), nullptr);
    BIGNUM* x = BN_new();
    BIGNUM* r = BN_new();
    BN_set_word(x, e);
    BN_mod_exp(r, b, x, m, ctx);
    std::vector<uint8_t> out(n.size());
    BN_bn2binpad(r, out.data(), static_cast<int>(out.size()));
    BN_free(b);
    BN_free(m);
    BN_free(x);
    BN_free(r);
    BN_CTX_free(ctx);
    return out;
}

std::vector<uint8_t> random_bytes(std::mt19937& rng, size_t n)
{
    std::vector<uint8_t> bytes(n);
    for (uint8_t& b : bytes)
        b = static_cast<uint8_t>(rng());
    return bytes;
}

TEST(CliHash, ArgumentAndStandardInput)
{
    std::mt19937 rng(20261209);
    const std::vector<uint8_t> data = random_bytes(rng, 1000);
    const std::string expected = sha1_hex(data);
    std::string spaced;
    for (uint8_t b : data)
        spaced += hex({b}) + (spaced.size() % 7 == 0 ? "\n" : " ");

    const CliRun arg = run_cli({"hash", "--json", hex(data)});
    EXPECT_EQ(arg.status, 0) << arg.err;
    EXPECT_EQ(arg.json()["hash"], expected);
    EXPECT_EQ(arg.json()["length"], 1000);
    const CliRun in = run_cli({"hash"}, spaced);
    EXPECT_EQ(in.status, 0) << in.err;
    EXPECT_EQ(in.out, "Length: 1000\nHash: " + expected + "\n");
    EXPECT_EQ(run_cli({"hash", "-"}, "61 62 63\n").lines().at(1),
              "Hash: A9993E364706816ABA3E25717850C26C9CD0D89D");
    EXPECT_EQ(run_cli({"hash", ""}).lines().at(1),
              "Hash: DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
}

TEST(CliRsa, PublicOperationMatchesOpenSsl)
{
    std::mt19937 rng(7);
    struct Case {
        size_t length;
        unsigned exponent;
    };
    for (const Case c : {Case{1, 3}, Case{128, 3}, Case{248, 65537}, Case{292, 3}}) {
        std::vector<uint8_t> n = random_bytes(rng, c.length);
        n[0] |= 0x80;
        n.back() |= 1;
        std::vector<uint8_t> block = random_bytes(rng, c.length);
        block[0] &= 0x7F;
        const CliRun run = run_cli({"rsa", "--json", "--modulus", hex(n), "--exponent",
                                    std::to_string(c.exponent), hex(block)});
        ASSERT_EQ(run.status, 0) << c.length << " " << run.err;
        EXPECT_EQ(run.json()["result"], hex(mod_exp(block, c.exponent, n))) << c.length;
        EXPECT_EQ(run.json()["modulus_length"], c.length);
    }
}

TEST(CliRsa, KeyFromAList)
{
    const std::string list = test_data("capk_public.txt");
    const std::vector<std::string> keys = {"--capks", list, "--key", "a000000003_08"};
    std::vector<std::string> args = {"rsa"};
    args.insert(args.end(), keys.begin(), keys.end());
    args.push_back(std::string(352, '1'));
    const CliRun run = run_cli(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.lines().at(0), "Key: A000000003_08");
    EXPECT_EQ(run.lines().at(1), "Modulus length: 176");

    args.back() = std::string(350, '1');
    const CliRun short_block = run_cli(args);
    EXPECT_EQ(short_block.status, 2);
    EXPECT_EQ(short_block.err, "tarvello-cli: DATA: 175 bytes, the modulus has 176\n");
}

}  // namespace
