// oda --capks FILE TRACE: offline data authentication of the card in an
// APDU trace, made as a terminal makes it, with the CA key from a CAPK list.
//
// Exit status: 0 ODA passed; 1 it failed or was not performed; 2 a usage or
// input error (an unreadable or malformed trace or list, a response the
// method needs that is not well-formed).

#include <cstdio>
#include <cstring>
#include <memory>

#include "cli/capk_list.h"
#include "cli/command.h"
#include "cli/file_args.h"
#include "cli/html_report.h"
#include "cli/input_text.h"
#include "cli/oda_diagnosis_report.h"
#include "cli/oda_report.h"
#include "cli/oda_run.h"
#include "cli/scalar_args.h"
#include "cli/tlv_report.h"
#include "cli/trace_input.h"
#include "cli/trace_report.h"
#include "cli/usage_error.h"

namespace {

struct OdaOptions {
    std::string capks;
    std::string trace;
    std::string date;
    std::string method;
    bool json = false;
    CLI::Option* date_given = nullptr;
    int transaction = 1;
    std::string html;
    bool show_pin = false;
};

// The line an error names: the response's, unless the command is at fault.
int error_line(const Trace& trace, const EmvOdaError& error)
{
    const bool command = error.kind == EMV_ODA_ERROR_BAD_COMMAND;
    for (const TraceExchange& e : trace.exchanges) {
        if (e.command_line == error.line)
            return command ? e.command_line : e.response_line;
    }
    return error.line;
}

void check_collected(const std::string& name, const Trace& trace, const EmvOdaCard& card)
{
    if (card.error_count == 0)
        return;
    const EmvOdaError& first = card.errors[0];
    std::string problem =
        "line " + std::to_string(error_line(trace, first)) + ": " + emv_oda_error_text(first.kind);
    if (first.kind == EMV_ODA_ERROR_NOT_TLV)
        problem += ": " + tlv_problem_text(first.tlv);
    if (card.error_count > 1)
        problem += " (and " + std::to_string(card.error_count - 1) + " more)";
    throw UsageError(name, problem);
}

// The CA key of the list with the card's RID and index; found false when
// the card names none or the list has none.
struct CaKeyLookup {
    bool found = false;
    std::vector<uint8_t> modulus;
    std::vector<uint8_t> exponent;
    std::vector<CapkRecord> list;  // every key of the list, for the diagnosis
};

// The label of the key the card names ("A000000003_92"), empty when it
// names none.
std::string card_key_label(const EmvOdaCard& card)
{
    if (card.rid.length != 5 || card.ca_index.length != 1)
        return "";
    return hex_text(card.rid.data, 5) + "_" + hex_text(card.ca_index.data, 1);
}

// A damaged entry that may be the card's key is an input error: another
// key must never stand in for it. Damage elsewhere in the list is named on
// standard error and leaves the verdict alone.
void check_list_problems(const std::string& path, const StrictCapkList& list,
                         const std::string& label)
{
    for (const CapkListProblem& p : list.problems) {
        const std::string where = path + ": line " + std::to_string(p.line);
        if (!label.empty() && p.label == label)
            throw UsageError("--capks", where + ": the card's key " + label + ": " + p.reason);
    }
    for (const CapkListProblem& p : list.problems) {
        const std::string note =
            "tarvello-cli: --capks: " + path + ": line " + std::to_string(p.line) + ": " +
            (p.label.empty() ? "" : p.label + ": ") + p.reason + " (not the card's key)\n";
        fputs(note.c_str(), stderr);
    }
}

bool same_key(const CapkRecord& a, const CapkRecord& b)
{
    return a.modulus_length == b.modulus_length && a.exponent == b.exponent &&
           memcmp(a.modulus, b.modulus, static_cast<size_t>(a.modulus_length)) == 0;
}

// The card's key must be one the list vouches for: a stored checksum that
// does not match, or two entries under its label with different keys, is an
// input error naming the lines, as a damaged entry is.
void check_card_key(const std::string& path, const StrictCapkList& list, const std::string& label,
                    const std::vector<size_t>& found)
{
    const auto line_of = [&](size_t i) { return std::to_string(list.key_lines[i]); };
    for (size_t i : found) {
        if (!same_key(list.keys[found[0]], list.keys[i])) {
            throw UsageError("--capks", path + ": lines " + line_of(found[0]) + " and " +
                                            line_of(i) + ": the card's key " + label +
                                            " is given twice with different keys");
        }
    }
    // A form without checksums (tsv, a tlv key without DF03) vouches for
    // nothing more than the key itself.
    for (size_t i : found) {
        if (!list.key_checksums[i])
            continue;
        const KeyChecksum sum = compute_checksum(list.keys[i]);
        if (memcmp(sum.digest.data(), list.keys[i].checksum, 20) != 0) {
            throw UsageError("--capks", path + ": line " + line_of(i) + ": the card's key " +
                                            label + ": checksum does not match the key");
        }
    }
}

CaKeyLookup find_ca_key(const std::string& path, const EmvOdaCard& card)
{
    CaKeyLookup key;
    const StrictCapkList list = load_capk_list(path);
    const std::string label = card_key_label(card);
    check_list_problems(path, list, label);
    key.list = list.keys;
    if (label.empty())
        return key;
    std::vector<size_t> found;
    for (size_t i = 0; i < list.keys.size(); ++i) {
        const CapkRecord& rec = list.keys[i];
        if (memcmp(rec.rid, card.rid.data, 5) == 0 && rec.index == card.ca_index.data[0])
            found.push_back(i);
    }
    if (found.empty())
        return key;
    check_card_key(path, list, label, found);
    const CapkRecord& rec = list.keys[found[0]];
    key.found = true;
    key.modulus.assign(rec.modulus, rec.modulus + rec.modulus_length);
    key.exponent =
        rec.exponent == 3 ? std::vector<uint8_t>{0x03} : std::vector<uint8_t>{0x01, 0x00, 0x01};
    return key;
}

// The list's keys as the diagnosis takes them; they point into key.list.
std::vector<EmvListedCaKey> listed_keys(const CaKeyLookup& key)
{
    static const uint8_t three[] = {0x03};
    static const uint8_t f4[] = {0x01, 0x00, 0x01};
    std::vector<EmvListedCaKey> out;
    for (const CapkRecord& rec : key.list) {
        EmvListedCaKey listed = {};
        memcpy(listed.rid, rec.rid, 5);
        listed.index = rec.index;
        listed.key = {{rec.modulus, rec.modulus_length},
                      rec.exponent == 3 ? EmvBytes{three, 1} : EmvBytes{f4, 3}};
        out.push_back(listed);
    }
    return out;
}

OdaDate judged_date(const OdaRunOptions& o, const EmvOdaCard& card)
{
    if (o.date_given)
        return {parse_date("--date", o.date), "option"};
    EmvDate date;
    if (emv_oda_transaction_date(&card, &date))
        return {date, "transaction"};
    return {emv_today(), "today"};
}

EmvOdaMethod forced_method(const std::string& method)
{
    if (method == "sda")
        return EMV_ODA_SDA;
    if (method == "dda")
        return EMV_ODA_DDA;
    if (method == "cda")
        return EMV_ODA_CDA;
    if (method == "fdda")
        return EMV_ODA_FDDA;
    return EMV_ODA_METHOD_NONE;
}

}  // namespace

OdaRun run_oda_transaction(const std::string& name, const std::vector<TraceExchange>& transaction,
                           const OdaRunOptions& o)
{
    const Trace trace = {transaction, {}};
    const std::vector<EmvExchange> exchanges = emv_exchanges(transaction);
    auto card = std::make_unique<EmvOdaCard>();
    emv_oda_collect(exchanges.data(), static_cast<int32_t>(exchanges.size()), card.get());
    check_collected(name, trace, *card);

    const CaKeyLookup key = find_ca_key(o.capks, *card);
    const EmvCaKey ca_key = {{key.modulus.data(), static_cast<int32_t>(key.modulus.size())},
                             {key.exponent.data(), static_cast<int32_t>(key.exponent.size())}};
    const OdaDate date = judged_date(o, *card);
    const EmvOdaOptions options = {date.date, nullptr, forced_method(o.method)};
    auto result = std::make_unique<EmvOdaResult>();
    emv_oda_authenticate(card.get(), key.found ? &ca_key : nullptr, &options, result.get());
    const std::vector<EmvListedCaKey> list = listed_keys(key);
    auto diagnosis = std::make_unique<EmvOdaDiagnosis>();
    emv_oda_diagnose(card.get(), key.found ? &ca_key : nullptr, list.data(),
                     static_cast<int32_t>(list.size()), result.get(), diagnosis.get());

    Json doc = oda_json(*card, *result, date);
    doc["diagnosis"] = diagnosis_json(*card, *result, key.found ? &ca_key : nullptr, *diagnosis);
    return {doc, result->outcome == EMV_ODA_PASSED ? 0 : 1};
}

namespace {

int run_oda(const OdaOptions& o)
{
    const std::string name = input_name(o.trace);
    const Trace trace = load_trace(o.trace);
    const std::vector<TraceExchange> transaction =
        chosen_transaction(trace, o.transaction, "--transaction");
    const OdaRunOptions options = {o.capks, o.date, o.date_given->count() > 0, o.method};
    const OdaRun run = run_oda_transaction(name, transaction, options);
    if (!o.html.empty()) {
        const TraceReportOptions report = {o.show_pin};
        write_html_report(o.html, trace_json({{o.transaction, transaction, run.doc}}, report));
    }
    o.json ? print_json(run.doc) : print_text(oda_text(run.doc));
    return run.status;
}

}  // namespace

void add_oda_command(CLI::App& app, Action& chosen)
{
    auto o = std::make_shared<OdaOptions>();
    CLI::App* sub = add_command(
        app, "oda",
        "Offline data authentication (SDA, DDA, CDA, fDDA) of the card in an APDU trace, "
        "as a terminal makes it: each step, the failing one and the TVR bits "
        "(exit 0 passed, 1 failed or not performed); for fDDA the reader's action on failure",
        o->json, chosen, [o] { return run_oda(*o); });
    sub->footer("TRACE: a line '> HEX' is a command APDU, the next line '< HEX' its response "
                "(data, then SW1 SW2). Logs are read as they are: bracketed prefixes ([+], "
                "[TTL], a time stamp), one or more '>' or '<', C-APDU: and R-APDU:, a trailing "
                "(annotation); blank lines and lines starting with # are skipped; LF, CR LF and CR "
                "end a line. A bad line is refused with its line number.\n"
                "Only what a terminal reads counts: the records the AFL lists, each data object "
                "once, whole response templates; the card's key in --capks must match its "
                "checksum.\n"
                "A failed hash check, or an issuer certificate the list's key does not open, "
                "ends the output with a Diagnosis: the variants of the signed data (or the "
                "list's other keys) tried and each that matches; it never changes the "
                "verdict.\n"
                "Exit status: 0 ODA passed, 1 it failed or was not performed, 2 a usage or "
                "input error.");
    sub->add_option("--capks", o->capks, "CAPK list file holding the card's CA key")
        ->required()
        ->check(input_file());
    sub->add_option("TRACE", o->trace,
                    "APDU trace file ('> HEX' commands, '< HEX' responses); - for standard "
                    "input")
        ->required()
        ->check(input_file_or_stdin());
    o->date_given = sub->add_option("--date", o->date,
                                    "Date the expiries are judged at, YYMMDD (default: the "
                                    "transaction date of the trace, else today)");
    sub->add_option("--method", o->method, "Force the method instead of choosing it from the AIP")
        ->check(CLI::IsMember({"sda", "dda", "cda", "fdda"}));
    sub->add_option("--transaction", o->transaction,
                    "Which transaction of a log that holds several, 1 for the first (default)")
        ->check(CLI::PositiveNumber);
    sub->add_option("--html", o->html,
                    "Also write a self-contained HTML report of the transaction to FILE");
    sub->add_flag("--show-pin", o->show_pin,
                  "Show the PIN block of VERIFY in the HTML report (masked by default)");
}
