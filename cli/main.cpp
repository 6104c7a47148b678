// tarvello-cli: the command-line companion of Tarvello. Lists and verifies
// CAPK list files, computes checksums, SHA-1 digests and the raw RSA public
// operation, opens the EMV data a key signs, decodes BER-TLV card data and
// makes offline data authentication of a card from an APDU trace.
//
// Exit status: 0 every check was made and passed, 1 a check failed, 2 a
// usage or input error (reported as one line on standard error), 3 nothing
// failed but a check that decides the verdict could not be made.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include "cli/command.h"
#include "cli/help_format.h"
#include "cli/usage_error.h"
#include "cli/verdict.h"

namespace {

const char kExitStatuses[] =
    "Exit status: 0 every check was made and passed; 1 a check failed (a mismatch, a damaged "
    "list entry, a failed EMV check); 2 a usage or input error (one line on standard error); 3 "
    "nothing failed, but a check that decides the verdict could not be made (a hash whose data "
    "was not given).\n"
    "Every subcommand takes --json (after its name) and --help.";

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

// The deepest subcommand the parser chose.
const CLI::App* chosen_level(const CLI::App& app)
{
    const CLI::App* level = &app;
    while (!level->get_subcommands().empty())
        level = level->get_subcommands().front();
    return level;
}

// An option the parser did not know, named as the problem: it comes before
// what its absence made of the rest ("--cert is required") and before the
// checks of files given beside it. Empty when there is none.
std::string unknown_option(const CLI::App& app)
{
    for (const std::string& arg : chosen_level(app)->remaining()) {
        if (arg.size() > 1 && arg[0] == '-')
            return arg + ": unknown option";
    }
    return "";
}

// The parser's message, except where an argument it did not know is the
// real problem: an unknown option, or an unknown subcommand where one was
// required.
std::string parse_problem(const CLI::App& app, const std::string& message)
{
    const std::string unknown = unknown_option(app);
    if (!unknown.empty())
        return unknown;
    const CLI::App* level = chosen_level(app);
    const std::vector<std::string> rest = level->remaining();
    if (level->get_require_subcommand_min() > 0 && !rest.empty())
        return rest.front() + ": unknown subcommand";
    return message;
}

// Everything written to standard output must have reached it: a full disk
// or a failed device is an error, not a silent loss.
int finish(int status)
{
    std::cout.flush();
    if (fflush(stdout) != 0 || ferror(stdout) || !std::cout) {
        const int error = errno;
        report_error(std::string("standard output: ") + strerror(error));
        return kExitUsage;
    }
    return status;
}

int run(int argc, char** argv)
{
    CLI::App app{"Tarvello on the command line: CAPK lists, checksums, SHA-1, raw RSA, EMV "
                 "certificate recovery, BER-TLV decoding and offline data authentication",
                 "tarvello-cli"};
    app.formatter(std::make_shared<WrappingFormatter>());
    app.set_version_flag("--version", "tarvello-cli " TARVELLO_VERSION);
    app.footer(kExitStatuses);
    app.require_subcommand(1);
    Action chosen;
    add_list_command(app, chosen);
    add_verify_command(app, chosen);
    add_convert_command(app, chosen);
    add_checksum_command(app, chosen);
    add_hash_command(app, chosen);
    add_rsa_command(app, chosen);
    add_recover_commands(app, chosen);
    add_tlv_command(app, chosen);
    add_oda_command(app, chosen);
    add_trace_command(app, chosen);
    if (argc <= 1) {
        // No subcommand: which ones there are, as a usage error.
        fputs(app.help().c_str(), stderr);
        return kExitUsage;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);  // --help, --version
    } catch (const CLI::ParseError& e) {
        return report_error(parse_problem(app, e.what()));
    } catch (const UsageError& e) {
        // A file option's check.
        return report_error(parse_problem(app, e.what()));
    }
    return chosen();
}

}  // namespace

int main(int argc, char** argv)
{
    int status = kExitUsage;
    try {
        status = run(argc, argv);
    } catch (const UsageError& e) {
        // From an action, and from writing the output.
        return report_error(e.what());
    }
    return finish(status);
}
