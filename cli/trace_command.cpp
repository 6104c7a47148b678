// trace TRACE: every exchange of a terminal's log explained, each
// transaction's ODA verdict with a CAPK list, and the HTML report.
//
// Exit status: 0 read and, with --capks, ODA passed in every transaction
// shown; 1 ODA failed or was not performed; 2 a usage or input error (the
// trace unreadable, a report that cannot be written, an exchange ODA needs
// that cannot be used).

#include <algorithm>
#include <cstdio>
#include <memory>

#include "cli/command.h"
#include "cli/file_args.h"
#include "cli/html_report.h"
#include "cli/input_text.h"
#include "cli/oda_run.h"
#include "cli/trace_input.h"
#include "cli/trace_report.h"
#include "cli/usage_error.h"
#include "cli/verdict.h"

namespace {

struct TraceOptions {
    std::string trace;
    std::string capks;
    std::string date;
    std::string html;
    int transaction = 0;  // 0: every transaction
    bool show_pin = false;
    bool json = false;
    CLI::Option* date_given = nullptr;
};

std::vector<TransactionView> transactions_of(const Trace& trace, int chosen)
{
    std::vector<TransactionView> views;
    const std::vector<size_t> starts = transaction_starts(trace.exchanges);
    if (chosen > 0) {
        views.push_back({chosen, chosen_transaction(trace, chosen, "--transaction"), nullptr});
        return views;
    }
    for (size_t n = 1; n <= starts.size(); ++n) {
        views.push_back(
            {static_cast<int>(n), transaction_exchanges(trace.exchanges, starts, n), nullptr});
    }
    return views;
}

// ODA of each transaction; one that cannot be made from the log is named
// in its place and on standard error, and makes the exit status 2 once the
// rest is shown.
int authenticate(const TraceOptions& o, const std::string& name,
                 std::vector<TransactionView>& views)
{
    int status = 0;
    const OdaRunOptions options = {o.capks, o.date, o.date_given->count() > 0, ""};
    for (TransactionView& view : views) {
        try {
            const OdaRun run = run_oda_transaction(name, view.exchanges, options);
            view.oda = run.doc;
            status = status == kExitUsage ? status : std::max(status, run.status);
        } catch (const UsageError& e) {
            view.oda = {{"error", e.what()}};
            fprintf(stderr, "tarvello-cli: %s\n", e.what());
            status = kExitUsage;
        }
    }
    return status;
}

int run_trace(const TraceOptions& o)
{
    const std::string name = input_name(o.trace);
    const Trace trace = load_trace(o.trace);
    std::vector<TransactionView> views = transactions_of(trace, o.transaction);
    const int status = o.capks.empty() ? 0 : authenticate(o, name, views);
    const Json doc = trace_json(views, {o.show_pin});
    if (!o.html.empty())
        write_html_report(o.html, doc);
    o.json ? print_json(doc) : print_text(trace_text(doc));
    return status;
}

}  // namespace

void add_trace_command(CLI::App& app, Action& chosen)
{
    auto o = std::make_shared<TraceOptions>();
    CLI::App* sub = add_command(
        app, "trace",
        "Every exchange of an APDU trace explained: commands named, data split by their DOL, "
        "status words, response TLV trees with the bit fields, CVM, amounts, currencies and "
        "dates decoded; with --capks each transaction's ODA verdict; --html a report for a "
        "browser",
        o->json, chosen, [o] { return run_trace(*o); });
    sub->footer("A log may hold several transactions (a SELECT of an application, then GET "
                "PROCESSING OPTIONS, again and again): each is shown with its number. The PIN "
                "block of VERIFY is masked unless --show-pin.\n"
                "Exit status: 0 read and, with --capks, ODA passed; 1 ODA failed or was not "
                "performed; 2 a usage or input error.");
    sub->add_option("TRACE", o->trace,
                    "APDU trace file ('> HEX' commands, '< HEX' responses); - for standard "
                    "input")
        ->required()
        ->check(input_file_or_stdin());
    sub->add_option("--capks", o->capks, "CAPK list file: make ODA of each transaction")
        ->check(input_file());
    o->date_given = sub->add_option("--date", o->date,
                                    "Date the expiries are judged at, YYMMDD (default: the "
                                    "transaction date of the trace, else today)");
    sub->add_option("--transaction", o->transaction,
                    "Only transaction N of a log that holds several (1 for the first)")
        ->check(CLI::PositiveNumber);
    sub->add_flag("--show-pin", o->show_pin, "Show the PIN block of VERIFY (masked by default)");
    sub->add_option("--html", o->html, "Also write a self-contained HTML report to FILE");
}
