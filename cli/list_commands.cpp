// list and verify: every key of a CA key list in any form, as read, and
// every entry that could not be read whole, by its line; verify adds every
// finding (capk/list_findings), alone or against a reference list. Either
// fails (exit 1) when the file has a damaged entry: a verifier that read
// only part of its input has not verified it.

#include <cstdio>
#include <memory>

#include "capk/key_list_json.h"
#include "cli/capk_list.h"
#include "cli/command.h"
#include "cli/file_args.h"
#include "cli/list_report.h"
#include "cli/output.h"
#include "cli/verdict.h"

namespace {

struct ListOptions {
    std::string file;
    std::string format;
    std::string date;
    std::string reference;
    bool json = false;
    CLI::Option* date_given = nullptr;
};

std::string plural(size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string key_text(const Json& key)
{
    std::string text = "RID " + text_value(key["rid"]) + ", index " + text_value(key["index"]) +
                       ", modulus length " + text_value(key["modulus_length"]) + ", exponent " +
                       text_value(key["exponent"]) + ", checksum " +
                       (key["checksum"].is_null() ? "none" : text_value(key["checksum"]));
    text += ", expiry " + (key["expiry"].is_null() ? "none" : text_value(key["expiry"]));
    text +=
        ", algorithms " + text_value(key["hash_algorithm"]) + "/" + text_value(key["pk_algorithm"]);
    if (!key["name"].is_null())
        text += ", name " + text_value(key["name"]);
    return text;
}

int run_list(const ListOptions& opts)
{
    const KeyList list = load_key_list(opts.file, opts.format);
    Json doc = Json(key_list_json(list.keys, list.format));
    doc["problems"] = problems_json(list.problems);
    std::string text;
    add_line(text, "Format", capk_format_name(list.format));
    for (const Json& key : doc["keys"])
        add_line(text, text_value(key["label"]), key_text(key));
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

std::string findings_summary(const FindingCounts& counts)
{
    std::string said;
    const auto add = [&said](size_t n, const char* one, const char* many) {
        if (n > 0)
            said += (said.empty() ? "" : ", ") + plural(n, one, many);
    };
    add(counts.failures, "failure", "failures");
    add(counts.undetermined, "key not verified", "keys not verified");
    add(counts.notes, "note", "notes");
    return said;
}

// The reference's own problems go to standard error; they never make a
// key pass.
std::unique_ptr<KeyList> load_reference(const std::string& path)
{
    if (path.empty())
        return nullptr;
    auto reference = std::make_unique<KeyList>(load_key_list(path));
    for (const CapkListProblem& p : reference->problems) {
        fprintf(stderr, "tarvello-cli: --reference: %s: line %lld: %s%s\n", path.c_str(),
                static_cast<long long>(p.line), p.label.empty() ? "" : (p.label + ": ").c_str(),
                p.reason.c_str());
    }
    return reference;
}

int run_verify(const ListOptions& opts)
{
    const KeyList list = load_key_list(opts.file, opts.format);
    const std::unique_ptr<KeyList> reference = load_reference(opts.reference);
    const int32_t today = judged_date(opts.date_given->count() > 0, opts.date);
    const std::vector<ListFinding> findings = find_list_faults(list, reference.get(), today);
    Json doc;
    doc["format"] = capk_format_name(list.format);
    doc["count"] = list.keys.size();
    doc["keys"] = Json::array();
    int mismatches = 0;
    std::string text;
    for (const ListedKey& key : list.keys) {
        Json k = Json(listed_key_json(key));
        const std::string computed = hex_upper(listed_key_checksum(key));
        const bool ok = listed_key_checksum_matches(key);
        k["computed"] = computed;
        k["ok"] = key.has_checksum ? Json(ok) : Json();
        doc["keys"].push_back(k);
        mismatches += key.has_checksum && !ok ? 1 : 0;
        add_line(text, listed_key_label(key),
                 !key.has_checksum ? "NO CHECKSUM, computed " + computed
                 : ok              ? "OK"
                      : "MISMATCH, stored " + hex_upper(key.checksum, 20) + ", computed " +
                            computed);
    }
    const FindingCounts counts = count_findings(findings);
    doc["mismatches"] = mismatches;
    doc["findings"] = findings_json(findings);
    doc["problems"] = problems_json(list.problems);
    add_finding_lines(text, findings);
    add_problem_lines(text, list.problems);
    if (!findings.empty())
        add_line(text, "Findings", findings_summary(counts));
    add_line(text, "Summary", summary(list.keys.size(), mismatches, list.problems.size()));
    opts.json ? print_json(doc) : print_text(text);
    // A file without a single key proves nothing: it fails like a mismatch.
    if (list.keys.empty() || counts.failures > 0 || !list.problems.empty())
        return kExitFailed;
    return counts.undetermined > 0 ? kExitNotDetermined : kExitValid;
}

CLI::App* add_list_file_command(CLI::App& app, Action& chosen, const char* name,
                                const char* description, std::shared_ptr<ListOptions> opts,
                                int (*run)(const ListOptions&))
{
    CLI::App* sub =
        add_command(app, name, description, opts->json, chosen, [opts, run] { return run(*opts); });
    sub->add_option("FILE", opts->file, "CA key list (tarvello, pm3, tsv, tlv or json form)")
        ->required()
        ->check(input_file());
    sub->add_option("--format", opts->format,
                    "Read the list in this form instead of telling it from the content")
        ->check(CLI::IsMember({"tarvello", "pm3", "tsv", "tlv", "json"}));
    return sub;
}

}  // namespace

void add_list_command(CLI::App& app, Action& chosen)
{
    add_list_file_command(app, chosen, "list",
                          "List every key of a CA key list in any form (label, RID, index, "
                          "modulus length, exponent, stored checksum, expiry, algorithm "
                          "indicators, name) and every damaged entry by its line (exit 1 when "
                          "there is one)",
                          std::make_shared<ListOptions>(), run_list);
}

void add_verify_command(CLI::App& app, Action& chosen)
{
    auto opts = std::make_shared<ListOptions>();
    CLI::App* sub = add_list_file_command(
        app, chosen, "verify",
        "Check every key of a CA key list: its checksum, conflicts, a modulus under two "
        "indexes, size, parity, exponent, expiry, and with --reference a list you trust; "
        "every finding named with its line (exit 1 on a failure or a damaged entry, 3 when "
        "a key without a checksum could not be verified)",
        opts, run_verify);
    opts->date_given = sub->add_option("--date", opts->date,
                                       "Date the expiries are judged at, YYMMDD (default today)");
    sub->add_option("--reference", opts->reference,
                    "A CA key list you trust (any form) to compare every key with")
        ->check(input_file());
    sub->footer("Findings: failures checksum_mismatch, conflict, same_index_modulus, "
                "modulus_too_long, modulus_even, exponent_not_allowed, expired, "
                "differs_from_reference, reference_key_elsewhere; not determined "
                "checksum_absent; notes repeated, shared_modulus, not_in_reference, "
                "expiry_unknown, unknown_tag, verified_by_reference.\n"
                "Exit status: 0 every key verified, 1 a failure or a damaged entry, 2 a usage "
                "or input error, 3 nothing failed but a key without a checksum was not "
                "verified.");
}
