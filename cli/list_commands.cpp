// list and verify: every key of a CAPK list file, as loaded and with its
// checksum recomputed.

#include <memory>

#include "cli/capk_list.h"
#include "cli/command.h"
#include "cli/output.h"
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

Json key_json(const CapkRecord& rec)
{
    Json key;
    key["label"] = label_of(rec);
    key["rid"] = hex_text(rec.rid, sizeof rec.rid);
    key["index"] = hex_text(&rec.index, 1);
    key["modulus_length"] = rec.modulus_length;
    key["exponent"] = rec.exponent;
    key["checksum"] = hex_text(rec.checksum, sizeof rec.checksum);
    return key;
}

int run_list(const ListOptions& opts)
{
    const std::vector<CapkRecord> keys = load_capk_list("FILE", opts.file);
    Json doc;
    doc["count"] = keys.size();
    doc["keys"] = Json::array();
    std::string text;
    for (const CapkRecord& rec : keys) {
        const Json key = key_json(rec);
        doc["keys"].push_back(key);
        add_line(text, text_value(key["label"]),
                 "RID " + text_value(key["rid"]) + ", index " + text_value(key["index"]) +
                     ", modulus length " + text_value(key["modulus_length"]) + ", exponent " +
                     text_value(key["exponent"]) + ", checksum " + text_value(key["checksum"]));
    }
    add_line(text, "Count", std::to_string(keys.size()));
    opts.json ? print_json(doc) : print_text(text);
    return 0;
}

std::string summary(size_t count, int mismatches)
{
    if (count == 0)
        return "no key loaded";
    return std::to_string(count) + (count == 1 ? " key, " : " keys, ") +
           std::to_string(mismatches) + (mismatches == 1 ? " mismatch" : " mismatches");
}

int run_verify(const ListOptions& opts)
{
    const std::vector<CapkRecord> keys = load_capk_list("FILE", opts.file);
    Json doc;
    doc["count"] = keys.size();
    doc["keys"] = Json::array();
    int mismatches = 0;
    std::string text;
    for (const CapkRecord& rec : keys) {
        Json key = key_json(rec);
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
    add_line(text, "Summary", summary(keys.size(), mismatches));
    opts.json ? print_json(doc) : print_text(text);
    // A file without a single key proves nothing: it fails like a mismatch.
    return !keys.empty() && mismatches == 0 ? 0 : 1;
}

void add_list_file_command(CLI::App& app, Action& chosen, const char* name, const char* description,
                           int (*run)(const ListOptions&))
{
    auto opts = std::make_shared<ListOptions>();
    CLI::App* sub =
        add_command(app, name, description, opts->json, chosen, [opts, run] { return run(*opts); });
    sub->add_option("FILE", opts->file, "CAPK list file")->required();
}

}  // namespace

void add_list_command(CLI::App& app, Action& chosen)
{
    add_list_file_command(app, chosen, "list",
                          "List every key of a CAPK list file: label, RID, index, modulus "
                          "length, exponent, stored checksum",
                          run_list);
}

void add_verify_command(CLI::App& app, Action& chosen)
{
    add_list_file_command(app, chosen, "verify",
                          "Recompute every key's checksum and compare it with the stored one "
                          "(exit 1 on any mismatch or when no key loads)",
                          run_verify);
}
