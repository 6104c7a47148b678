// Registration of a subcommand with the parser.

#include "cli/command.h"

CLI::App* add_command(CLI::App& parent, const std::string& name, const std::string& description,
                      bool& json, Action& chosen, Action run)
{
    CLI::App* sub = parent.add_subcommand(name, description);
    sub->add_flag("--json", json, "Print one JSON object instead of Name: value lines");
    sub->callback([&chosen, run] { chosen = run; });
    return sub;
}
