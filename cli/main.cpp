// tarvello-cli: the command-line companion of Tarvello. Lists and verifies
// CAPK list files, computes checksums, SHA-1 digests and the raw RSA public
// operation, opens the EMV data a key signs, decodes BER-TLV card data and
// makes offline data authentication of a card from an APDU trace.
//
// Exit status: 0 every check passed, 1 a check failed, 2 a usage or input
// error (reported as one line on standard error).

#include <cstdio>
#include <string>

#include "cli/command.h"
#include "cli/usage_error.h"

namespace {

constexpr int kExitUsage = 2;

int report_error(const std::string& message)
{
    // One line, whatever the parser put in its message.
    std::string line = message;
    for (char& c : line) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    fprintf(stderr, "tarvello-cli: %s\n", line.c_str());
    return kExitUsage;
}

// The parser's message, except where it only says a subcommand is missing
// while it was given one it does not know: then that name is the problem.
std::string parse_problem(const CLI::App& app, const CLI::ParseError& e)
{
    const CLI::App* level = &app;
    while (!level->get_subcommands().empty())
        level = level->get_subcommands().front();
    const std::vector<std::string> rest = level->remaining();
    if (level->get_require_subcommand_min() > 0 && !rest.empty()) {
        return rest.front() + ": unknown subcommand";
    }
    return e.what();
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Tarvello on the command line: CAPK lists, checksums, SHA-1, raw RSA, EMV "
                 "certificate recovery, BER-TLV decoding and offline data authentication",
                 "tarvello-cli"};
    app.set_version_flag("--version", "tarvello-cli " TARVELLO_VERSION);
    app.footer("Exit status: 0 every check passed, 1 a check failed, 2 a usage or input error.\n"
               "Every subcommand takes --json (after its name) and --help.");
    app.require_subcommand(1);
    Action chosen;
    add_list_command(app, chosen);
    add_verify_command(app, chosen);
    add_checksum_command(app, chosen);
    add_hash_command(app, chosen);
    add_rsa_command(app, chosen);
    add_recover_commands(app, chosen);
    add_tlv_command(app, chosen);
    add_oda_command(app, chosen);
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);  // --help, --version
    } catch (const CLI::ParseError& e) {
        return report_error(parse_problem(app, e));
    }
    try {
        return chosen();
    } catch (const UsageError& e) {
        return report_error(e.what());
    }
}
