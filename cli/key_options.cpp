// Choosing the signer's key from a list or by hand.

#include "cli/key_options.h"

#include "cli/capk_list.h"
#include "cli/file_args.h"
#include "cli/hex_args.h"
#include "cli/scalar_args.h"
#include "cli/usage_error.h"
#include "core/capk_rules.h"

void add_key_options(CLI::App* sub, KeyOptions& opts)
{
    CLI::Option* capks = sub->add_option("--capks", opts.capks, "CAPK list file holding the key")
                             ->check(input_file());
    CLI::Option* key = sub->add_option("--key", opts.key, "Label of the key, e.g. A000000003_09");
    CLI::Option* modulus = sub->add_option(opts.modulus_flag, opts.modulus, "Modulus in hex");
    CLI::Option* exponent =
        sub->add_option(opts.exponent_flag, opts.exponent, "3 or 65537 (or in hex: 03 or 010001)");
    capks->needs(key);
    key->needs(capks);
    modulus->needs(exponent);
    exponent->needs(modulus);
    capks->excludes(modulus)->excludes(exponent);
    key->excludes(modulus)->excludes(exponent);
    opts.listed = key;
    opts.typed = modulus;
}

static SignerKey listed_key(const KeyOptions& opts)
{
    const CapkRecord rec = find_listed_key(opts.capks, "--key", opts.key);
    char label[kCapkLabelSize];
    capk_label(&rec, label);
    return {label, std::vector<uint8_t>(rec.modulus, rec.modulus + rec.modulus_length),
            static_cast<uint32_t>(rec.exponent)};
}

SignerKey resolve_key(const KeyOptions& opts, size_t max_length)
{
    SignerKey key;
    std::string source;
    // Each option of a pair needs the other, so one of each pair tells.
    if (opts.listed->count() > 0) {
        key = listed_key(opts);
        source = "--key";
    } else if (opts.typed->count() > 0) {
        key = {"", parse_hex_arg(opts.modulus_flag, opts.modulus),
               parse_exponent_number(opts.exponent_flag, opts.exponent)};
        source = opts.modulus_flag;
    } else {
        throw UsageError("--capks/--key or " + opts.modulus_flag + "/" + opts.exponent_flag,
                         "a key is required");
    }
    check_modulus(source, key.modulus, max_length);
    return key;
}

void check_modulus(const std::string& argument, const std::vector<uint8_t>& modulus,
                   size_t max_length)
{
    if (modulus.empty())
        throw UsageError(argument, "the modulus is empty");
    if (modulus.size() > max_length) {
        throw UsageError(argument, "the modulus has " + std::to_string(modulus.size()) +
                                       " bytes, at most " + std::to_string(max_length) +
                                       " are supported");
    }
    // A leading zero byte would make the block one byte shorter than the
    // modulus as typed, and every block of that length too long.
    if (modulus[0] == 0)
        throw UsageError(argument, "the modulus starts with a zero byte");
}
