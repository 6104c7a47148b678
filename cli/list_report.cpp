// Findings of a key list, printed.

#include "cli/list_report.h"

#include "cli/scalar_args.h"
#include "emv/emv.h"

int32_t judged_date(bool given, const std::string& date)
{
    const EmvDate d = given ? parse_date("--date", date) : emv_today();
    return d.year * 10000 + d.month * 100 + d.day;
}

Json findings_json(const std::vector<ListFinding>& findings)
{
    Json all = Json::array();
    for (const ListFinding& f : findings) {
        Json one;
        one["line"] = f.line;
        one["key"] = f.key.empty() ? Json() : Json(f.key);
        one["name"] = f.has_name ? Json(f.name) : Json();
        one["finding"] = f.finding;
        one["detail"] = f.detail;
        all.push_back(one);
    }
    return all;
}

std::string finding_line(const ListFinding& f)
{
    std::string who = f.key;
    if (f.has_name)
        who += " (" + f.name + ")";
    return "Line " + std::to_string(f.line) + ": " + (who.empty() ? "" : who + ": ") + f.finding +
           ": " + f.detail;
}

void add_finding_lines(std::string& text, const std::vector<ListFinding>& findings)
{
    for (const ListFinding& f : findings)
        text += finding_line(f) + "\n";
}

FindingCounts count_findings(const std::vector<ListFinding>& findings)
{
    FindingCounts counts;
    for (const ListFinding& f : findings) {
        switch (finding_kind(f.finding)) {
            case FindingKind::kFailure:
                ++counts.failures;
                break;
            case FindingKind::kUndetermined:
                ++counts.undetermined;
                break;
            default:
                ++counts.notes;
                break;
        }
    }
    return counts;
}
