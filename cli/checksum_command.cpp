// checksum RID INDEX MODULUS EXPONENT: the checksum input of a key given by
// hand and its SHA-1 digest.

#include <cstring>
#include <memory>

#include "cli/capk_list.h"
#include "cli/command.h"
#include "cli/hex_args.h"
#include "cli/output.h"
#include "cli/scalar_args.h"
#include "cli/usage_error.h"
#include "core/capk_rules.h"

namespace {

struct ChecksumOptions {
    std::string rid;
    std::string index;
    std::string modulus;
    std::string exponent;
    bool json = false;
};

// The hex argument name, which must decode to between min and max bytes.
std::vector<uint8_t> sized_hex(const std::string& name, const std::string& text, size_t min,
                               size_t max)
{
    std::vector<uint8_t> bytes = parse_hex_arg(name, text);
    if (bytes.size() < min || bytes.size() > max) {
        const std::string want =
            min == max ? std::to_string(min) : std::to_string(min) + " to " + std::to_string(max);
        throw UsageError(name, std::to_string(bytes.size()) + " bytes, must be " + want);
    }
    return bytes;
}

CapkRecord record_from(const ChecksumOptions& opts)
{
    CapkRecord rec = {};
    const std::vector<uint8_t> rid = sized_hex("RID", opts.rid, 5, 5);
    const std::vector<uint8_t> index = sized_hex("INDEX", opts.index, 1, 1);
    const std::vector<uint8_t> modulus = sized_hex("MODULUS", opts.modulus, 1, kMaxModulusLength);
    memcpy(rec.rid, rid.data(), rid.size());
    rec.index = index[0];
    memcpy(rec.modulus, modulus.data(), modulus.size());
    rec.modulus_length = static_cast<int32_t>(modulus.size());
    rec.exponent = static_cast<int32_t>(parse_exponent_number("EXPONENT", opts.exponent));
    return rec;
}

int run_checksum(const ChecksumOptions& opts)
{
    const CapkRecord rec = record_from(opts);
    const KeyChecksum sum = compute_checksum(rec);
    char label[kCapkLabelSize];
    capk_label(&rec, label);
    print_fields(opts.json, {{"label", "Label", label},
                             {"input", "Checksum input", hex_text(sum.input)},
                             {"checksum", "Checksum", hex_text(sum.digest)}});
    return 0;
}

}  // namespace

void add_checksum_command(CLI::App& app, Action& chosen)
{
    auto opts = std::make_shared<ChecksumOptions>();
    CLI::App* sub = add_command(app, "checksum",
                                "The checksum input RID | index | modulus | exponent of a key "
                                "and its SHA-1 digest",
                                opts->json, chosen, [opts] { return run_checksum(*opts); });
    sub->add_option("RID", opts->rid, "Registered application provider id, 5 bytes in hex")
        ->required();
    sub->add_option("INDEX", opts->index, "Key index, 1 byte in hex")->required();
    sub->add_option("MODULUS", opts->modulus, "Modulus in hex, 1 to 248 bytes")->required();
    sub->add_option("EXPONENT", opts->exponent, "3 or 65537")->required();
}
