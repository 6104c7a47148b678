// convert IN --to FORMAT [-o OUT]: every key of a CA key list written in
// another form. A list with a damaged entry or any failure but expiry is
// refused and nothing is written: conversion never carries a broken key into
// a terminal's file, nor repairs one silently.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "capk/key_list_writer.h"
#include "cli/capk_list.h"
#include "cli/command.h"
#include "cli/file_args.h"
#include "cli/list_report.h"
#include "cli/usage_error.h"
#include "cli/verdict.h"

namespace {

struct ConvertOptions {
    std::string in;
    std::string format;
    std::string to;
    std::string out;
    std::string date;
    bool json = false;
    CLI::Option* date_given = nullptr;
};

void say(const std::string& text)
{
    fputs(("tarvello-cli: " + text + "\n").c_str(), stderr);
}

// Damaged entries and failures other than expiry, named; true when any.
bool refuse(const KeyList& list, const std::vector<ListFinding>& findings)
{
    bool refused = false;
    for (const CapkListProblem& p : list.problems) {
        say("line " + std::to_string(p.line) + ": " + (p.label.empty() ? "" : p.label + ": ") +
            p.reason);
        refused = true;
    }
    for (const ListFinding& f : findings) {
        if (finding_kind(f.finding) == FindingKind::kFailure && f.finding != "expired") {
            say(finding_line(f));
            refused = true;
        }
    }
    return refused;
}

void write_out(const std::string& path, const std::string& text)
{
    if (path.empty()) {
        print_text(text);
        return;
    }
    errno = 0;
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr)
        throw_file_error(path, errno != 0 ? errno : EIO);
    const bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
    const int error = errno != 0 ? errno : EIO;
    if (fclose(file) != 0 || !written) {
        remove(path.c_str());
        throw_file_error(path, error);
    }
}

int run_convert(const ConvertOptions& o)
{
    // Without -o the list itself goes to standard output.
    if (o.json && o.out.empty())
        throw UsageError("--json", "needs -o: standard output carries the converted list");
    KeyList list = load_key_list(o.in, o.format);
    const int32_t today = judged_date(o.date_given->count() > 0, o.date);
    const std::vector<ListFinding> findings = find_list_faults(list, nullptr, today);
    if (refuse(list, findings)) {
        say(o.in + ": not converted: the list has the faults above");
        return kExitFailed;
    }
    CapkFormat to = CapkFormat::kTarvello;
    capk_format_from_name(o.to, to);
    size_t computed = 0;
    for (ListedKey& key : list.keys) {
        if (!key.has_checksum) {
            memcpy(key.checksum, listed_key_checksum(key).data(), sizeof key.checksum);
            key.has_checksum = true;
            ++computed;
        }
        for (const std::string& field : unheld_fields(key, to))
            say(listed_key_label(key) + " (line " + std::to_string(key.line) + "): " + field +
                ": the " + o.to + " form cannot hold it, not written");
    }
    for (const ListFinding& f : findings)
        if (f.finding == "expired")
            say(finding_line(f) + " (written)");
    if (computed > 0)
        say(std::to_string(computed) + (computed == 1 ? " key" : " keys") +
            " without a stored checksum: the computed one written");
    write_out(o.out, write_key_list(list.keys, to));
    if (o.json) {
        Json doc;
        doc["written"] = o.out;
        doc["format"] = o.to;
        doc["count"] = list.keys.size();
        doc["checksums_computed"] = computed;
        print_json(doc);
    }
    return kExitValid;
}

}  // namespace

void add_convert_command(CLI::App& app, Action& chosen)
{
    auto o = std::make_shared<ConvertOptions>();
    CLI::App* sub = add_command(
        app, "convert",
        "Write every key of a CA key list in another form (tarvello, pm3, tsv, tlv, json); "
        "a list with a damaged entry or a failure other than expiry is refused, nothing "
        "written (exit 1)",
        o->json, chosen, [o] { return run_convert(*o); });
    sub->add_option("IN", o->in, "CA key list (any form)")->required()->check(input_file());
    sub->add_option("--to", o->to, "The form to write")
        ->required()
        ->check(CLI::IsMember({"tarvello", "pm3", "tsv", "tlv", "json"}));
    sub->add_option("-o,--output", o->out, "File to write (default standard output)");
    sub->add_option("--format", o->format,
                    "Read IN in this form instead of telling it from the content")
        ->check(CLI::IsMember({"tarvello", "pm3", "tsv", "tlv", "json"}));
    o->date_given = sub->add_option("--date", o->date,
                                    "Date the expiries are judged at, YYMMDD (default today)");
    sub->footer("Expired keys are written and named on standard error, as are keys given "
                "the computed checksum and fields the target form cannot hold.\n"
                "Exit status: 0 written, 1 refused (the faults named), 2 a usage or input "
                "error.");
}
