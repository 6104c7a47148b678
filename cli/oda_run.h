// Offline data authentication of one transaction of a trace, as oda makes
// it; trace makes it the same way for each transaction it shows.
#pragma once

#include <string>
#include <vector>

#include "cli/output.h"
#include "trace/trace_file.h"

struct OdaRunOptions {
    std::string capks;  // the CAPK list file
    std::string date;   // YYMMDD, when date_given
    bool date_given = false;
    std::string method;  // "sda", "dda", "cda" or empty: from the AIP
};

// The document oda --json prints and the exit status (0 passed, 1 failed or
// not performed). name: the trace's name for messages. Throws UsageError for
// an exchange the method cannot use, or a damaged entry of the card's key.
struct OdaRun {
    Json doc;
    int status;
};

OdaRun run_oda_transaction(const std::string& name, const std::vector<TraceExchange>& exchanges,
                           const OdaRunOptions& options);
