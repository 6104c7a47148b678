// The report a browser opens: one self-contained HTML file (inline style,
// no script, no external anything) with the card and the verdict at the
// top, a picture of the certificate chain with each box coloured by its
// result and its checks listed, and every exchange with its decoded fields
// and collapsible TLV trees. Written from the document trace_json makes;
// every value from the card is escaped.
#pragma once

#include <string>

#include "cli/output.h"

std::string html_report(const Json& doc);

// Writes the report to path; throws UsageError when it cannot be written
// whole.
void write_html_report(const std::string& path, const Json& doc);

// Text made safe inside HTML elements and quoted attributes.
std::string html_escape(const std::string& text);
