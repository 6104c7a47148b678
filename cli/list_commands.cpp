// list and verify: every key of a CAPK list file, as read and with its
// checksum recomputed, and every entry that could not be read whole, by its
// line. Either fails (exit 1) when the file has a damaged entry: a verifier
// that read only part of its input has not verified it.

#include <memory>

#include "cli/capk_list.h"
#include "cli/command.h"
#include "cli/file_args.h"
#include "cli/output.h"
#include "cli/verdict.h"
#include "core/capk_rules.h"

namespace {

struct ListOptions {
    std::string file;
    bool json = false;
};

std::string label_of(const CapkRecord& rec)
{
    char text[kCapkLabelSize];
    capk_label(&rec, text);
    return text;
}

Json key_json(const CapkRecord& rec, int64_t line)
{
    Json key;
    key["label"] = label_of(rec);
    key["line"] = line;
    key["rid"] = hex_text(rec.rid, sizeof rec.rid);
    key["index"] = hex_text(&rec.index, 1);
    key["modulus_length"] = rec.modulus_length;
    key["exponent"] = rec.exponent;
    key["checksum"] = hex_text(rec.checksum, sizeof rec.checksum);
    return key;
}

std::string plural(size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

int run_list(const ListOptions& opts)
{
    const StrictCapkList list = load_capk_list(opts.file);
    Json doc;
    doc["count"] = list.keys.size();
    doc["keys"] = Json::array();
    std::string text;
    for (size_t i = 0; i < list.keys.size(); ++i) {
        const Json key = key_json(list.keys[i], list.key_lines[i]);
        doc["keys"].push_back(key);
        add_line(text, text_value(key["label"]),
                 "RID " + text_value(key["rid"]) + ", index " + text_value(key["index"]) +
                     ", modulus length " + text_value(key["modulus_length"]) + ", exponent " +
                     text_value(key["exponent"]) + ", checksum " + text_value(key["checksum"]));
    }
    doc["problems"] = problems_json(list.problems);
    add_problem_lines(text, list.problems);
    add_line(text, "Count", std::to_string(list.keys.size()));
    if (!list.problems.empty())
        add_line(text, "Problems", std::to_string(list.problems.size()));
    opts.json ? print_json(doc) : print_text(text);
    return list.problems.empty() ? kExitValid : kExitFailed;
}

std::string summary(size_t count, int mismatches, size_t problems)
{
    std::string said = count == 0
                           ? "no key loaded"
                           : plural(count, "key", "keys") + ", " +
                                 plural(static_cast<size_t>(mismatches), "mismatch", "mismatches");
    if (problems > 0)
        said += ", " + plural(problems, "damaged entry", "damaged entries");
    return said;
}

int run_verify(const ListOptions& opts)
{
    const StrictCapkList list = load_capk_list(opts.file);
    Json doc;
    doc["count"] = list.keys.size();
    doc["keys"] = Json::array();
    int mismatches = 0;
    std::string text;
    for (size_t i = 0; i < list.keys.size(); ++i) {
        const CapkRecord& rec = list.keys[i];
        Json key = key_json(rec, list.key_lines[i]);
        const std::string computed = hex_text(compute_checksum(rec).digest);
        const bool ok = computed == key["checksum"];
        key["computed"] = computed;
        key["ok"] = ok;
        doc["keys"].push_back(key);
        mismatches += ok ? 0 : 1;
        add_line(text, text_value(key["label"]),
                 ok ? "OK"
                    : "MISMATCH, stored " + text_value(key["checksum"]) + ", computed " + computed);
    }
    doc["mismatches"] = mismatches;
    doc["problems"] = problems_json(list.problems);
    add_problem_lines(text, list.problems);
    add_line(text, "Summary", summary(list.keys.size(), mismatches, list.problems.size()));
    opts.json ? print_json(doc) : print_text(text);
    // A file without a single key proves nothing: it fails like a mismatch.
    const bool verified = !list.keys.empty() && mismatches == 0 && list.problems.empty();
    return verified ? kExitValid : kExitFailed;
}

void add_list_file_command(CLI::App& app, Action& chosen, const char* name, const char* description,
                           int (*run)(const ListOptions&))
{
    auto opts = std::make_shared<ListOptions>();
    CLI::App* sub =
        add_command(app, name, description, opts->json, chosen, [opts, run] { return run(*opts); });
    sub->add_option("FILE", opts->file, "CAPK list file")->required()->check(input_file());
}

}  // namespace

void add_list_command(CLI::App& app, Action& chosen)
{
    add_list_file_command(app, chosen, "list",
                          "List every key of a CAPK list file (label, RID, index, modulus "
                          "length, exponent, stored checksum) and every damaged entry by its "
                          "line (exit 1 when there is one)",
                          run_list);
}

void add_verify_command(CLI::App& app, Action& chosen)
{
    add_list_file_command(app, chosen, "verify",
                          "Recompute every key's checksum and compare it with the stored one; "
                          "report every damaged entry by its line (exit 1 on any mismatch, any "
                          "damaged entry, or when no key loads)",
                          run_verify);
}
