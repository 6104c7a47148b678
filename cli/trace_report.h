// What trace prints: every exchange of a log explained (the command named
// with what its parameters say and its data split by the DOL that built it,
// the status word and its meaning, the response's TLV tree decoded), and
// the ODA verdict of each transaction when a CAPK list was given. The HTML
// report is written from the same document.
//
// JSON: transactions (number, line of its first command, oda), exchanges
// (transaction, line, command {name, cla, ins, p1, p2, data, fields, and
// where they apply sfi, record, tag, cryptogram, cda, pin, aid, dol},
// status {sw, meaning}, response_data, response), oda (the first
// transaction's, as oda --json gives it; null without a CAPK list).
#pragma once

#include <string>
#include <vector>

#include "cli/output.h"
#include "trace/trace_file.h"

struct TraceReportOptions {
    bool show_pin = false;  // VERIFY's PIN block as it is, not masked
};

// One transaction of the log and its ODA document (null when not made).
struct TransactionView {
    int number;
    std::vector<TraceExchange> exchanges;
    Json oda;
};

Json trace_json(const std::vector<TransactionView>& transactions,
                const TraceReportOptions& options);

// The text form of a document trace_json made.
std::string trace_text(const Json& doc);

// The command as a heading: "READ RECORD SFI 1 record 2", "SELECT the PPSE
// (2PAY.SYS.DDF01)", "GENERATE AC asking for an ARQC, CDA requested".
std::string command_title(const Json& command);

// The command's bytes as a person reads them: "00B2010C Le 00", the data
// after the header, "PIN block (masked)" in its place when masked.
std::string command_bytes(const Json& command);

// A data element's line: "9F02 Amount, Authorised (Numeric), 6 bytes: 000000000100".
std::string field_text(const Json& field);
