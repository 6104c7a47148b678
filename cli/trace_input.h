// APDU trace files as the subcommands read them: the trace library's
// reader over a file or standard input, its errors as usage errors naming
// the input, and the exchanges in the form the ODA collection takes.
#pragma once

#include <string>
#include <vector>

#include "emv/emv_oda_card.h"
#include "trace/trace_file.h"

// The trace at path ("-": standard input). Throws UsageError "NAME: line N:
// problem" when it cannot be read, and names each unanswered command on
// standard error.
Trace load_trace(const std::string& path);

// The exchanges as the ODA collection takes them; they point into
// exchanges, which MUST outlive them.
std::vector<EmvExchange> emv_exchanges(const std::vector<TraceExchange>& exchanges);

// The exchanges of transaction number (1-based) of the trace; throws
// UsageError naming option when the trace has fewer transactions.
std::vector<TraceExchange> chosen_transaction(const Trace& trace, int number,
                                              const std::string& option);
