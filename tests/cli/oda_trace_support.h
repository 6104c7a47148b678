// The published whole transaction of tests/data (trace_emvpt_dda.txt, its
// CA key in capk_emvpt_test.txt) for the oda, tlv and trace-format tests:
// read, rewritten in the other forms a log may take, and cut.
#pragma once

#include <functional>
#include <string>
#include <vector>

// The trace file's text.
std::string published_trace();

// The published trace with each command and response line ("> HEX",
// "< HEX") rewritten by rewrite(is_command, hex); other lines kept.
std::string rewritten_trace(const std::function<std::string(bool, const std::string&)>& rewrite);

// The published trace up to (not including) the first line that starts
// with prefix.
std::string trace_before(const std::string& prefix);

// The hex of the first response line whose hex starts with prefix.
std::string published_response(const std::string& prefix);

// oda with the published trace's CA key list and the given arguments.
std::vector<std::string> oda_args(const std::string& trace_path,
                                  std::vector<std::string> more = {});
