// How a subcommand joins the program. Each one adds itself and its options
// to the parser; when the parser has chosen it, its action becomes the one
// that main runs after parsing. An action returns the exit status (0 every
// check passed, 1 a check failed) or throws UsageError (status 2).
#pragma once

#include <functional>
#include <string>

#include <CLI/CLI.hpp>

using Action = std::function<int()>;

// Adds a subcommand called name to parent, with its --json flag bound to
// json; once parsing has chosen it, chosen is set to run.
CLI::App* add_command(CLI::App& parent, const std::string& name, const std::string& description,
                      bool& json, Action& chosen, Action run);

// The program's subcommands, one adder per file.
void add_list_command(CLI::App& app, Action& chosen);
void add_verify_command(CLI::App& app, Action& chosen);
void add_checksum_command(CLI::App& app, Action& chosen);
void add_hash_command(CLI::App& app, Action& chosen);
void add_rsa_command(CLI::App& app, Action& chosen);
void add_recover_commands(CLI::App& app, Action& chosen);
void add_tlv_command(CLI::App& app, Action& chosen);
void add_oda_command(CLI::App& app, Action& chosen);
void add_convert_command(CLI::App& app, Action& chosen);
void add_trace_command(CLI::App& app, Action& chosen);
