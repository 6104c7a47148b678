// The verdict on what the program checked: the exit status every subcommand
// ends with, "valid" as JSON (true, false, or null when not determined) and,
// when the user can do something about it, the reason.
//
// A verdict is "valid" only when every check that decides it was made and
// passed. The hash decides: when the data it covers is not given, nothing
// failed but nothing was proven either (status 3). Checks that a kind of
// block does not have, and the PAN check without a PAN, do not decide.
#pragma once

#include <string>

#include "cli/output.h"
#include "emv/emv.h"

constexpr int kExitValid = 0;          // every check made and passed
constexpr int kExitFailed = 1;         // a check failed
constexpr int kExitUsage = 2;          // a usage or input error
constexpr int kExitNotDetermined = 3;  // nothing failed, a deciding check was not made

struct Verdict {
    int status = kExitValid;  // kExitValid, kExitFailed or kExitNotDetermined
    std::string reason;       // empty, or why not determined / why failed
};

// What the caller knows about the checks that could not be made well.
struct VerdictContext {
    // The option that gives the data the hash covers ("--static-data"); named
    // in the reason when the hash was not checked.
    std::string hash_data_option;
    // The expiry was judged without a date: today's could not be had.
    bool today_unknown = false;
};

Verdict emv_verdict(const EmvChecks& checks, const VerdictContext& context);

// The worse of two verdicts: failed before not determined before valid; the
// first reason of the worse kind is kept.
Verdict worse_verdict(const Verdict& a, const Verdict& b);

// true, false or null.
Json verdict_valid(const Verdict& verdict);

// Adds "valid" and, when there is a reason, "reason" to doc.
void add_verdict_json(Json& doc, const Verdict& verdict);

// "yes", "no", "no (reason)" or "not determined (reason)", from the members
// add_verdict_json wrote.
std::string verdict_text(const Json& doc);
