// Where the transactions of a log start: several taps, or several cards,
// written one after the other into one file.

#include "trace/trace_file.h"

namespace {

bool is_select_by_name(const TraceExchange& e)
{
    return e.command.size() >= 4 && e.command[0] == 0x00 && e.command[1] == 0xA4 &&
           e.command[2] == 0x04;
}

bool is_gpo(const TraceExchange& e)
{
    return e.command.size() >= 4 && e.command[0] == 0x80 && e.command[1] == 0xA8;
}

// The card took the GET PROCESSING OPTIONS: 9000, or T=0's 61XX whose
// GET RESPONSE carries the answer. A refusal (6985: select another
// application) keeps the terminal in the same transaction.
bool gpo_taken(const TraceExchange& e)
{
    const size_t n = e.response.size();
    return n >= 2 &&
           ((e.response[n - 2] == 0x90 && e.response[n - 1] == 0x00) || e.response[n - 2] == 0x61);
}

}  // namespace

std::vector<size_t> transaction_starts(const std::vector<TraceExchange>& exchanges)
{
    std::vector<size_t> starts = {0};
    bool taken = false;    // the current transaction's GPO was taken
    size_t candidate = 0;  // the first SELECT by name since then, or 0
    for (size_t i = 0; i < exchanges.size(); ++i) {
        const TraceExchange& e = exchanges[i];
        if (taken && candidate == 0 && is_select_by_name(e))
            candidate = i;
        if (!is_gpo(e))
            continue;
        if (taken && candidate != 0) {
            starts.push_back(candidate);
            taken = false;
        }
        candidate = 0;
        taken = taken || gpo_taken(e);
    }
    return starts;
}

std::vector<TraceExchange> transaction_exchanges(const std::vector<TraceExchange>& exchanges,
                                                 const std::vector<size_t>& starts, size_t number)
{
    if (number == 0 || number > starts.size())
        return {};
    const size_t end = number < starts.size() ? starts[number] : exchanges.size();
    return {exchanges.begin() + static_cast<std::ptrdiff_t>(starts[number - 1]),
            exchanges.begin() + static_cast<std::ptrdiff_t>(end)};
}
