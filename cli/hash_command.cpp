// hash [HEX]: the SHA-1 digest of hex data, given as an argument or on
// standard input.

#include <cstdio>
#include <memory>

#include "cli/command.h"
#include "cli/hex_args.h"
#include "cli/output.h"
#include "cli/usage_error.h"
#include "crypto/sha1/sha1.h"

namespace {

struct HashOptions {
    std::string data = "-";
    bool json = false;
};

std::string read_standard_input()
{
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, stdin)) > 0)
        text.append(buffer, n);
    if (ferror(stdin))
        throw UsageError("standard input", "read error");
    return text;
}

int run_hash(const HashOptions& opts)
{
    const bool from_input = opts.data == "-";
    const std::vector<uint8_t> data = from_input
                                          ? parse_hex_arg("standard input", read_standard_input())
                                          : parse_hex_arg("HEX", opts.data);
    uint8_t digest[kSha1DigestSize];
    (void)sha1_compute(digest, data.data(), static_cast<uint32_t>(data.size()));
    print_fields(opts.json, {{"length", "Length", data.size()},
                             {"hash", "Hash", hex_text(digest, sizeof digest)}});
    return 0;
}

}  // namespace

void add_hash_command(CLI::App& app, Action& chosen)
{
    auto opts = std::make_shared<HashOptions>();
    CLI::App* sub = add_command(app, "hash", "SHA-1 digest of hex data", opts->json, chosen,
                                [opts] { return run_hash(*opts); });
    sub->add_option("HEX", opts->data, "Data in hex; standard input when absent or -");
}
