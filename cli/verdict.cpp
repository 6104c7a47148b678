// From checks to the exit status and what "valid" says.

#include "cli/verdict.h"

namespace {

bool any_failed(const EmvChecks& checks)
{
    return !emv_checks_valid(&checks);
}

std::string hash_reason(const VerdictContext& context)
{
    if (context.hash_data_option.empty())
        return "hash not checked: the data it covers was not given";
    return "hash not checked: no " + context.hash_data_option + " given";
}

int rank(int status)
{
    return status == kExitFailed ? 2 : status == kExitNotDetermined ? 1 : 0;
}

}  // namespace

Verdict emv_verdict(const EmvChecks& checks, const VerdictContext& context)
{
    if (any_failed(checks)) {
        Verdict v{kExitFailed, ""};
        if (context.today_unknown && checks.expiry == EMV_CHECK_FAILED)
            v.reason = "expiry failed: today's date cannot be had, give --date";
        return v;
    }
    if (checks.hash == EMV_CHECK_NOT_MADE)
        return {kExitNotDetermined, hash_reason(context)};
    return {kExitValid, ""};
}

Verdict worse_verdict(const Verdict& a, const Verdict& b)
{
    return rank(b.status) > rank(a.status) ? b : a;
}

Json verdict_valid(const Verdict& verdict)
{
    if (verdict.status == kExitNotDetermined)
        return nullptr;
    return verdict.status == kExitValid;
}

void add_verdict_json(Json& doc, const Verdict& verdict)
{
    doc["valid"] = verdict_valid(verdict);
    if (!verdict.reason.empty())
        doc["reason"] = verdict.reason;
}

std::string verdict_text(const Json& doc)
{
    const Json& valid = doc["valid"];
    const std::string reason = doc.contains("reason") ? doc["reason"].get<std::string>() : "";
    const std::string said = valid.is_null() ? "not determined" : valid.get<bool>() ? "yes" : "no";
    return reason.empty() ? said : said + " (" + reason + ")";
}
