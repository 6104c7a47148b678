// Reading CAPK list files for the subcommands.

#include "cli/capk_list.h"

#include <cctype>

#include "cli/usage_error.h"
#include "core/capk_file.h"
#include "core/capk_rules.h"
#include "crypto/sha1/sha1.h"

std::vector<CapkRecord> load_capk_list(const std::string& argument, const std::string& path)
{
    std::vector<CapkRecord> records(kMaxCapks);
    int32_t count = 0;
    if (load_capk_file(path.c_str(), records.data(), &count) != 0) {
        throw UsageError(argument, "cannot open file '" + path + "'");
    }
    records.resize(static_cast<size_t>(count));
    return records;
}

CapkRecord find_listed_key(const std::string& list_argument, const std::string& path,
                           const std::string& key_argument, const std::string& label)
{
    std::string wanted = label;
    for (char& c : wanted)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    for (const CapkRecord& rec : load_capk_list(list_argument, path)) {
        char text[kCapkLabelSize];
        capk_label(&rec, text);
        if (wanted == text)
            return rec;
    }
    throw UsageError(key_argument, "no key labelled '" + label + "' in '" + path + "'");
}

KeyChecksum compute_checksum(const CapkRecord& rec)
{
    KeyChecksum sum;
    sum.input.resize(kCapkChecksumInputMax);
    // The list reader and the checksum subcommand store only 3 and 65537,
    // the two exponents the input has a form for.
    const int32_t n = capk_checksum_input(&rec, sum.input.data());
    sum.input.resize(static_cast<size_t>(n < 0 ? 0 : n));
    sum.digest.resize(kSha1DigestSize);
    const uint32_t length = static_cast<uint32_t>(sum.input.size());
    (void)sha1_compute(sum.digest.data(), sum.input.data(), length);
    return sum;
}
