// rsa: the raw RSA public operation on one block, with the window's rules:
// the block is exactly as long as the modulus, and the modulus has at most
// 292 bytes; unlike the window, a block not below the modulus is refused.

#include <memory>

#include "cli/command.h"
#include "cli/hex_args.h"
#include "cli/key_options.h"
#include "cli/output.h"
#include "cli/usage_error.h"
#include "crypto/rsa/rsa.h"

namespace {

// Longest modulus the public operation supports, in bytes.
constexpr size_t kMaxRsaModulusLength = 292;

struct RsaOptions {
    KeyOptions key{"--modulus", "--exponent"};
    std::string data;
    bool json = false;
};

// block^exponent mod modulus, one block of the modulus's length. Throws
// UsageError for a failure of the operation (only the heap can fail once
// the lengths are checked).
std::vector<uint8_t> public_operation(const SignerKey& key, const std::vector<uint8_t>& block)
{
    RsaKey* ctx = nullptr;
    std::vector<uint8_t> result(key.modulus.size());
    const int32_t length = static_cast<int32_t>(key.modulus.size());
    CryptoStatus st = rsa_new(&ctx);
    if (st == CRYPTO_OK)
        st = rsa_set_public_key(ctx, key.modulus.data(), 8 * length, key.exponent);
    if (st == CRYPTO_OK)
        st = rsa_public(ctx, result.data(), block.data(), length);
    rsa_free(ctx);
    if (st != CRYPTO_OK)
        throw UsageError("DATA", "the RSA public operation failed");
    return result;
}

int run_rsa(const RsaOptions& opts)
{
    const SignerKey key = resolve_key(opts.key, kMaxRsaModulusLength);
    const std::vector<uint8_t> block = parse_hex_arg("DATA", opts.data);
    if (block.size() != key.modulus.size()) {
        throw UsageError("DATA", std::to_string(block.size()) + " bytes, the modulus has " +
                                     std::to_string(key.modulus.size()));
    }
    // Both are big-endian of one length: a block not below the modulus would
    // be reduced first, and the result would not be of the block given.
    if (!(block < key.modulus))
        throw UsageError("DATA", "the block is not below the modulus");
    std::vector<Field> fields;
    if (!key.label.empty())
        fields.push_back({"key", "Key", key.label});
    fields.push_back({"modulus_length", "Modulus length", key.modulus.size()});
    fields.push_back({"exponent", "Exponent", key.exponent});
    fields.push_back({"result", "Result", hex_text(public_operation(key, block))});
    print_fields(opts.json, fields);
    return 0;
}

}  // namespace

void add_rsa_command(CLI::App& app, Action& chosen)
{
    auto opts = std::make_shared<RsaOptions>();
    CLI::App* sub =
        add_command(app, "rsa", "Raw RSA public operation on one block as long as the modulus",
                    opts->json, chosen, [opts] { return run_rsa(*opts); });
    add_key_options(sub, opts->key);
    sub->add_option("DATA", opts->data, "The block in hex")->required();
}
