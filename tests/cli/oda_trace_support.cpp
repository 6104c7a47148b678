// Reading and rewriting the published trace.

#include "tests/cli/oda_trace_support.h"

#include <sstream>
#include <vector>

#include "tests/cli/run_cli.h"

std::string published_trace()
{
    return read_file(test_data("trace_emvpt_dda.txt"));
}

std::string rewritten_trace(const std::function<std::string(bool, const std::string&)>& rewrite)
{
    std::istringstream in(published_trace());
    std::string out;
    std::string line;
    while (std::getline(in, line)) {
        const bool exchange = line.size() > 2 && (line[0] == '>' || line[0] == '<');
        out += exchange ? rewrite(line[0] == '>', line.substr(2)) : line + "\n";
    }
    return out;
}

std::string trace_before(const std::string& prefix)
{
    const std::string text = published_trace();
    const size_t at = text.find("\n" + prefix);
    return at == std::string::npos ? text : text.substr(0, at + 1);
}

std::string published_response(const std::string& prefix)
{
    const std::string text = published_trace();
    const size_t at = text.find("\n< " + prefix);
    if (at == std::string::npos)
        return "";
    const size_t from = at + 3;
    return text.substr(from, text.find('\n', from) - from);
}

std::vector<std::string> oda_args(const std::string& trace_path, std::vector<std::string> more)
{
    std::vector<std::string> args = {"oda", "--json", "--capks", test_data("capk_emvpt_test.txt"),
                                     trace_path};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}
