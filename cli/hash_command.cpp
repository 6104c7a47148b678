// hash [HEX]: the SHA-1 digest of hex data, given as an argument or on
// standard input. Standard input is decoded and hashed piece by piece, so
// its length has no limit but the digest's 64-bit counter.

#include <cerrno>
#include <cstdio>
#include <cstring>
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

struct Digest {
    uint64_t length = 0;
    uint8_t value[kSha1DigestSize];
};

Digest hash_standard_input()
{
    Sha1Context ctx;
    sha1_init(&ctx);
    HexStream stream("standard input");
    Digest d;
    std::vector<char> text(64 * 1024);
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    size_t n;
    while ((n = fread(text.data(), 1, text.size(), stdin)) > 0) {
        bytes.clear();
        stream.feed(text.data(), n, bytes);
        sha1_update(&ctx, bytes.data(), static_cast<uint32_t>(bytes.size()));
        d.length += bytes.size();
    }
    if (ferror(stdin))
        throw UsageError("standard input", strerror(errno));
    stream.finish();
    sha1_final(&ctx, d.value);
    return d;
}

Digest hash_argument(const std::string& text)
{
    const std::vector<uint8_t> data = parse_hex_arg("HEX", text);
    Digest d;
    d.length = data.size();
    (void)sha1_compute(d.value, data.data(), static_cast<uint32_t>(data.size()));
    return d;
}

int run_hash(const HashOptions& opts)
{
    const Digest d = opts.data == "-" ? hash_standard_input() : hash_argument(opts.data);
    print_fields(opts.json, {{"length", "Length", d.length},
                             {"hash", "Hash", hex_text(d.value, sizeof d.value)}});
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
