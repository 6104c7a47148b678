// What list, verify and convert print about a key list: its findings as
// JSON and text lines, and the verdict they make.
#pragma once

#include <string>
#include <vector>

#include "capk/list_findings.h"
#include "cli/output.h"

// The date expiries are judged at (YYYYMMDD): --date when given, else today.
int32_t judged_date(bool given, const std::string& date);

Json findings_json(const std::vector<ListFinding>& findings);
// "Line 14: A000000004_05 (MasterCard): conflict: another key ... at line 10".
std::string finding_line(const ListFinding& f);
void add_finding_lines(std::string& text, const std::vector<ListFinding>& findings);

struct FindingCounts {
    size_t failures = 0;
    size_t undetermined = 0;
    size_t notes = 0;
};
FindingCounts count_findings(const std::vector<ListFinding>& findings);
