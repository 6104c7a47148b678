// Reading trace files for oda and trace.

#include "cli/trace_input.h"

#include <cstdio>

#include "cli/input_text.h"
#include "cli/usage_error.h"

Trace load_trace(const std::string& path)
{
    const std::string name = input_name(path);
    const std::string text = read_input_text(path);
    Trace trace;
    try {
        trace = read_trace(text);
    } catch (const TraceError& e) {
        throw UsageError(name, e.what());
    }
    for (int line : trace.unanswered) {
        fprintf(stderr, "tarvello-cli: %s: line %d: a command without a response, ignored\n",
                name.c_str(), line);
    }
    return trace;
}

std::vector<EmvExchange> emv_exchanges(const std::vector<TraceExchange>& exchanges)
{
    std::vector<EmvExchange> out;
    for (const TraceExchange& e : exchanges) {
        out.push_back({{e.command.data(), static_cast<int32_t>(e.command.size())},
                       {e.response.data(), static_cast<int32_t>(e.response.size())},
                       e.command_line});
    }
    return out;
}

std::vector<TraceExchange> chosen_transaction(const Trace& trace, int number,
                                              const std::string& option)
{
    const std::vector<size_t> starts = transaction_starts(trace.exchanges);
    if (number < 1 || static_cast<size_t>(number) > starts.size()) {
        throw UsageError(option, std::to_string(number) + ": the trace holds " +
                                     std::to_string(starts.size()) +
                                     (starts.size() == 1 ? " transaction" : " transactions"));
    }
    return transaction_exchanges(trace.exchanges, starts, static_cast<size_t>(number));
}
