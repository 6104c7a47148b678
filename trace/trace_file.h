// APDU trace files: the log of one card session as text, read into the
// exchanges (command APDU, response APDU) that offline data authentication
// works on.
//
// A line "> HEX" is a command APDU, the line "< HEX" after it its response
// (data, then SW1 SW2). The logs users already have are read as they are:
//  - before the marker, any number of bracketed prefixes ("[+]", "[TTL]",
//    "[12:01:07.125]"), each followed by blanks or not;
//  - a command marker is one or more '>' or "C-APDU:", a response marker one
//    or more '<' or "R-APDU:" (either letter case);
//  - a trailing annotation in parentheses, "(SELECT)", is ignored.
// Blank lines and lines whose first non-blank character is '#' are skipped;
// a line ends with LF, CR LF or a CR alone, and a UTF-8 byte order mark at
// the start is passed over. The hex is read strictly, as the hex arguments
// are (cli/hex_args.h).
//
// Refused with the line number (TraceError): a line of any
// other form, bad hex, a command shorter than its 4-byte header, a response
// shorter than SW1 SW2, a response without its command, a trace without
// one answered command. A command with no
// response after it (the log ends, or the next line is a command) is
// unanswered: left out of the exchanges and its line listed.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

struct TraceExchange {
    std::vector<uint8_t> command;
    std::vector<uint8_t> response;  // data | SW1 SW2
    int command_line;               // 1-based line numbers in the file
    int response_line;
};

struct Trace {
    std::vector<TraceExchange> exchanges;  // in file order
    std::vector<int> unanswered;           // lines of commands left without a response
};

// Why a trace cannot be read: the line at fault (0: the whole trace) and
// what is wrong with it ("not a hex digit: 'G' at position 6"). A caller
// adds the file's name.
class TraceError : public std::runtime_error {
public:
    TraceError(int line, const std::string& problem)
        : std::runtime_error(line > 0 ? "line " + std::to_string(line) + ": " + problem : problem),
          line_(line)
    {
    }
    int line() const { return line_; }

private:
    int line_;
};

// Reads the trace text; throws TraceError.
Trace read_trace(const std::string& text);

// Where each transaction of the exchanges starts: the index of the exchange
// that opens it. A transaction opens with the SELECT of an application (by
// name, not the payment system's directory) answered before a GET
// PROCESSING OPTIONS, whose answer is the transaction's; the exchanges
// before the first such SELECT belong to the first transaction. A log
// without a GET PROCESSING OPTIONS is one transaction. Never empty: the
// first entry is 0.
std::vector<size_t> transaction_starts(const std::vector<TraceExchange>& exchanges);

// The exchanges of transaction number (1-based) of the starts given; empty
// when there is no such transaction.
std::vector<TraceExchange> transaction_exchanges(const std::vector<TraceExchange>& exchanges,
                                                 const std::vector<size_t>& starts, size_t number);
