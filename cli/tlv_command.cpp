// tlv [HEX|-]: BER-TLV decoded as a tree of tags with their names, and what
// the values of DOLs, the AFL, the AIP and dates mean.

#include <memory>

#include "cli/command.h"
#include "cli/hex_args.h"
#include "cli/input_text.h"
#include "cli/tlv_report.h"
#include "cli/usage_error.h"

namespace {

struct TlvOptions {
    std::string data = "-";
    bool json = false;
};

int run_tlv(const TlvOptions& opts)
{
    const bool from_input = opts.data == "-";
    const std::string name = from_input ? input_name("-") : "HEX";
    const std::vector<uint8_t> data =
        parse_hex_arg(name, from_input ? read_input_text("-") : opts.data);
    const EmvBytes bytes = {data.data(), static_cast<int32_t>(data.size())};
    EmvTlvError error;
    if (emv_tlv_check(bytes, &error) != EMV_TLV_OK)
        throw UsageError(name, "not well-formed BER-TLV: " + tlv_problem_text(error));
    opts.json ? print_json(tlv_json(bytes)) : print_text(tlv_text(bytes));
    return 0;
}

}  // namespace

void add_tlv_command(CLI::App& app, Action& chosen)
{
    auto opts = std::make_shared<TlvOptions>();
    CLI::App* sub = add_command(
        app, "tlv",
        "Decode BER-TLV card data: tags with their names, lengths and "
        "values; DOLs, AFL, AIP, dates, the contactless qualifiers (9F66, 9F6C) and 9F69 decoded",
        opts->json, chosen, [opts] { return run_tlv(*opts); });
    sub->add_option("HEX", opts->data, "BER-TLV in hex; standard input when absent or -");
}
