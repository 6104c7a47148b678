// Reading CAPK list files for the subcommands.

#include "cli/capk_list.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "cli/file_args.h"
#include "cli/input_text.h"
#include "cli/usage_error.h"
#include "core/capk_rules.h"
#include "crypto/sha1/sha1.h"

namespace {

std::string upper_case(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string label_of(const CapkRecord& rec)
{
    char text[kCapkLabelSize];
    capk_label(&rec, text);
    return text;
}

}  // namespace

KeyList load_key_list(const std::string& path, const std::string& forced_format)
{
    const std::string text = read_input_text(path);
    CapkFormat format = CapkFormat::kTarvello;
    if (!forced_format.empty()) {
        if (!capk_format_from_name(forced_format, format))
            throw UsageError("--format", "'" + forced_format + "' is not a list format");
    } else if (!detect_capk_format(text, format)) {
        throw UsageError(path,
                         std::string("cannot tell the list's format: ") + capk_formats_expected());
    }
    return read_key_list(text, format);
}

StrictCapkList load_capk_list(const std::string& path)
{
    const KeyList read = load_key_list(path);
    StrictCapkList list;
    list.problems = read.problems;
    for (const ListedKey& key : read.keys) {
        const int64_t e = exponent_value(key.exponent);
        std::string why;
        if (key.modulus.size() > static_cast<size_t>(kMaxModulusLength))
            why = "a modulus of " + std::to_string(key.modulus.size()) + " bytes, over " +
                  std::to_string(kMaxModulusLength);
        else if (e != 3 && e != 65537)
            why = "exponent " + hex_upper(key.exponent) + ", not 3 or 65537";
        if (!why.empty()) {
            list.problems.push_back(
                {key.line, listed_key_label(key), "key cannot be used: " + why});
            continue;
        }
        CapkRecord rec;
        memset(&rec, 0, sizeof rec);
        memcpy(rec.rid, key.rid, 5);
        rec.index = key.index;
        memcpy(rec.modulus, key.modulus.data(), key.modulus.size());
        rec.modulus_length = static_cast<int32_t>(key.modulus.size());
        rec.exponent = static_cast<int32_t>(e);
        memcpy(rec.checksum, key.checksum, sizeof rec.checksum);
        list.keys.push_back(rec);
        list.key_lines.push_back(key.line);
        list.key_checksums.push_back(key.has_checksum);
    }
    std::stable_sort(
        list.problems.begin(), list.problems.end(),
        [](const CapkListProblem& a, const CapkListProblem& b) { return a.line < b.line; });
    return list;
}

CapkRecord find_listed_key(const std::string& path, const std::string& key_argument,
                           const std::string& label)
{
    const std::string wanted = upper_case(label);
    const StrictCapkList list = load_capk_list(path);
    // A damaged entry under the label may be the key meant: never use
    // another one in its place.
    for (const CapkListProblem& p : list.problems) {
        if (p.label == wanted) {
            throw UsageError(key_argument, "key " + wanted + " at line " + std::to_string(p.line) +
                                               " of '" + path + "' has a problem: " + p.reason);
        }
    }
    for (const CapkRecord& rec : list.keys) {
        if (label_of(rec) == wanted)
            return rec;
    }
    throw UsageError(key_argument, "no key labelled '" + label + "' in '" + path + "'");
}

Json problems_json(const std::vector<CapkListProblem>& problems)
{
    Json all = Json::array();
    for (const CapkListProblem& p : problems) {
        Json one;
        one["line"] = p.line;
        if (!p.label.empty())
            one["label"] = p.label;
        one["reason"] = p.reason;
        all.push_back(one);
    }
    return all;
}

void add_problem_lines(std::string& text, const std::vector<CapkListProblem>& problems)
{
    for (const CapkListProblem& p : problems)
        add_line(text, "Line " + std::to_string(p.line),
                 p.label.empty() ? p.reason : p.label + ": " + p.reason);
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
